#include "Main/core/Roi.h"

#include "Main/core/NumberText.h"

#include <algorithm>
#include <cmath>

double RoundHalfEven(double v)
{
    if (!std::isfinite(v))
        return v;
    const double down = std::floor(v);
    const double rest = v - down;
    if (rest > 0.5)
        return down + 1.0;
    if (rest < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

namespace {

bool IsChannel(int32_t c)
{
    return c >= 0 && c <= LastChannel;
}

bool FitsInt32(double v)
{
    return v >= static_cast<double>(INT32_MIN) && v <= static_cast<double>(INT32_MAX);
}

} // namespace

bool EvaluateRoi(RoiData &roi, const SpectrumCounts &counts)
{
    if (!IsChannel(roi.X1) || !IsChannel(roi.X2))
        return false;
    const int32_t lo = std::min(roi.X1, roi.X2);
    const int32_t hi = std::max(roi.X1, roi.X2);
    int64_t gross = 0;
    int64_t weighted = 0; // at most 1001 * 1000 * 2^31: fits 64 bits
    for (int32_t c = lo; c <= hi; ++c) {
        const double n = RoundHalfEven(counts[static_cast<size_t>(c)]);
        if (!FitsInt32(n))
            return false;
        gross += static_cast<int64_t>(n);
        weighted += static_cast<int64_t>(c) * static_cast<int64_t>(n);
    }
    if (gross < INT32_MIN || gross > INT32_MAX)
        return false;
    roi.Brutto = static_cast<int32_t>(gross);
    roi.Kozep = gross != 0 ? static_cast<double>(weighted) / static_cast<double>(gross)
                           : (static_cast<double>(roi.X1) + static_cast<double>(roi.X2)) / 2.0;
    return true;
}

std::string FormatBrutto(int32_t brutto)
{
    return std::to_string(brutto);
}

std::string FormatKozep(double kozep)
{
    return FormatFixed(kozep, 10, 4);
}

RoiMarkGeometry ComputeRoiMark(int32_t bound1, int32_t bound2, double xMin, double xMax,
                               int plotWidth, int chartLeft, int plotLeft)
{
    const double offset = static_cast<double>(chartLeft) + plotLeft + 4;
    const auto edge = [&](double pixels) {
        const double p = RoundHalfEven(pixels) + offset;
        return static_cast<int>(std::clamp(std::isnan(p) ? offset : p, -1e6, 1e6));
    };
    RoiMarkGeometry mark;
    const double span = xMax - xMin;
    if (!(span > 0.0) || !std::isfinite(span)) {
        mark.Left = edge(0.0);
        return mark;
    }
    const double k = plotWidth / span;
    const int32_t lo = std::min(bound1, bound2);
    const int32_t hi = std::max(bound1, bound2);
    // Only the part over the plot is shown: beyond it the strip would run under
    // (or over) the panel's controls.
    const int plotStart = edge(0.0);
    const int plotEnd = plotStart + std::max(plotWidth, 0);
    mark.Left = std::clamp(edge(k * (lo - xMin)), plotStart, plotEnd);
    mark.Width = std::clamp(edge(k * (hi - xMin)), plotStart, plotEnd) - mark.Left;
    return mark;
}
