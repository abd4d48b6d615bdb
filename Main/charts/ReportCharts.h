#pragma once
// The spectrum pictures of the jury's summary, drawn by the charts page of the
// window on a page of their own that is never shown, and the command line of
// "ionveto-report" (the program only adds the application around it).
#include "Main/core/JuryReport.h"

#include <QImage>

#include <array>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TChartsPage;

class TReportCharts {
public:
    TReportCharts();
    ~TReportCharts();
    TReportCharts(const TReportCharts &) = delete;
    TReportCharts &operator=(const TReportCharts &) = delete;

    // Chart `spectrum` with these counts and the ROI boxes as a load leaves them:
    // the chart and the ROI strip beneath it.
    QImage Picture(const SpectrumCounts &counts, int spectrum, const RoiBoxTexts &boxes);
    SpectrumPainter Painter();

private:
    Spectra m_spectra;
    std::array<RoiData, 2> m_roi{};
    std::unique_ptr<TChartsPage> m_page;
    // The Y range (lower, upper) of each chart's last drawing.
    std::array<std::pair<double, double>, 2> m_drawnY{};
};

// "ionveto-report [--out DIR] FOLDER..." once a QApplication exists: 0 when the
// report was written, 1 when it could not be, 2 on bad options. Progress and
// messages go to `err`, the usage to `out`.
int RunReportTool(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
