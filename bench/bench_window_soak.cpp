// Soak of the window's run: preset 0 (no limit, "Folyamatos a kitűzöttig" on), a
// detector accepted across the beam and shown, offscreen. Ticks as the timer would
// (each followed by the event loop's repaints) and samples the resident memory.
//
//   bench_window_soak [TICKS=300000] [SAMPLES=30]
//
// Prints the resident memory at each sample, then start / after warm-up / end
// memory and the tick-time percentiles. Memory must stay flat after warm-up.
#include "Data/Model.h"
#include "Main/window/Main.h"
#include "Main/core/Instrument.h"
#include "RunningWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Resident memory in kB where the system reports it (Linux), else -1.
long ResidentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

double Percentile(std::vector<float> &sorted, double q)
{
    return sorted[size_t(double(sorted.size() - 1) * q)];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);   // samples show up while it runs
    const long ticks = argc > 1 ? std::atol(argv[1]) : 300000;
    const long samples = std::max(2L, argc > 2 ? std::atol(argv[2]) : 30L);

    RunningWindow window(true);
    TInstrument &instrument = window.instrument;
    TForm1 &f = *window.form;

    // Every tick's time is kept; the vector is filled with zeros first so that
    // its pages are resident before the first sample and its own growth does
    // not read as the program's (reserve alone would add 4 bytes per tick).
    std::vector<float> ms(size_t(ticks), 0.0f);
    const long startKb = ResidentKb();
    const long warmUp = ticks / 10;
    long warmKb = -1, maxAfterWarm = 0;
    std::printf("tick\trss_kB\tlaunched\n");
    for (long i = 1; i <= ticks; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f.Timer1Timer();
        QCoreApplication::processEvents();
        ms[size_t(i - 1)] = std::chrono::duration<float, std::milli>(std::chrono::steady_clock::now() - t0).count();
        if (i == warmUp)
            warmKb = ResidentKb();
        if (i > warmUp && i % 1000 == 0)
            maxAfterWarm = std::max(maxAfterWarm, ResidentKb());
        if (i % (ticks / samples) == 0)
            std::printf("%ld\t%ld\t%d\n", i, ResidentKb(), instrument.Model.LaunchCount);
    }
    const long endKb = ResidentKb();
    const double hits1 = [&] {
        double n = 0;
        for (double c : instrument.Counts.Counts(1))
            n += c;
        return n;
    }();
    std::sort(ms.begin(), ms.end());
    std::printf("ticks %ld, launched %d, counted %.0f, still running %d\n", ticks, instrument.Model.LaunchCount,
                hits1, int(instrument.Run.Running));
    std::printf("rss kB: start %ld, after warm-up (tick %ld) %ld, max after warm-up %ld, end %ld\n", startKb, warmUp,
                warmKb, maxAfterWarm, endKb);
    std::printf("tick ms: p50 %.3f, p90 %.3f, p99 %.3f, p99.9 %.3f, max %.3f\n", Percentile(ms, 0.5),
                Percentile(ms, 0.9), Percentile(ms, 0.99), Percentile(ms, 0.999), ms.back());
    window.form.reset();
    return 0;
}
