#pragma once
// The two measured spectra, 1001 channels each. These counts are the one copy
// the program has: the charts draw them, the files save and restore them.
#include <array>
#include <functional>

constexpr int ChannelCount = 1001;   // channels 0 .. 1000
constexpr int LastChannel = ChannelCount - 1;

using SpectrumCounts = std::array<double, ChannelCount>;

class Spectra {
public:
    Spectra();

    // s is 1 or 2; anything else is a programming error (asserted).
    const SpectrumCounts &Counts(int s) const;
    double Count(int s, int channel) const;
    double MaxCount(int s) const;

    // One more ion in channel c (0 .. 1000); out-of-range channels are ignored.
    void AddCount(int s, int c);
    // All channels of s to zero.
    void ClearCounts(int s);
    // Sets one channel; used when a spectrum is replaced from a file.
    void SetCount(int s, int c, double value);

    // Called after every change of spectrum s, so a view can ask for a redraw.
    std::function<void(int)> Changed;

private:
    SpectrumCounts &Select(int s);
    std::array<SpectrumCounts, 2> m_counts{};
};
