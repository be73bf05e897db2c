// The cost of starting the enabled files of a launch folder: ShellExecute on 100 tiny
// executable scripts, as the folder launcher calls it (bare name, no verb, no arguments).
#include "platform/Os.h"

#include <benchmark/benchmark.h>

#include "BenchFolder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFiles = 100;

std::string g_folder;
std::vector<std::string> g_names;

void MakeScripts()
{
    for (int i = 1; i <= kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%02de_step%03d.sh", i % 100, i);
        std::string path = g_folder + "/" + name;
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0755);
        static const char kScript[] = "#!/bin/sh\nexit 0\n";
        if (fd < 0 || write(fd, kScript, sizeof kScript - 1) != sizeof kScript - 1)
            throw std::runtime_error("cannot write " + path);
        close(fd);
    }
    if (!platform::ListFolderFiles(g_folder, kFiles, g_names))
        throw std::runtime_error("cannot read " + g_folder);
}

// Whether any process started by this one still runs (the children of every thread).
bool HaveChildren()
{
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks)
        return false;
    bool children = false;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        std::ifstream list(std::string("/proc/self/task/") + task->d_name + "/children");
        std::string first;
        if (list >> first)
            children = true;
    }
    closedir(tasks);
    return children;
}

// Lets the scripts of the last round end, so that they do not compete with the next one.
void AwaitChildren()
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (HaveChildren() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// One launch per iteration, the scripts of earlier launches ended: what one ShellExecute costs
// the calling thread (it returns once the program runs, or with its error).
void BM_Launch(benchmark::State& state)
{
    std::size_t next = 0;
    for (auto _ : state) {
        if (platform::ShellOpen(nullptr, g_names[next], nullptr, &g_folder) <= 32)
            state.SkipWithError("a launch failed");
        next = (next + 1) % g_names.size();
        state.PauseTiming();
        AwaitChildren();
        state.ResumeTiming();
    }
}

// All 100 files one after another, as the folder launcher starts them: the scripts started
// first run meanwhile and compete for the processors.
void BM_LaunchFolder(benchmark::State& state)
{
    for (auto _ : state) {
        for (const std::string& name : g_names) {
            if (platform::ShellOpen(nullptr, name, nullptr, &g_folder) <= 32)
                state.SkipWithError("a launch failed");
        }
        state.PauseTiming();
        AwaitChildren();
        state.ResumeTiming();
    }
    // Seconds per launch.
    state.counters["per_launch"] = benchmark::Counter(
        static_cast<double>(g_names.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Real time: the calling thread mostly waits for the new process to reach its program.
BENCHMARK(BM_Launch)->UseRealTime()->Unit(benchmark::kMicrosecond)->Iterations(500);
BENCHMARK(BM_LaunchFolder)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    int result = 0;
    try {
        g_folder = MakeBenchFolder();
        MakeScripts();
        benchmark::RunSpecifiedBenchmarks();
        std::printf(
            "\nGoal: under 1 ms per launch (BM_Launch time; BM_LaunchFolder per_launch).\n");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_launch: %s\n", error.what());
        result = 1;
    }
    AwaitChildren();
    if (chdir("/") != 0)
        std::perror("chdir /");
    if (!g_folder.empty())
        std::filesystem::remove_all(g_folder);
    benchmark::Shutdown();
    return result;
}
