#include "Main/charts/ReportCharts.h"

#include "Main/charts/ChartsPage.h"
#include "Main/core/Instrument.h"
#include "Main/core/Version.h"

#include <qcustomplot.h>
#include <QFrame>
#include <QImage>
#include <QPixmap>

#include <ostream>

TReportCharts::TReportCharts()
    : m_page(std::make_unique<TChartsPage>(m_spectra, m_roi))
{
    m_page->SetZoomAnimationMs(0);
    m_page->SetupAtCreation();
    // The Y range each chart is drawn with (the page sets it just before drawing).
    for (int s = 1; s <= 2; ++s) {
        QCustomPlot *chart = m_page->Chart(s);
        QObject::connect(chart, &QCustomPlot::beforeReplot, m_page.get(),
                         [this, chart, s] {
                             const QCPRange y = chart->yAxis->range();
                             m_drawnY[size_t(s - 1)] = {y.lower, y.upper};
                         });
    }
}

TReportCharts::~TReportCharts() = default;

QImage TReportCharts::Picture(const SpectrumCounts &counts, int spectrum, const RoiBoxTexts &boxes)
{
    if (spectrum != 1 && spectrum != 2)
        return {};
    for (int c = 0; c < ChannelCount; ++c)
        m_spectra.SetCount(spectrum, c, counts[size_t(c)]);
    // The steps of a load, as the window takes them: the new counts, the ROI boxes
    // and the mark, then the "Auto" switch ticked.
    m_page->AfterSpectrumReplaced(spectrum);
    // The boxes come from a load that went through, so they always read back.
    [[maybe_unused]] const Status restored = m_page->RestoreRoiFromLoad(spectrum, boxes);
    Q_ASSERT(restored.Ok());
    m_page->SetAutoChecked(spectrum, true);
    // The other chart is the selected one, so both pictures have the plain white
    // background of a chart the keys do not act on.
    m_page->SelectChart(spectrum == 1 ? 2 : 1);
    // A drawing may change the Y scale (the automatic maximum), which asks for
    // one more drawing; a second one always settles it.
    QCustomPlot *chart = m_page->Chart(spectrum);
    chart->replot(QCustomPlot::rpImmediateRefresh);
    const QCPRange y = chart->yAxis->range();
    if (std::pair(y.lower, y.upper) != m_drawnY[size_t(spectrum - 1)])
        chart->replot(QCustomPlot::rpImmediateRefresh);

    const QFrame *frame = m_page->ChartFrame(spectrum);
    const QFrame *mark = m_page->RoiMark(spectrum);
    QRect area = frame->geometry();
    area.setBottom(std::max(area.bottom(), mark->geometry().bottom()));
    return m_page->Panel(spectrum)->grab(area).toImage();
}

SpectrumPainter TReportCharts::Painter()
{
    return [this](const SpectrumCounts &counts, int spectrum, const RoiBoxTexts &boxes) {
        return Picture(counts, spectrum, boxes);
    };
}

int RunReportTool(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    ReportOptions opt;
    if (Status parsed = ParseReportOptions(args, opt); !parsed) {
        err << "ionveto-report: " << parsed.Message() << "\n" << ReportUsage();
        return 2;
    }
    if (opt.Help) {
        out << ReportUsage();
        return 0;
    }
    if (opt.Version) {
        out << "ionveto-report " << ProgramVersion() << "\n";
        return 0;
    }
    TReportCharts charts;
    // A few files go by quickly; more get a line each so a long run shows it is alive.
    const ReportProgress progress = [&err](int done, int total, const std::string &path) {
        if (total > 5 && !path.empty())
            err << "[" << done << "/" << total << "] " << path << "\n";
        return true;
    };
    const ReportRunResult r = WriteJuryReport(opt.Folders, opt.OutDir, charts.Painter(), progress);
    if (!r.Written) {
        err << "ionveto-report: " << r.Error << "\n";
        return 1;
    }
    if (!r.XlsxNote.empty())
        err << "ionveto-report: " << r.XlsxNote << "\n";
    err << "ionveto-report: " << r.Layouts << " elrendezés (" << r.Warnings << " figyelmeztetéssel), " << r.Skipped
        << " kihagyott fájl: " << r.HtmlPath << "\n";
    return 0;
}
