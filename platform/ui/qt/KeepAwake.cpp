// The two requests that keep the screen on: the freedesktop screen-saver
// service's Inhibit on the session bus, and XScreenSaverSuspend on X11.

#include "platform/ui/KeepAwake.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QGuiApplication>
#include <QString>
#include <QtGui/qguiapplication_platform.h>

#include <atomic>

#include "platform/ui/EventLoop.h"

// Last: Xlib defines macros (Bool, None, Status) that clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace ui {
namespace {

const QString SaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString SaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString SaverInterface = QStringLiteral("org.freedesktop.ScreenSaver");
// A service that does not answer in this time is taken as absent; the
// playback must not wait on it.
constexpr int CallTimeoutMs = 2000;

// The session bus's address as the desktop gives it: the variable, else the
// per-user bus socket. Never the autolaunch of a new bus daemon.
QString SessionBusAddress()
{
    QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return address;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(runtime + "/bus"))
        return "unix:path=" + runtime + "/bus";
    return {};
}

// The X server's connection of the toolkit, on X11 only.
Display* XServer()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

bool XSaverCanSuspend(Display* display)
{
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return XScreenSaverQueryExtension(display, &eventBase, &errorBase) &&
        XScreenSaverQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 1));
}

} // namespace

struct TKeepAwake::Native {
    // A connection of its own, so a bus that came up after the program
    // started is found, and closing it ends what the service holds for it.
    QString ConnectionName;
    bool Inhibited = false;
    quint32 Cookie = 0;
    Display* SuspendedOn = nullptr;

    void Inhibit(const QString& application, const QString& reason);
    void UnInhibit();
    void SuspendXSaver();
    void ResumeXSaver();
};

void TKeepAwake::Native::Inhibit(const QString& application, const QString& reason)
{
    const QString address = SessionBusAddress();
    if (address.isEmpty())
        return;
    static std::atomic<int> serial{0};
    ConnectionName = QStringLiteral("vistelo-keep-awake-%1").arg(++serial);
    QDBusConnection bus = QDBusConnection::connectToBus(address, ConnectionName);
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(SaverService))
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(SaverService, SaverPath, SaverInterface, "Inhibit");
    call << application << reason;
    const QDBusMessage reply = bus.call(call, QDBus::Block, CallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return;
    Cookie = reply.arguments().front().toUInt();
    Inhibited = true;
}

void TKeepAwake::Native::UnInhibit()
{
    if (ConnectionName.isEmpty())
        return;
    if (Inhibited) {
        QDBusConnection bus(ConnectionName);
        QDBusMessage call = QDBusMessage::createMethodCall(SaverService, SaverPath, SaverInterface, "UnInhibit");
        call << Cookie;
        bus.call(call, QDBus::Block, CallTimeoutMs);
        Inhibited = false;
    }
    QDBusConnection::disconnectFromBus(ConnectionName);
    ConnectionName.clear();
}

void TKeepAwake::Native::SuspendXSaver()
{
    Display* display = XServer();
    if (!display || !XSaverCanSuspend(display))
        return;
    XScreenSaverSuspend(display, True);
    XFlush(display);
    SuspendedOn = display;
}

void TKeepAwake::Native::ResumeXSaver()
{
    // The toolkit's connection outlives every window of the program.
    if (!SuspendedOn || SuspendedOn != XServer())
        return;
    XScreenSaverSuspend(SuspendedOn, False);
    XFlush(SuspendedOn);
    SuspendedOn = nullptr;
}

TKeepAwake::TKeepAwake(const std::string& Application, const std::string& Reason) : native_(std::make_unique<Native>())
{
    EnsurePlatform();
    native_->Inhibit(QString::fromStdString(Application), QString::fromStdString(Reason));
    native_->SuspendXSaver();
}

TKeepAwake::~TKeepAwake()
{
    native_->ResumeXSaver();
    native_->UnInhibit();
}

bool TKeepAwake::ServiceInhibited() const { return native_->Inhibited; }

bool TKeepAwake::XSaverSuspended() const { return native_->SuspendedOn != nullptr; }

} // namespace ui
