// Listing the first 100 files of a large launch folder, against the shell pipeline that gives
// the same list: LC_ALL=C ls -U | LC_ALL=C sort -f | head -100.
#include "platform/Os.h"

#include <benchmark/benchmark.h>

#include "BenchFolder.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const int kSizes[] = {1000, 10000, 100000};

std::string g_root;

// A folder of `count` empty files, made once per size. The names mix letter case, digits and
// underscores in no particular order, as a real folder would.
const std::string& Folder(int count)
{
    static std::map<int, std::string> folders;
    auto found = folders.find(count);
    if (found != folders.end())
        return found->second;
    std::string folder = g_root + "/" + std::to_string(count);
    std::filesystem::create_directory(folder);
    unsigned state = 2463534242u;
    for (int i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        char name[64];
        std::snprintf(name, sizeof name, "%02u%c_%s%08x_%d.sh", state % 100, "ed"[state % 2],
                      state % 3 == 0   ? "Setup"
                      : state % 3 == 1 ? "backup"
                                       : "_tool",
                      state, i);
        int fd = open((folder + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            throw std::runtime_error("cannot create " + folder + "/" + name);
        close(fd);
    }
    return folders.emplace(count, folder).first->second;
}

void Enter(int count)
{
    if (chdir(Folder(count).c_str()) != 0)
        throw std::runtime_error("cannot enter " + Folder(count));
}

void BM_ListFolderFiles(benchmark::State& state)
{
    const std::string& folder = Folder(static_cast<int>(state.range(0)));
    std::vector<std::string> files;
    for (auto _ : state) {
        platform::ListFolderFiles(folder, 100, files);
        benchmark::DoNotOptimize(files.data());
        if (files.size() != 100)
            state.SkipWithError("fewer than 100 files listed");
    }
}

void BM_LsSortHead(benchmark::State& state)
{
    Enter(static_cast<int>(state.range(0)));
    char sh[] = "sh";
    char option[] = "-c";
    char pipeline[] = "LC_ALL=C ls -U | LC_ALL=C sort -f | head -100 >/dev/null";
    char* argv[] = {sh, option, pipeline, nullptr};
    for (auto _ : state) {
        pid_t pid;
        int status = 0;
        if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("the shell pipeline failed");
    }
}

// Real time: the pipeline's work happens in other processes, not on this thread's CPU clock.
BENCHMARK(BM_ListFolderFiles)
    ->UseRealTime()
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Arg(kSizes[2])
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LsSortHead)
    ->UseRealTime()
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Arg(kSizes[2])
    ->Unit(benchmark::kMillisecond);

// The usual console output, then the two timings side by side for each folder size.
class ComparingReporter : public benchmark::ConsoleReporter
{
public:
    // Colours only on a terminal.
    ComparingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            // In the benchmark's unit, ms.
            m_times[run.run_name.args][run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nFirst 100 files, ListFolderFiles against ls -U | sort -f | head:\n");
        for (int size : kSizes) {
            auto& times = m_times[std::to_string(size)];
            double own = times["BM_ListFolderFiles"];
            double shell = times["BM_LsSortHead"];
            if (own <= 0 || shell <= 0)
                continue;
            std::printf("  %6d files: %8.3f ms against %8.3f ms, ratio %.2f%s\n", size, own, shell,
                        own / shell, size == 100000 ? " (goal: at most 0.50)" : "");
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    int result = 0;
    try {
        g_root = MakeBenchFolder();
        ComparingReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_scan: %s\n", error.what());
        result = 1;
    }
    if (chdir("/") != 0)
        std::perror("chdir /");
    if (!g_root.empty())
        std::filesystem::remove_all(g_root);
    benchmark::Shutdown();
    return result;
}
