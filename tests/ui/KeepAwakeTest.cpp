// Keeping the screen awake through the desktop's screen-saver service: on a
// private session bus with a service that records its calls, without the
// service, and without any bus. The X server's saver is not asked on the
// offscreen platform.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/EventLoop.h"
#include "platform/ui/KeepAwake.h"
#include "tests/support/PrivateSessionBus.h"

namespace {

namespace fs = std::filesystem;

// The session bus the program finds: the given address, or none at all.
class TBusScope {
public:
    explicit TBusScope(const std::optional<std::string>& address)
    {
        for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"})
            if (const char* old = std::getenv(name))
                saved_.emplace_back(name, old);
        ::unsetenv("XDG_RUNTIME_DIR");
        if (address)
            ::setenv("DBUS_SESSION_BUS_ADDRESS", address->c_str(), 1);
        else
            ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    ~TBusScope()
    {
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        for (const auto& [name, value] : saved_)
            ::setenv(name.c_str(), value.c_str(), 1);
    }
    TBusScope(const TBusScope&) = delete;
    TBusScope& operator=(const TBusScope&) = delete;

private:
    std::vector<std::pair<std::string, std::string>> saved_;
};

class KeepAwake : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!sessionbus::DaemonInstalled())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ui::EnsurePlatform();
        folder_ = fs::temp_directory_path() / ("keepawake_" + std::to_string(::getpid()));
    }

    fs::path folder_;
};

TEST_F(KeepAwake, InhibitsWhileItLivesAndReleasesItsOwnCookie)
{
    sessionbus::TPrivateSessionBus bus(folder_, SCREENSAVER_SERVICE_PROGRAM);
    ASSERT_TRUE(bus.Ready());
    TBusScope scope(bus.Address());
    {
        ui::TKeepAwake first("Vistelo-Player", "Vistelo wird abgespielt");
        EXPECT_TRUE(first.ServiceInhibited());
        EXPECT_FALSE(first.XSaverSuspended()) << "no X server on the offscreen platform";
        {
            ui::TKeepAwake second("Vistelo", "Vorschau");
            EXPECT_TRUE(second.ServiceInhibited());
        }
        EXPECT_EQ(bus.Calls(),
                  (std::vector<std::string>{"Inhibit\tVistelo-Player\tVistelo wird abgespielt\t41",
                                            "Inhibit\tVistelo\tVorschau\t42", "UnInhibit\t42"}));
    }
    EXPECT_EQ(bus.Calls().back(), "UnInhibit\t41");
    EXPECT_EQ(bus.Calls().size(), 4u);
}

TEST_F(KeepAwake, WithoutAServiceOrABusNothingIsHeldAndNothingWaits)
{
    struct Case {
        const char* Name;
        bool Bus;
    };
    for (const Case& c : {Case{"a bus without the service", true}, Case{"no bus at all", false}}) {
        SCOPED_TRACE(c.Name);
        sessionbus::TPrivateSessionBus bus(folder_, "");
        ASSERT_TRUE(bus.Ready());
        TBusScope scope(c.Bus ? std::optional<std::string>(bus.Address()) : std::nullopt);
        const auto start = std::chrono::steady_clock::now();
        {
            ui::TKeepAwake awake("Vistelo-Player", "Vistelo wird abgespielt");
            EXPECT_FALSE(awake.ServiceInhibited());
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
}

} // namespace
