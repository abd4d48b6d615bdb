// Saving large layouts and text exports, beside the load benchmark: a note of
// 8,000, 16,000 and 100,000 lines, full spectra, and a text export of 100,000
// note lines. The file is built in memory and turned into its bytes, as a save
// does before it goes to the disk; each must take well under a second.
#include "Main/core/ChartText.h"
#include "Main/core/LayoutFile.h"
#include "Main/core/TextExport.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Note(int lines)
{
    std::vector<std::string> note;
    for (int i = 0; i < lines; ++i)
        note.push_back("mérés " + std::to_string(i) + " a sorban");
    return note;
}

const Spectra &FullSpectra()
{
    static const Spectra spectra = [] {
        Spectra s;
        for (int c = 0; c <= LastChannel; ++c) {
            s.SetCount(1, c, c + 1);
            s.SetCount(2, c, 2 * c + 1);
        }
        return s;
    }();
    return spectra;
}

void SaveLayout(benchmark::State &state, int noteLines)
{
    LayoutRecord s;
    s.UserId = "5";
    s.Note = Note(noteLines);
    s.Fields = {"1", "40", "40", "0.02", "0.02", "0.008", "0", "0", "1000"};
    s.Spectra[0] = LayoutSpectrum{FullSpectra().Counts(1), RoiBoxTexts{"10", "900", "", ""}, {}};
    s.Spectra[1] = LayoutSpectrum{FullSpectra().Counts(2), RoiBoxTexts{"0", "0", "", ""}, {}};
    for (auto _ : state) {
        ProfileFile file;
        const bool written = WriteLayout(file, s).Ok();
        benchmark::DoNotOptimize(written);
        benchmark::DoNotOptimize(file.ToBytes());
    }
}

void BM_SaveNote8k(benchmark::State &state) { SaveLayout(state, 8000); }
BENCHMARK(BM_SaveNote8k)->Unit(benchmark::kMillisecond);

void BM_SaveNote16k(benchmark::State &state) { SaveLayout(state, 16000); }
BENCHMARK(BM_SaveNote16k)->Unit(benchmark::kMillisecond);

void BM_SaveNote100k(benchmark::State &state) { SaveLayout(state, 100000); }
BENCHMARK(BM_SaveNote100k)->Unit(benchmark::kMillisecond);

// The main menu's text export: the note lines unchanged, then both spectra.
void TextExport(benchmark::State &state, int noteLines)
{
    const std::vector<std::string> note = Note(noteLines);
    const std::array<RoiBoxTexts, 2> boxes{RoiBoxTexts{"0", "0", "", ""}, RoiBoxTexts{"0", "0", "", ""}};
    for (auto _ : state) {
        ProfileFile file;
        const auto written = WriteBothSpectra(file, note, FullSpectra(), boxes);
        benchmark::DoNotOptimize(written);
        benchmark::DoNotOptimize(file.ToBytes());
    }
}

void BM_TextExportNote8k(benchmark::State &state) { TextExport(state, 8000); }
BENCHMARK(BM_TextExportNote8k)->Unit(benchmark::kMillisecond);

void BM_TextExportNote100k(benchmark::State &state) { TextExport(state, 100000); }
BENCHMARK(BM_TextExportNote100k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
