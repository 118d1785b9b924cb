#include "platform/rtl/Exceptions.h"

#include <utility>

Exception::Exception(std::string message) : Message(std::move(message)) { }

const char* Exception::what() const noexcept { return Message.c_str(); }

EInOutError::EInOutError(std::string message, int errorCode) : Exception(std::move(message)), ErrorCode(errorCode) { }
