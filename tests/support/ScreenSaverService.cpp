// A screen-saver service for the tests: owns org.freedesktop.ScreenSaver on
// the bus whose address it is given and writes every Inhibit and UnInhibit
// call it answers as a line of the record file (fields separated by tabs):
//   Inhibit <application> <reason> <cookie>
//   UnInhibit <cookie>
// The first line, "ready", tells that it owns the name. It ends with the bus.
//   ScreenSaverService <bus address> <record file>

#include <dbus/dbus.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr const char* ServiceName = "org.freedesktop.ScreenSaver";
constexpr const char* InterfaceName = "org.freedesktop.ScreenSaver";

class TRecord {
public:
    explicit TRecord(const char* path) : out_(path, std::ios::trunc) { }
    void Line(const std::string& line) { out_ << line << '\n' << std::flush; }

private:
    std::ofstream out_;
};

void Reply(DBusConnection* bus, DBusMessage* reply)
{
    if (!reply)
        return;
    dbus_connection_send(bus, reply, nullptr);
    dbus_connection_flush(bus);
    dbus_message_unref(reply);
}

void Answer(DBusConnection* bus, DBusMessage* call, TRecord& record, std::uint32_t& nextCookie)
{
    DBusError error;
    dbus_error_init(&error);
    if (dbus_message_is_method_call(call, InterfaceName, "Inhibit")) {
        const char* application = nullptr;
        const char* reason = nullptr;
        if (!dbus_message_get_args(call, &error, DBUS_TYPE_STRING, &application, DBUS_TYPE_STRING, &reason,
                                   DBUS_TYPE_INVALID)) {
            Reply(bus, dbus_message_new_error(call, DBUS_ERROR_INVALID_ARGS, error.message));
            dbus_error_free(&error);
            return;
        }
        const std::uint32_t cookie = nextCookie++;
        record.Line(std::string("Inhibit\t") + application + "\t" + reason + "\t" + std::to_string(cookie));
        DBusMessage* reply = dbus_message_new_method_return(call);
        dbus_message_append_args(reply, DBUS_TYPE_UINT32, &cookie, DBUS_TYPE_INVALID);
        Reply(bus, reply);
        return;
    }
    if (dbus_message_is_method_call(call, InterfaceName, "UnInhibit")) {
        dbus_uint32_t cookie = 0;
        if (!dbus_message_get_args(call, &error, DBUS_TYPE_UINT32, &cookie, DBUS_TYPE_INVALID)) {
            Reply(bus, dbus_message_new_error(call, DBUS_ERROR_INVALID_ARGS, error.message));
            dbus_error_free(&error);
            return;
        }
        record.Line("UnInhibit\t" + std::to_string(cookie));
        Reply(bus, dbus_message_new_method_return(call));
        return;
    }
    if (dbus_message_get_type(call) == DBUS_MESSAGE_TYPE_METHOD_CALL)
        Reply(bus, dbus_message_new_error(call, DBUS_ERROR_UNKNOWN_METHOD, "not a call of this service"));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <bus address> <record file>\n", argv[0]);
        return 2;
    }
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* bus = dbus_connection_open_private(argv[1], &error);
    if (!bus || !dbus_bus_register(bus, &error)) {
        std::fprintf(stderr, "no bus: %s\n", error.message);
        return 1;
    }
    if (dbus_bus_request_name(bus, ServiceName, DBUS_NAME_FLAG_DO_NOT_QUEUE, &error) !=
        DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
        std::fprintf(stderr, "name taken\n");
        return 1;
    }
    TRecord record(argv[2]);
    record.Line("ready");
    std::uint32_t nextCookie = 41;
    while (dbus_connection_read_write(bus, -1)) {
        while (DBusMessage* message = dbus_connection_pop_message(bus)) {
            Answer(bus, message, record, nextCookie);
            dbus_message_unref(message);
        }
    }
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
    return 0;
}
