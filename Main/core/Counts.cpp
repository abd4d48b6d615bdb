#include "Main/core/Counts.h"

#include <algorithm>
#include <cassert>

Spectra::Spectra()
{
    for (auto &c : m_counts)
        c.fill(0.0);
}

SpectrumCounts &Spectra::Select(int s)
{
    assert(s == 1 || s == 2);
    return m_counts[s == 2 ? 1 : 0];
}

const SpectrumCounts &Spectra::Counts(int s) const
{
    assert(s == 1 || s == 2);
    return m_counts[s == 2 ? 1 : 0];
}

double Spectra::Count(int s, int channel) const
{
    if (channel < 0 || channel > LastChannel)
        return 0.0;
    return Counts(s)[channel];
}

double Spectra::MaxCount(int s) const
{
    const SpectrumCounts &c = Counts(s);
    return *std::max_element(c.begin(), c.end());
}

void Spectra::AddCount(int s, int c)
{
    if (c < 0 || c > LastChannel)
        return;
    Select(s)[c] += 1.0;
    if (Changed)
        Changed(s);
}

void Spectra::ClearCounts(int s)
{
    Select(s).fill(0.0);
    if (Changed)
        Changed(s);
}

void Spectra::SetCount(int s, int c, double value)
{
    if (c < 0 || c > LastChannel)
        return;
    Select(s)[c] = value;
    if (Changed)
        Changed(s);
}
