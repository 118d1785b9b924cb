#include "platform/ui/EventLoop.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/Messages.h"
#include "platform/ui/qt/KeyPresses.h"

namespace ui {
namespace {

int argc = 1;
char argv0[] = "vistelo";
char* argv[] = {argv0, nullptr};

// Wakes a loop waiting in WaitForEvents from any thread.
void WakeUp()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [] {}, Qt::QueuedConnection);
}

std::function<void(bool)>& StateHandler()
{
    static auto* handler = new std::function<void(bool)>;
    return *handler;
}

bool virtualTime = false;

} // namespace

void SetVirtualTimeForTests(bool on) { virtualTime = on; }

void SetApplicationStateHandler(std::function<void(bool active)> handler) { StateHandler() = std::move(handler); }

void EnsurePlatform()
{
    if (QCoreApplication::instance())
        return;
    new QApplication(argc, argv); // lives until the process ends
    QApplication::setQuitOnLastWindowClosed(false);
    WatchKeyPresses();
    rtl::SetMainThreadWakeup(WakeUp);
    SetPostWakeup(WakeUp);
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, qApp, [](Qt::ApplicationState state) {
        if (StateHandler())
            StateHandler()(state == Qt::ApplicationActive);
    });
}

bool PumpPlatformEvents()
{
    EnsurePlatform();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return rtl::CheckSynchronize(0);
}

void WaitForEvents(std::uint32_t maxMs)
{
    EnsurePlatform();
    if (QueuedMessageCount() > 0)
        return;
    std::optional<std::uint32_t> timer = MillisecondsToNextTimer();
    std::uint32_t wait = timer ? std::min(*timer, maxMs) : maxMs;
    if (wait == 0)
        return;
    if (virtualTime && timer) {
        // Anything the window system has is handled first; then time jumps.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        rtl::CheckSynchronize(0);
        if (QueuedMessageCount() == 0)
            rtl::AdvanceClockForTests(wait);
        return;
    }
    QTimer limit;
    limit.setSingleShot(true);
    if (wait != 0xFFFFFFFF)
        limit.start(static_cast<int>(std::min<std::uint32_t>(wait, 0x7FFFFFFF)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    rtl::CheckSynchronize(0);
}

} // namespace ui
