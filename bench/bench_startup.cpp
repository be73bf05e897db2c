// Start-up to a mapped window: starts a program, waits for the MapNotify of its first
// top-level window on the X server of $DISPLAY, and notes the time since the start, the CPU
// time the program's threads have used by then (steadier than the wall clock on a busy
// machine) and the program's peak resident memory. Hanavo and an empty Qt dialog take turns,
// the median of each is printed with their ratio.
//
//   bench_startup RUNS -- hanavo-command... -- empty-dialog-command...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Sample
{
    double ms = 0;
    double rssMiB = 0;
    double cpuMs = 0;
    double hwmAtMapMiB = 0;
};

// The peak resident memory of a running process so far (VmHWM), in MiB.
double PeakRssMiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    }
    return 0;
}

// The CPU time all threads of a running process have used so far.
double CpuMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double ns = 0;
    if (DIR* dir = opendir(tasks.c_str())) {
        while (const dirent* task = readdir(dir)) {
            if (task->d_name[0] == '.')
                continue;
            std::ifstream stat(tasks + "/" + task->d_name + "/schedstat");
            double used = 0;
            if (stat >> used)
                ns += used;
        }
        closedir(dir);
    }
    return ns / 1e6;
}

// Waits for a MapNotify of a window that is not override-redirect (menus, tooltips) on the
// root; false when none came in time.
bool WaitForMap(xcb_connection_t* c, Clock::time_point deadline)
{
    const int fd = xcb_get_file_descriptor(c);
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const bool mapped =
                (event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
            std::free(event);
            if (mapped)
                return true;
        }
        if (xcb_connection_has_error(c))
            return false;
        fd_set read;
        FD_ZERO(&read);
        FD_SET(fd, &read);
        timeval wait{0, 20000};
        select(fd + 1, &read, nullptr, nullptr, &wait);
    }
    return false;
}

bool RunOnce(xcb_connection_t* c, std::vector<char*>& argv, Sample& sample)
{
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::perror(argv[0]);
        return false;
    }
    const bool mapped = WaitForMap(c, start + std::chrono::seconds(20));
    sample.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    sample.cpuMs = CpuMs(pid);
    sample.hwmAtMapMiB = PeakRssMiB(pid);
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    sample.rssMiB = usage.ru_maxrss / 1024.0;
    return mapped;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5 || std::strcmp(argv[2], "--") != 0) {
        std::fprintf(stderr, "usage: %s RUNS -- program... -- yardstick...\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<char*> commands[2];
    int which = 0;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0 && which == 0) {
            which = 1;
            continue;
        }
        commands[which].push_back(argv[i]);
    }
    if (commands[0].empty() || commands[1].empty() || runs < 1)
        return 2;
    commands[0].push_back(nullptr);
    commands[1].push_back(nullptr);

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X server on $DISPLAY\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::vector<double> ms[2], rss[2], cpu[2], hwm[2];
    Sample warm;
    RunOnce(c, commands[0], warm); // fills the page cache and the font cache
    RunOnce(c, commands[1], warm);
    for (int run = 0; run < runs; ++run) {
        for (int k = 0; k < 2; ++k) {
            Sample s;
            if (!RunOnce(c, commands[k], s)) {
                std::fprintf(stderr, "%s: no window mapped\n", commands[k][0]);
                return 1;
            }
            ms[k].push_back(s.ms);
            rss[k].push_back(s.rssMiB);
            cpu[k].push_back(s.cpuMs);
            hwm[k].push_back(s.hwmAtMapMiB);
        }
    }
    const double a = Median(ms[0]), b = Median(ms[1]);
    const double ra = Median(rss[0]), rb = Median(rss[1]);
    std::printf("start-up to mapped window, median of %d: %s %.1f ms, %s %.1f ms, ratio %.2f\n",
                runs, commands[0][0], a, commands[1][0], b, a / b);
    std::printf("CPU time to mapped window, median: %.1f ms against %.1f ms, ratio %.2f\n",
                Median(cpu[0]), Median(cpu[1]), Median(cpu[0]) / Median(cpu[1]));
    std::printf("peak RSS, median: %.1f MiB against %.1f MiB, %+.1f MiB\n", ra, rb, ra - rb);
    // The same peak read at the MapNotify: what each used to show its window, before the
    // first paint and whatever the program does when it is asked to end.
    const double ha = Median(hwm[0]), hb = Median(hwm[1]);
    std::printf("peak RSS by the mapped window, median: %.1f MiB against %.1f MiB, %+.1f MiB\n",
                ha, hb, ha - hb);
    xcb_disconnect(c);
    return 0;
}
