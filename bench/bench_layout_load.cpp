// Loading large layout files through the loader the headless tool and the window
// share: 100,000 channel keys or note lines in 1 MB, a million keys in 10 MB, and
// 10 MB of garbage. Each must load (or be refused) in well under a second.
#include "Data/Model.h"
#include "Main/core/Instrument.h"
#include "Main/core/HeadlessLayout.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

std::string Header()
{
    return "[User]\r\nName=Kiss\r\n[Config]\r\nType=Teszt\r\nB_terero=1\r\nMm=120\r\nMk\xf6z\xe9p=120\r\n";
}

// `keys` channel entries in Spectrum1 ("Ch<i>=<count>"), most outside 0 .. 1000.
std::string ChannelFile(int keys)
{
    std::string s = Header() + "[Spectrum1]\r\nSpektrum=1\r\n";
    for (int i = 0; i < keys; ++i)
        s += "Ch" + std::to_string(i) + "=" + std::to_string(i % 97) + "\r\n";
    return s;
}

std::string NoteFile(int lines)
{
    std::string s = "[Config]\r\n";
    for (int i = 0; i < lines; ++i)
        s += "REM" + std::to_string(i) + "=a line\r\n";
    return s + "Type=Teszt\r\nMm=120\r\nMk\xf6z\xe9p=120\r\n";
}

std::string Garbage(size_t bytes)
{
    std::mt19937 rng(7);
    std::string s(bytes, '\0');
    for (char &c : s)
        c = static_cast<char>(rng());
    return s;
}

const TInstrument &Started()
{
    static const std::unique_ptr<TInstrument> ins = [] {
        auto i = std::make_unique<TInstrument>();
        StartInstrument(*i);
        return i;
    }();
    return *ins;
}

// Reading the bytes and the whole load, timed together.
void Load(benchmark::State &state, const std::string &bytes)
{
    const std::array<RoiBoxTexts, 2> boxes{RoiBoxTexts{"0", "0", "", ""}, RoiBoxTexts{"0", "0", "", ""}};
    for (auto _ : state) {
        state.PauseTiming();
        auto ins = std::make_unique<TInstrument>(Started());
        state.ResumeTiming();
        const ProfileFile file = ProfileFile::FromBytes(bytes);
        const HeadlessLoad r = LoadLayoutHeadless(file, *ins, DeviceFields{}, boxes);
        benchmark::DoNotOptimize(r.Loaded.Ok());
    }
    state.counters["MB"] = double(bytes.size()) / 1e6;
}

void BM_Channels100k(benchmark::State &state)
{
    static const std::string bytes = ChannelFile(100000);
    Load(state, bytes);
}
BENCHMARK(BM_Channels100k)->Unit(benchmark::kMillisecond);

void BM_NoteLines100k(benchmark::State &state)
{
    static const std::string bytes = NoteFile(100000);
    Load(state, bytes);
}
BENCHMARK(BM_NoteLines100k)->Unit(benchmark::kMillisecond);

void BM_Channels10MB(benchmark::State &state)
{
    static const std::string bytes = ChannelFile(830000);
    Load(state, bytes);
}
BENCHMARK(BM_Channels10MB)->Unit(benchmark::kMillisecond);

void BM_Garbage10MB(benchmark::State &state)
{
    static const std::string bytes = Garbage(10000000);
    Load(state, bytes);
}
BENCHMARK(BM_Garbage10MB)->Unit(benchmark::kMillisecond);

void BM_OneLine10MB(benchmark::State &state)
{
    static const std::string bytes = Header() + "[Spectrum1]\r\nSpektrum=1\r\nCh5=" + std::string(10000000, '7');
    Load(state, bytes);
}
BENCHMARK(BM_OneLine10MB)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
