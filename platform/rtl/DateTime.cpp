#include "platform/rtl/DateTime.h"

TFormatSettings rtl::FormatSettings;
namespace rtl {
bool IsLeapYear(int /*year*/) { return false; }
int DaysInAMonth(int /*year*/, int /*month*/) { return 0; }
TDateTime Now() { return 0; }
TDateTime Date() { return 0; }
TDateTime Time() { return 0; }
bool TryEncodeDate(int /*year*/, int /*month*/, int /*day*/, TDateTime& /*date*/) { return false; }
bool TryEncodeTime(int /*hour*/, int /*min*/, int /*sec*/, int /*msec*/, TDateTime& /*time*/) { return false; }
TDateTime EncodeDate(int /*year*/, int /*month*/, int /*day*/) { return 0; }
TDateTime EncodeTime(int /*hour*/, int /*min*/, int /*sec*/, int /*msec*/) { return 0; }
void DecodeDate(TDateTime /*date*/, int& /*year*/, int& /*month*/, int& /*day*/) {  }
void DecodeTime(TDateTime /*time*/, int& /*hour*/, int& /*min*/, int& /*sec*/, int& /*msec*/) {  }
int DayOfWeek(TDateTime /*date*/) { return 0; }
TDateTime FileDateToDateTime(int32_t /*fileDate*/) { return 0; }
int32_t DateTimeToFileDate(TDateTime /*dateTime*/) { return 0; }
std::string FormatDateTime(const std::string& /*format*/, TDateTime /*dateTime*/) { return {}; }
std::string FormatDateTime(const std::string& /*format*/, TDateTime /*dateTime*/, const TFormatSettings& /*settings*/) { return {}; }
std::string DateToStr(TDateTime /*date*/) { return {}; }
std::string TimeToStr(TDateTime /*time*/) { return {}; }
std::string DateTimeToStr(TDateTime /*dateTime*/) { return {}; }
std::string FormatFloat(const std::string& /*format*/, double /*value*/) { return {}; }
std::string FormatFloat(const std::string& /*format*/, double /*value*/, const TFormatSettings& /*settings*/) { return {}; }
std::string FloatToStr(double /*value*/) { return {}; }
std::string FloatToStrF(double /*value*/, TFloatFormat /*format*/, int /*precision*/, int /*digits*/) { return {}; }
std::string FloatToStrF(double /*value*/, TFloatFormat /*format*/, int /*precision*/, int /*digits*/, const TFormatSettings& /*settings*/) { return {}; }
bool TryStrToFloat(const std::string& /*text*/, double& /*value*/) { return false; }
bool TryStrToFloat(const std::string& /*text*/, double& /*value*/, const TFormatSettings& /*settings*/) { return false; }
double StrToFloat(const std::string& /*text*/) { return 0; }
}
