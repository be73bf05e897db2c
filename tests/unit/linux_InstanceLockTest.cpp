// The single-instance lock: one holder at a time, in the runtime folder when it can be used,
// else beside the settings file, and none when neither can be had.
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Os.h"
#include "support/TempDir.h"

using platform::InstanceLock;
using testing_support::TempDir;

namespace {

// What another process gets while this one may hold the lock.
InstanceLock InAnotherProcess()
{
    pid_t child = fork();
    if (child == 0)
        _exit(static_cast<int>(platform::AcquireInstanceLock()));
    int status = 0;
    waitpid(child, &status, 0);
    return static_cast<InstanceLock>(WEXITSTATUS(status));
}

struct Place
{
    const char* name;
    const char* runtime; // relative to the test's folder; nullptr: unset
    const char* config;
    const char* lockFile; // where the lock is taken; nullptr: nowhere
};

TEST(InstanceLock, OneHolderAtATimeInTheFirstUsablePlace)
{
    const Place places[] = {
        {"runtime folder", "runtime", "config", "runtime/Hanavo.lock"},
        {"no runtime folder", nullptr, "config", "config/Quillmere/Hanavo.lock"},
        {"relative runtime folder", "!relative", "config", "config/Quillmere/Hanavo.lock"},
        {"runtime folder is a file", "file", "config", "config/Quillmere/Hanavo.lock"},
        {"runtime folder others can write", "shared", "config", "config/Quillmere/Hanavo.lock"},
        {"nowhere", "file", "file/config", nullptr},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.name);
        TempDir dir;
        dir.MakeDir("runtime");
        chmod((dir / "runtime").c_str(), 0700);
        dir.MakeDir("shared");
        chmod((dir / "shared").c_str(), 01777);
        dir.Write("file", "");
        if (!p.runtime)
            unsetenv("XDG_RUNTIME_DIR");
        else if (p.runtime[0] == '!')
            setenv("XDG_RUNTIME_DIR", p.runtime + 1, 1);
        else
            setenv("XDG_RUNTIME_DIR", (dir / p.runtime).c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / p.config).c_str(), 1);
        setenv("HOME", (dir / "file").c_str(), 1);

        // The holder takes the lock, reports, and keeps it until the pipe to it closes.
        int report[2], hold[2];
        ASSERT_EQ(pipe(report), 0);
        ASSERT_EQ(pipe(hold), 0);
        pid_t holder = fork();
        ASSERT_GE(holder, 0);
        if (holder == 0) {
            close(hold[1]);
            char got = static_cast<char>(platform::AcquireInstanceLock());
            // Taken twice in one process: still its own.
            if (static_cast<char>(platform::AcquireInstanceLock()) != got)
                got = 99;
            char end;
            if (write(report[1], &got, 1) != 1 || read(hold[0], &end, 1) != 0)
                _exit(1);
            _exit(0);
        }
        close(hold[0]);
        char got = 0;
        ASSERT_EQ(read(report[0], &got, 1), 1);
        const InstanceLock other = InAnotherProcess();
        close(hold[1]);
        close(report[0]);
        close(report[1]);
        int status = 0;
        ASSERT_EQ(waitpid(holder, &status, 0), holder);
        if (p.lockFile) {
            EXPECT_EQ(static_cast<InstanceLock>(got), InstanceLock::Acquired);
            EXPECT_EQ(other, InstanceLock::HeldElsewhere);
            struct stat file;
            EXPECT_EQ(stat((dir / p.lockFile).c_str(), &file), 0);
            // The holder has ended: the next one gets it.
            EXPECT_EQ(InAnotherProcess(), InstanceLock::Acquired);
        } else {
            EXPECT_EQ(static_cast<InstanceLock>(got), InstanceLock::Unavailable);
            EXPECT_EQ(other, InstanceLock::Unavailable);
        }
    }
}

} // namespace
