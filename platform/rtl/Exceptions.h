#pragma once

// The exception hierarchy of the run-time layer. Every error the system raises
// derives from Exception, and each kind is its own class so that callers can
// catch exactly the failures they know how to handle.

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message);
    const char* what() const noexcept override;

    std::string Message;
};

// A value could not be converted (text to number, one class assigned to another).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

class EStringListError : public EListError {
public:
    using EListError::EListError;
};

// File and stream input/output.
class EInOutError : public Exception {
public:
    using Exception::Exception;
    EInOutError(std::string message, int errorCode);

    int ErrorCode = 0; // errno of the failed call, 0 when not from the system
};

class EFOpenError : public EInOutError {
public:
    using EInOutError::EInOutError;
};

class EFCreateError : public EInOutError {
public:
    using EInOutError::EInOutError;
};

class EReadError : public EInOutError {
public:
    using EInOutError::EInOutError;
};

class EWriteError : public EInOutError {
public:
    using EInOutError::EInOutError;
};

class EOutOfMemory : public Exception {
public:
    using Exception::Exception;
};

class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};

class EPackageError : public Exception {
public:
    using Exception::Exception;
};

// An operation the object cannot perform in its current state.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A method without an implementation in the class it was called on.
class EAbstractError : public Exception {
public:
    using Exception::Exception;
};

// The silent exception: aborts an operation without an error message.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

// Floating-point results that have no integer or finite value.
class EMathError : public Exception {
public:
    using Exception::Exception;
};

class EInvalidOp : public EMathError {
public:
    using EMathError::EMathError;
};

// A picture that cannot be read, written or drawn.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
