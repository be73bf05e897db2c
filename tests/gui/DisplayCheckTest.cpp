// The start-up check for a display: one clear line instead of the toolkit's abort.
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/qt/DisplayCheck.h"

namespace {

// Sets environment variables for the lifetime of the object and puts them back after.
class Env
{
public:
    void Set(const char* name, const char* value)
    {
        Save(name);
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~Env()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    void Save(const char* name)
    {
        const char* v = std::getenv(name);
        m_saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace

TEST(DisplayCheck, NoDisplayGivesOneClearLine)
{
    Env env;
    env.Set("QT_QPA_PLATFORM", nullptr);
    env.Set("DISPLAY", nullptr);
    env.Set("WAYLAND_DISPLAY", nullptr);
    auto problem = platform::DisplayProblem();
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(*problem, "hanavo: cannot open a display (DISPLAY is not set).");
    env.Set("QT_QPA_PLATFORM", "xcb");
    EXPECT_TRUE(platform::DisplayProblem().has_value());
}

TEST(DisplayCheck, AnUnreachableDisplayIsNamed)
{
    // A display number no server listens on.
    int number = 60000 + static_cast<int>(::getpid() % 5000);
    struct stat st;
    while (::stat(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), &st) == 0)
        ++number;
    std::string display = ":" + std::to_string(number);
    Env env;
    env.Set("QT_QPA_PLATFORM", nullptr);
    env.Set("WAYLAND_DISPLAY", nullptr);
    env.Set("DISPLAY", display.c_str());
    auto problem = platform::DisplayProblem();
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(*problem, "hanavo: cannot open the display \"" + display + "\".");
}

TEST(DisplayCheck, OtherPlatformsAreTheToolkitsBusiness)
{
    Env env;
    env.Set("DISPLAY", nullptr);
    env.Set("QT_QPA_PLATFORM", "offscreen");
    EXPECT_FALSE(platform::DisplayProblem().has_value());
}
