#include "platform/clock.h"

#include <time.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace qrlogo::platform {
namespace {

// Sets the time zone for one scope and puts the old one back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (m_old) {
            setenv("TZ", m_old->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> m_old;
};

TEST(UnixSecondsNow, CountsWholeSecondsSince1970) {
    const auto before = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    const std::int32_t now = UnixSecondsNow();
    const auto after = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    EXPECT_GE(now, before.count());
    EXPECT_LE(now, after.count());
}

TEST(ToLocalCalendarTime, AppliesTheZoneAndDaylightSaving) {
    struct Case {
        const char* name;
        const char* zone;
        std::int32_t seconds;
        LocalCalendarTime expected;
    };
    const Case cases[] = {
        {"epoch", "UTC0", 0, {1970, 1, 1, 0, 0, 0}},
        {"a second before the epoch", "UTC0", -1, {1969, 12, 31, 23, 59, 59}},
        {"earliest count",
         "UTC0",
         std::numeric_limits<std::int32_t>::min(),
         {1901, 12, 13, 20, 45, 52}},
        {"latest count", "UTC0", std::numeric_limits<std::int32_t>::max(), {2038, 1, 19, 3, 14, 7}},
        {"China, eight hours ahead", "CST-8", 1370891103, {2013, 6, 11, 3, 5, 3}},
        {"New York in summer", "EST5EDT,M3.2.0,M11.1.0", 1370952000, {2013, 6, 11, 8, 0, 0}},
        {"New York in winter", "EST5EDT,M3.2.0,M11.1.0", 1358251200, {2013, 1, 15, 7, 0, 0}},
    };
    for (const Case& c : cases) {
        const ScopedTimeZone zone(c.zone);
        const auto local = ToLocalCalendarTime(c.seconds);
        ASSERT_TRUE(local.has_value()) << "case: " << c.name;
        const auto& e = c.expected;
        EXPECT_EQ((std::array{local->year, local->month, local->day, local->hour, local->minute,
                              local->second}),
                  (std::array{e.year, e.month, e.day, e.hour, e.minute, e.second}))
            << "case: " << c.name;
    }
}

}  // namespace
}  // namespace qrlogo::platform
