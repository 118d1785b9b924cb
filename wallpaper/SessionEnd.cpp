#include "wallpaper/SessionEnd.h"

#include "platform/rtl/Threads.h"

#include <pthread.h>
#include <signal.h>

#include <thread>
#include <utility>

namespace SessionEnd {

void WatchForSessionEnd(std::function<void()> OnEnd)
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals, OnEnd = std::move(OnEnd)] {
        int received = 0;
        if (sigwait(&signals, &received) == 0)
            TThread::Queue(nullptr, OnEnd);
    }).detach();
}

} // namespace SessionEnd
