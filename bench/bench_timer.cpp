// How exact the one-second tick is: runs the timer the timer window uses for a whole count
// (300 seconds unless HANAVO_BENCH_TICKS says otherwise) and reports, for every tick, how far
// it came from start + N seconds. A plain repeating QTimer runs beside it for comparison.
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/qt/PreciseTimer.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Errors
{
    std::vector<double> ms; // lateness of tick N against start + N s
    void Add(Clock::time_point start, int n)
    {
        const auto due = start + std::chrono::seconds(n);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - due).count());
    }
    void Report(const char* name) const
    {
        double worst = 0;
        for (double e : ms)
            worst = std::max(worst, std::fabs(e));
        std::printf("%-28s ticks %4zu  last tick %+8.2f ms  worst %8.2f ms\n", name, ms.size(),
                    ms.empty() ? 0.0 : ms.back(), worst);
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const char* env = std::getenv("HANAVO_BENCH_TICKS");
    const int ticks = env ? std::max(1, std::atoi(env)) : 300;

    Errors precise, plain;
    const Clock::time_point start = Clock::now();
    platform::PreciseTimer timer(std::chrono::milliseconds(1000), [&] {
        precise.Add(start, static_cast<int>(precise.ms.size()) + 1);
        if (static_cast<int>(precise.ms.size()) == ticks)
            app.quit();
    });
    QTimer reference;
    reference.setInterval(1000);
    QObject::connect(&reference, &QTimer::timeout,
                     [&] { plain.Add(start, static_cast<int>(plain.ms.size()) + 1); });
    timer.Start();
    reference.start();
    std::printf("counting %d seconds...\n", ticks);
    std::fflush(stdout);
    app.exec();

    precise.Report("timer window's tick");
    plain.Report("plain QTimer (reference)");
    double worst = 0;
    for (double e : precise.ms)
        worst = std::max(worst, std::fabs(e));
    std::printf("goal: every tick within 20 ms of start + N s: %s\n",
                worst <= 20 ? "met" : "MISSED");
    return 0;
}
