// The page "Grafikonok": creation and teardown, set-up, clearing, chart
// selection, the pop-up menu and the accessors, and putting each panel together:
// its controls are built in ChartsPanel.cpp and connected here; drawn and scaled in ChartsScale.cpp, the cursor and zoom live
// in ChartsCursor.cpp and the ROI group in ChartsRoi.cpp.
#include "Main/charts/ChartsPage.h"

#include "Main/charts/ChartsPanel.h"
#include "Main/window/FormStyle.h"
#include "Main/core/Instrument.h"
#include "dialogs/Mymsg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRubberBand>
#include <QVariantAnimation>

#include <qcustomplot.h>

#include <algorithm>

using ChartsText::SetEditText;

TChartsPage::TChartsPage(TInstrument &instrument, QWidget *parent)
    : TChartsPage(instrument.Counts, instrument.Roi, parent)
{
}

TChartsPage::TChartsPage(Spectra &spectra, std::array<RoiData, 2> &roi, QWidget *parent)
    : QWidget(parent), m_spectra(spectra), m_roi(roi)
{
    setObjectName(QStringLiteral("ChartsPage"));
    // The window's own green between the panels, as on the device page.
    DialogStyle::SetBackground(this, FormStyle::WindowColor());
    setMinimumSize(1010, 740);
    resize(1025, 750);

    BuildPanel(1, QPoint(8, 16), QSize(997, 349));
    BuildPanel(2, QPoint(11, 386), QSize(995, 351));

    // One pop-up menu serves both panels; it remembers the panel it opened on.
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *list = m_popup->addAction(QStringLiteral("Adatok listája"));
    QAction *text = m_popup->addAction(QStringLiteral("Adatok mentése szövegfáljba"));
    QAction *picture = m_popup->addAction(QStringLiteral("Kép mentése más néven"));
    connect(list, &QAction::triggered, this, [this] { emit ListRequested(m_popupPanel); });
    connect(text, &QAction::triggered, this, [this] { emit TextSaveRequested(m_popupPanel); });
    connect(picture, &QAction::triggered, this,
            [this] { emit PictureSaveRequested(m_popupPanel); });

    m_zoomAnimation = new QVariantAnimation(this);
    connect(m_zoomAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        if (!m_animatingChart)
            return;
        const QPointF r = v.toPointF();
        P(m_animatingChart).chart->xAxis->setRange(r.x(), r.y());
        RequestDraw(m_animatingChart);
    });
    connect(m_zoomAnimation, &QVariantAnimation::finished, this, [this] {
        const int s = m_animatingChart;
        if (!s)
            return;
        m_animatingChart = 0;
        const QPointF r = m_zoomAnimation->endValue().toPointF();
        P(s).chart->xAxis->setRange(r.x(), r.y());
        FinishZoom(s);
    });

    // The counts announce every change; each one only asks for a redraw, and the
    // queued redraws of one event-loop turn (one simulation tick) merge into one.
    QPointer<TChartsPage> self(this);
    std::function<void(int)> previous = m_spectra.Changed;
    m_spectra.Changed = [self, previous](int s) {
        if (previous)
            previous(s);
        if (self)
            self->OnSpectrumChanged(s);
    };
}

TChartsPage::~TChartsPage()
{
    // The panels' widgets would otherwise die after their records: cut them off
    // from the handlers first, then delete them, then the records.
    m_animatingChart = 0;
    disconnect(m_zoomAnimation, nullptr, this, nullptr);
    for (PanelControls *p : m_panels) {
        if (!p)
            continue;
        p->yMax->removeEventFilter(this);
        disconnect(p->panel, nullptr, this, nullptr);
        for (QObject *o : p->panel->findChildren<QObject *>())
            disconnect(o, nullptr, this, nullptr);
        delete p->panel;
    }
    for (PanelControls *&p : m_panels) {
        delete p;
        p = nullptr;
    }
}

TChartsPage::PanelControls &TChartsPage::P(int s)
{
    return *m_panels[s == 2 ? 1 : 0];
}

const TChartsPage::PanelControls &TChartsPage::P(int s) const
{
    return *m_panels[s == 2 ? 1 : 0];
}

void TChartsPage::BuildPanel(int s, QPoint at, QSize size)
{
    auto *p = new PanelControls;
    m_panels[s - 1] = p;
    p->s = s;
    BuildPanelControls(p, this, at, size);
    BuildRoiGroup(*p, s);
    BuildPanelChart(p, size);
    SetBackground(s, ChartWhite);

    connect(p->panel, &QWidget::customContextMenuRequested, this, &TChartsPage::Panel7ContextPopup);
    p->yMax->installEventFilter(this);
    connect(p->autoBox, &QCheckBox::clicked, this, &TChartsPage::CheckBox7Click);
    connect(p->clear, &QPushButton::clicked, this, &TChartsPage::Button4Click);
    QCustomPlot *chart = p->chart;
    connect(chart, &QWidget::customContextMenuRequested, this, &TChartsPage::Panel7ContextPopup);
    connect(chart, &QCustomPlot::beforeReplot, this, &TChartsPage::Chart1BeforeDraw);
    connect(chart, &QCustomPlot::afterReplot, this, &TChartsPage::Chart1AfterDraw);
    connect(chart, &QCustomPlot::mousePress, this, &TChartsPage::Chart1MouseDown);
    connect(chart, &QCustomPlot::mouseMove, this, &TChartsPage::Chart1MouseMove);
    connect(chart, &QCustomPlot::mouseRelease, this, &TChartsPage::Chart1MouseUp);

    // Lays the plot area out now, so it is known before the page is first shown.
    chart->replot();
}

int TChartsPage::TagOf(const QObject *o)
{
    const int tag = o ? o->property("Tag").toInt() : 0;
    return (tag == 1 || tag == 2) ? tag : 0;
}

// ---------------------------------------------------------------------------------
// Set-up, clearing, selection

void TChartsPage::SetupAtCreation()
{
    StopZoomAnimation();
    QVector<double> keys(ChannelCount), values(ChannelCount, 0.0);
    for (int i = 0; i < ChannelCount; ++i)
        keys[i] = i;
    for (int s = 1; s <= 2; ++s) {
        PanelControls &p = P(s);
        p.chart->xAxis->setRange(0, 1000);
        p.chart->setInteractions(QCP::Interactions()); // no panning, no wheel zoom
        p.zooming = false;
        p.zoomDragged = false;
        p.band->hide();
        p.series->setData(keys, values, true);
        for (QObject *o : {static_cast<QObject *>(p.chart), static_cast<QObject *>(p.yMax),
                           static_cast<QObject *>(p.autoBox), static_cast<QObject *>(p.clear),
                           static_cast<QObject *>(p.cursorLine)})
            o->setProperty("Tag", s);
    }
    SelectChart(1);
    for (int s = 1; s <= 2; ++s) {
        P(s).roiMark->setGeometry(P(s).roiMark->x(), P(s).roiMark->y(), 0, RoiMarkHeight);
        P(s).roiMark->hide();
    }
    ClearSpectrum(1);
    ClearSpectrum(2);
}

void TChartsPage::ClearSpectrum(int s)
{
    if (s != 1 && s != 2)
        return;
    PanelControls &p = P(s);
    SetAutoMaximum(s, false);
    m_spectra.ClearCounts(s);
    SetYRange(s, 0, 100);
    SetEditText(p.cursorY, QStringLiteral("0"));
    RoiData &roi = m_roi[size_t(s - 1)];
    roi.Brutto = 0;
    roi.Kozep = 0.0;
    SetEditText(p.roiBox[2], QStringLiteral("0"));
    SetEditText(p.roiBox[3], QStringLiteral("0"));
    RequestDraw(s);
}

void TChartsPage::Button4Click()
{
    const int s = TagOf(sender());
    if (!s)
        return;
    const int answer = ShowMessageBox(QStringLiteral("Biztosan törölhetők a spektrum adatai?"),
                                      QStringLiteral("*** MEGERŐSÍTÉS ***"), 4);
    if (answer == 6)
        ClearSpectrum(s);
}

void TChartsPage::SelectChart(int n)
{
    if (n != 1 && n != 2)
        return;
    SetBackground(1, ChartWhite);
    SetBackground(2, ChartWhite);
    m_selectedChart = n;
    SetBackground(n, ChartSelected);
}

// ---------------------------------------------------------------------------------
// Pop-up menu

void TChartsPage::Panel7ContextPopup(const QPoint &pos)
{
    auto *w = qobject_cast<QWidget *>(sender());
    const int s = TagOf(w);
    if (!s)
        return;
    m_popupPanel = s;
    m_popup->popup(w->mapToGlobal(pos));
}

// ---------------------------------------------------------------------------------
// Accessors

QWidget *TChartsPage::Panel(int s) const { return P(s).panel; }
QCustomPlot *TChartsPage::Chart(int s) const { return P(s).chart; }
QFrame *TChartsPage::ChartFrame(int s) const { return P(s).chartFrame; }
QRect TChartsPage::PlotRect(int s) const { return P(s).chart->axisRect()->rect(); }
double TChartsPage::XMin(int s) const { return P(s).chart->xAxis->range().lower; }
double TChartsPage::XMax(int s) const { return P(s).chart->xAxis->range().upper; }
double TChartsPage::YMin(int s) const { return P(s).chart->yAxis->range().lower; }
double TChartsPage::YMax(int s) const { return P(s).chart->yAxis->range().upper; }
bool TChartsPage::AutoMaximum(int s) const { return P(s).autoMax; }
QColor TChartsPage::ChartBackground(int s) const { return P(s).background; }
QLineEdit *TChartsPage::YMaxBox(int s) const { return P(s).yMax; }
QCheckBox *TChartsPage::AutoBox(int s) const { return P(s).autoBox; }
QLineEdit *TChartsPage::CursorXBox(int s) const { return P(s).cursorX; }
QLineEdit *TChartsPage::CursorYBox(int s) const { return P(s).cursorY; }
QFrame *TChartsPage::CursorLine(int s) const { return P(s).cursorLine; }
QPushButton *TChartsPage::ClearButton(int s) const { return P(s).clear; }
QGroupBox *TChartsPage::RoiGroup(int s) const { return P(s).roiGroup; }
QLineEdit *TChartsPage::RoiBox(int s, int i) const { return P(s).roiBox[size_t(std::clamp(i, 0, 3))]; }
QPushButton *TChartsPage::RoiSetButton(int s, int bound) const
{
    return bound == 2 ? P(s).setX2 : P(s).setX1;
}
QPushButton *TChartsPage::RoiEvalButton(int s) const { return P(s).evaluate; }
QFrame *TChartsPage::RoiMark(int s) const { return P(s).roiMark; }
QMenu *TChartsPage::PopupMenu() const { return m_popup; }
bool TChartsPage::ZoomDragged(int s) const { return P(s).zoomDragged; }
bool TChartsPage::Zoomed(int s) const { return P(s).zoomed; }
int TChartsPage::ReplotCount(int s) const { return P(s).replots; }
