#pragma once

// A session bus of the test's own: a dbus-daemon on a socket in a folder of
// its own, with the recording screen-saver service of
// tests/support/ScreenSaverService.cpp on it (or without a service). Both end
// with the object. Header-only, for the tests of every layer that keeps the
// screen awake.

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace sessionbus {

// True when dbus-daemon can be started from a folder of PATH.
inline bool DaemonInstalled()
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        if (!folder.empty() && ::access((folder + "/dbus-daemon").c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

class TPrivateSessionBus {
public:
    // With servicePath empty the bus runs without a screen-saver service.
    TPrivateSessionBus(const std::filesystem::path& folder, const std::string& servicePath) : folder_(folder)
    {
        namespace fs = std::filesystem;
        fs::create_directories(folder_);
        const fs::path socket = folder_ / "bus";
        address_ = "unix:path=" + socket.string();
        WriteConfig(socket);
        daemon_ = Spawn({"dbus-daemon", "--nofork", "--config-file=" + (folder_ / "bus.conf").string()});
        for (int i = 0; i < 500 && daemon_ && !fs::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!fs::exists(socket))
            return;
        if (servicePath.empty()) {
            ready_ = true;
            return;
        }
        service_ = Spawn({servicePath, address_, Record().string()});
        for (int i = 0; i < 500 && service_ && !ready_; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const std::vector<std::string> lines = ReadLines();
            ready_ = !lines.empty() && lines.front() == "ready";
        }
    }
    ~TPrivateSessionBus()
    {
        Stop(service_);
        Stop(daemon_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TPrivateSessionBus(const TPrivateSessionBus&) = delete;
    TPrivateSessionBus& operator=(const TPrivateSessionBus&) = delete;

    // The daemon listens (and the service owns its name, when there is one).
    bool Ready() const { return ready_; }
    const std::string& Address() const { return address_; }
    // The calls the service answered, in order, without its "ready" line.
    std::vector<std::string> Calls() const
    {
        std::vector<std::string> lines = ReadLines();
        if (!lines.empty() && lines.front() == "ready")
            lines.erase(lines.begin());
        return lines;
    }

private:
    std::filesystem::path Record() const { return folder_ / "calls.txt"; }

    std::vector<std::string> ReadLines() const
    {
        std::vector<std::string> lines;
        std::ifstream in(Record());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // Only this bus: no activation of the desktop's services, every name may
    // be owned and called.
    void WriteConfig(const std::filesystem::path& socket) const
    {
        std::ofstream config(folder_ / "bus.conf");
        config << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                  " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                  "<busconfig>\n  <type>session</type>\n  <listen>unix:path="
               << socket.string()
               << "</listen>\n  <auth>EXTERNAL</auth>\n  <policy context=\"default\">\n"
                  "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n    <allow eavesdrop=\"true\"/>\n"
                  "    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n";
    }

    // Started with its output in the folder's log, and ended by the system
    // should the test program die before it can end it.
    pid_t Spawn(const std::vector<std::string>& args) const
    {
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const std::string log = (folder_ / "log.txt").string();
        const pid_t parent = ::getpid();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() != parent)
                ::_exit(127);
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            if (out >= 0) {
                ::dup2(out, 1);
                ::dup2(out, 2);
            }
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        return pid > 0 ? pid : 0;
    }

    static void Stop(pid_t& pid)
    {
        if (!pid)
            return;
        ::kill(pid, SIGTERM);
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = 0;
    }

    std::filesystem::path folder_;
    std::string address_;
    pid_t daemon_ = 0;
    pid_t service_ = 0;
    bool ready_ = false;
};

} // namespace sessionbus
