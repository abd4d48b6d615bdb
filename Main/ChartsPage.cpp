#include "Main/ChartsPage.h"

#include "Main/FormStyle.h"

#include "Main/ChartsPanel.h"
#include "Main/TextConvert.h"
#include "Main/core/Instrument.h"
#include "Main/core/NumberText.h"
#include "dialogs/DialogStyle.h"
#include "dialogs/Mymsg.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRubberBand>
#include <QTimer>
#include <QVariantAnimation>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const QColor ChartWhite(255, 255, 255);
const QColor ChartSelected(255, 255, 170);
const QColor ChartDragging(128, 128, 128);
const QColor SeriesPurple(128, 0, 128);
const QColor CursorRed(255, 0, 0);

// Where the chart sits in its panel; the controls take the column to its left.
constexpr int ChartLeft = 160;
constexpr int ChartTop = 6;
constexpr int ChartBottomGap = 25; // room for the ROI strip below the chart
constexpr int ChartBevel = 4;      // the constant 4 of the strip's placement
// Fixed plot margins inside the chart: the plot area must not move when the
// count labels grow, or the cursor line and the ROI strip would drift off it.
const QMargins PlotMargins(66, 6, 18, 30);

constexpr int ZoomThreshold = 16; // a zoom rectangle must be wider and taller than this

// A channel number as the cursor box shows it; far outside any sensible range it
// is held at the 32-bit limits so it always reads back as a whole number.
QString ChannelText(double c)
{
    const double clamped = std::clamp(c, -2147483648.0, 2147483647.0);
    return QString::number(static_cast<qint64>(clamped));
}

// The round point marker, drawn once: 2 pixels either side of the point. Copying
// this picture 1001 times costs a fraction of drawing 1001 discs (about 0.4 ms
// against 2.6 ms a drawing), and a tick has only 10 ms for everything.
QPixmap RoundMarker()
{
    QPixmap marker(5, 5);
    marker.fill(Qt::transparent);
    QPainter painter(&marker);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(SeriesPurple);
    painter.drawRect(1, 0, 3, 5);
    painter.drawRect(0, 1, 5, 3);
    return marker;
}

void SetEditText(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

} // namespace

TChartsPage::TChartsPage(TInstrument &instrument, QWidget *parent)
    : TChartsPage(instrument.Counts, instrument.Roi, parent)
{
}

TChartsPage::TChartsPage(Spectra &spectra, std::array<RoiData, 2> &roi, QWidget *parent)
    : QWidget(parent), m_spectra(spectra), m_roi(roi)
{
    setObjectName(QStringLiteral("ChartsPage"));
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

int TChartsPage::TagOf(const QObject *o)
{
    const int tag = o ? o->property("Tag").toInt() : 0;
    return (tag == 1 || tag == 2) ? tag : 0;
}

void TChartsPage::BuildPanel(int s, QPoint at, QSize size)
{
    auto *p = new PanelControls;
    m_panels[s - 1] = p;
    p->s = s;
    const bool first = s == 1;
    const auto name = [first](const char *one, const char *two) {
        return QString::fromLatin1(first ? one : two);
    };

    QFont labelFont = DialogStyle::PixelFont(QStringLiteral("Arial"), 13, true);
    QFont fieldFont = DialogStyle::PixelFont(QStringLiteral("Arial"), 12, false);

    p->panel = new QFrame(this);
    p->panel->setObjectName(name("Panel7", "Panel8"));
    p->panel->setGeometry(QRect(at, size));
    p->panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    p->panel->setLineWidth(1);
    p->panel->setAutoFillBackground(true);
    QPalette pal = p->panel->palette();
    pal.setColor(QPalette::Window, FormStyle::PanelColor());
    pal.setColor(QPalette::WindowText, Qt::white);
    p->panel->setPalette(pal);
    p->panel->setFont(labelFont);
    p->panel->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(p->panel, &QWidget::customContextMenuRequested, this,
            &TChartsPage::Panel7ContextPopup);

    const auto makeBox = [&](QWidget *parent, const QString &objectName, QRect r, bool readOnly,
                             const QString &text) {
        auto *e = new QLineEdit(parent);
        e->setObjectName(objectName);
        e->setGeometry(r);
        e->setFont(fieldFont);
        e->setReadOnly(readOnly);
        QPalette ep = e->palette();
        ep.setColor(QPalette::Base, readOnly ? FormStyle::OutputColor() : FormStyle::InputColor());
        ep.setColor(QPalette::Text, Qt::black);
        e->setPalette(ep);
        e->setText(text);
        return e;
    };
    const auto makeLabel = [&](QWidget *parent, const QString &text, QRect r) {
        auto *l = new QLabel(text, parent);
        l->setGeometry(r);
        return l;
    };

    // "Cursor": the channel and its count. Created first, so that when the page
    // comes to the front and the focus falls on its first control, it falls on a
    // read-only box and not into "Y-Max", whose leaving would fix the Y scale.
    p->cursorGroup = new QGroupBox(QStringLiteral("Cursor"), p->panel);
    p->cursorGroup->setGeometry(6, 58, 148, 76);
    makeLabel(p->cursorGroup, QStringLiteral("X:"), QRect(8, 20, 20, 22));
    p->cursorX = makeBox(p->cursorGroup, name("Edit19", "Edit21"), QRect(30, 20, 110, 22), true,
                         QStringLiteral("0"));
    makeLabel(p->cursorGroup, QStringLiteral("Y:"), QRect(8, 46, 20, 22));
    p->cursorY = makeBox(p->cursorGroup, name("Edit20", "Edit22"), QRect(30, 46, 110, 22), true,
                         QStringLiteral("0"));

    // "Y-Max" with its "Auto" switch.
    p->yMaxGroup = new QGroupBox(QStringLiteral("Y-Max"), p->panel);
    p->yMaxGroup->setGeometry(6, 4, 148, 50);
    p->yMax = makeBox(p->yMaxGroup, name("Edit17", "Edit18"), QRect(8, 20, 70, 22), false,
                      QStringLiteral("100"));
    p->yMax->installEventFilter(this);
    p->autoBox = new QCheckBox(QStringLiteral("Auto"), p->yMaxGroup);
    p->autoBox->setObjectName(name("CheckBox7", "CheckBox8"));
    p->autoBox->setGeometry(86, 21, 58, 20);
    p->autoBox->setChecked(true);
    connect(p->autoBox, &QCheckBox::clicked, this, &TChartsPage::CheckBox7Click);

    BuildRoiGroup(*p, s);

    p->clear = new QPushButton(QStringLiteral("Törlés"), p->panel);
    p->clear->setObjectName(name("Button4", "Button6"));
    p->clear->setGeometry(6, 314, 148, 28);
    connect(p->clear, &QPushButton::clicked, this, &TChartsPage::Button4Click);

    // The chart: a 4-pixel bevel around the drawing surface. The cursor line lives
    // on the surface, the ROI strip in the panel; the bevel is why the strip's
    // placement adds 4 to the chart's left edge.
    const QRect frameRect(ChartLeft, ChartTop, size.width() - ChartLeft - 6,
                          size.height() - ChartTop - ChartBottomGap);
    p->chartFrame = new QFrame(p->panel);
    p->chartFrame->setObjectName(name("Chart1Frame", "Chart2Frame"));
    p->chartFrame->setGeometry(frameRect);
    p->chartFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p->chartFrame->setLineWidth(2);
    p->chartFrame->setAutoFillBackground(true);

    QCustomPlot *chart = new QCustomPlot(p->chartFrame);
    p->chart = chart;
    chart->setObjectName(name("Chart1", "Chart2"));
    chart->setGeometry(ChartBevel, ChartBevel, frameRect.width() - 2 * ChartBevel,
                       frameRect.height() - 2 * ChartBevel);
    // A hidden widget gets its resize event only when shown; the plot area is
    // needed before that (cursor and strip placement), so the viewport is set here.
    chart->setViewport(chart->rect());
    chart->setFocusPolicy(Qt::NoFocus);
    // The chart fills most of the panel: a right click on it opens the panel's menu.
    chart->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart, &QWidget::customContextMenuRequested, this, &TChartsPage::Panel7ContextPopup);
    chart->setToolTip(QStringLiteral("Az Alt / Nyilak gombokkal lehet mozgatni a kurzort"));
    chart->setInteractions(QCP::Interactions());
    chart->setNotAntialiasedElements(QCP::aeAll);
    chart->setPlottingHint(QCP::phFastPolylines, true);

    chart->plotLayout()->setRowSpacing(0);
    chart->plotLayout()->insertRow(0);
    auto *title = new QCPTextElement(chart, QStringLiteral("Beérkezett részecskék a detektorra"),
                                     DialogStyle::PixelFont(QStringLiteral("Arial"), 13, true));
    title->setMargins(QMargins(0, 4, 0, 0));
    chart->plotLayout()->addElement(0, 0, title);
    QCPAxisRect *rect = chart->axisRect();
    rect->setAutoMargins(QCP::msNone);
    rect->setMargins(PlotMargins);
    const QFont axisFont = DialogStyle::PixelFont(QStringLiteral("Arial"), 11, false);
    chart->xAxis->setTickLabelFont(axisFont);
    chart->yAxis->setTickLabelFont(axisFont);
    chart->yAxis->setLabelFont(DialogStyle::PixelFont(QStringLiteral("Arial"), 12, true));
    chart->yAxis->setLabel(QStringLiteral("Részecskeszám"));
    chart->yAxis->setLabelPadding(4);
    chart->xAxis->setRange(0, 1000);
    chart->yAxis->setRange(0, 100);
    chart->legend->setVisible(false);

    p->series = chart->addGraph();
    p->series->setName(name("Series1", "LineSeries1"));
    p->series->setPen(QPen(SeriesPurple, 1));
    p->series->setLineStyle(QCPGraph::lsLine);
    p->series->setScatterStyle(QCPScatterStyle(RoundMarker()));

    p->cursorLine = new QFrame(chart);
    p->cursorLine->setObjectName(name("Shape1", "Shape2"));
    p->cursorLine->setAutoFillBackground(true);
    QPalette cp = p->cursorLine->palette();
    cp.setColor(QPalette::Window, CursorRed);
    p->cursorLine->setPalette(cp);
    p->cursorLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    p->cursorLine->setGeometry(0, 0, 2, 0);

    p->band = new QRubberBand(QRubberBand::Rectangle, chart);
    p->band->setAttribute(Qt::WA_TransparentForMouseEvents);
    p->band->hide();

    // The strip lies in the panel beneath the chart, which covers its upper part.
    p->roiMark->stackUnder(p->chartFrame);

    // Every control of the panel carries its panel number; the shared handlers
    // find their panel by it.
    p->panel->setProperty("Tag", s);
    for (QWidget *w : p->panel->findChildren<QWidget *>())
        w->setProperty("Tag", s);

    SetBackground(s, ChartWhite);

    connect(chart, &QCustomPlot::beforeReplot, this, &TChartsPage::Chart1BeforeDraw);
    connect(chart, &QCustomPlot::afterReplot, this, &TChartsPage::Chart1AfterDraw);
    connect(chart, &QCustomPlot::mousePress, this, &TChartsPage::Chart1MouseDown);
    connect(chart, &QCustomPlot::mouseMove, this, &TChartsPage::Chart1MouseMove);
    connect(chart, &QCustomPlot::mouseRelease, this, &TChartsPage::Chart1MouseUp);

    // Lays the plot area out now, so it is known before the page is first shown.
    chart->replot();
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

void TChartsPage::SetBackground(int s, const QColor &c)
{
    PanelControls &p = P(s);
    if (p.background == c)
        return;
    p.background = c;
    p.chart->setBackground(QBrush(c));
    QPalette fp = p.chartFrame->palette();
    fp.setColor(QPalette::Window, c);
    p.chartFrame->setPalette(fp);
    RequestDraw(s);
}

void TChartsPage::RequestDraw(int s)
{
    P(s).chart->replot(QCustomPlot::rpQueuedReplot);
}

void TChartsPage::OnSpectrumChanged(int s)
{
    if (s == 1 || s == 2)
        RequestDraw(s);
}

// ---------------------------------------------------------------------------------
// Drawing and the Y scale

void TChartsPage::Chart1BeforeDraw()
{
    const int s = TagOf(sender());
    if (!s)
        return;
    PanelControls &p = P(s);
    // The graph only shows the counts: they are copied in just before drawing.
    const SpectrumCounts &counts = m_spectra.Counts(s);
    QSharedPointer<QCPGraphDataContainer> data = p.series->data();
    if (data->size() == ChannelCount) {
        auto it = data->begin();
        for (int i = 0; i < ChannelCount; ++i, ++it)
            it->value = counts[size_t(i)];
    }
    if (p.autoMax) {
        const double m = m_spectra.MaxCount(s);
        if (m > 0)
            p.chart->yAxis->setRange(0, m);
    }
}

void TChartsPage::Chart1AfterDraw()
{
    const int s = TagOf(sender());
    if (!s)
        return;
    PanelControls &p = P(s);
    ++p.replots;
    const QCPRange y = p.chart->yAxis->range();
    if (y.lower != 0.0)
        SetYRange(s, 0, y.upper);
    SetEditText(p.yMax, Text(FormatGeneral(p.chart->yAxis->range().upper)));
    if (p.autoBox->isChecked())
        ApplyAutoRule(s);
}

void TChartsPage::SetYRange(int s, double lo, double hi)
{
    if (!(hi > lo) || !std::isfinite(hi))
        return;
    QCPAxis *axis = P(s).chart->yAxis;
    if (axis->range().lower == lo && axis->range().upper == hi)
        return;
    axis->setRange(lo, hi);
    RequestDraw(s);
}

void TChartsPage::SetAutoMaximum(int s, bool on)
{
    PanelControls &p = P(s);
    p.autoMax = on;
    if (on) {
        const double m = m_spectra.MaxCount(s);
        if (m > 0)
            SetYRange(s, 0, m);
    }
}

// With "Auto" ticked the Y axis stays at 0..100 until a channel passes 100, then
// follows the largest count.
void TChartsPage::ApplyAutoRule(int s)
{
    if (m_spectra.MaxCount(s) > 100) {
        SetAutoMaximum(s, true);
    } else {
        SetAutoMaximum(s, false);
        SetYRange(s, 0, 100);
        SetEditText(P(s).yMax, QStringLiteral("100"));
    }
}

void TChartsPage::CheckBox7Click()
{
    const int s = TagOf(sender());
    if (s)
        AutoSwitchChanged(s, P(s).autoBox->isChecked());
}

void TChartsPage::AutoSwitchChanged(int s, bool ticked)
{
    SetAutoMaximum(s, ticked);
    if (ticked)
        ApplyAutoRule(s);
}

void TChartsPage::SetAutoChecked(int s, bool checked)
{
    if (s != 1 && s != 2)
        return;
    QCheckBox *box = P(s).autoBox;
    if (box->isChecked() == checked)
        return;
    box->setChecked(checked);
    AutoSwitchChanged(s, checked);
}

void TChartsPage::AfterSpectrumReplaced(int s)
{
    if (s != 1 && s != 2)
        return;
    SetAutoMaximum(s, true);
    double hi = P(s).chart->yAxis->range().upper;
    if (hi < 100)
        hi = 100;
    P(s).chart->yAxis->setRange(0, hi);
    RequestDraw(s);
}

bool TChartsPage::Edit17Exit(QLineEdit *box)
{
    const int s = TagOf(box);
    if (!s)
        return true;
    const std::optional<int32_t> v = ParseInt(Std(box->text()));
    if (!v || *v < 100)
        return false; // the caller keeps the focus in the box with the text selected
    SetAutoMaximum(s, false);
    if (P(s).autoBox->isChecked()) {
        P(s).autoBox->setChecked(false);
        AutoSwitchChanged(s, false);
    }
    SetYRange(s, 0, *v);
    return true;
}

bool TChartsPage::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    const int s = TagOf(box);
    if (box && s && m_panels[s - 1] && m_panels[s - 1]->yMax == box) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (!Edit17Exit(box))
                    box->selectAll();
                return true; // consumed: no beep, no default button
            }
        } else if (event->type() == QEvent::FocusOut) {
            // Switching windows or opening a menu does not leave the box. A refused
            // text takes the focus back once the focus change under way is over.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                !Edit17Exit(box)) {
                QPointer<QLineEdit> guard(box);
                QTimer::singleShot(0, box, [guard] {
                    if (guard && guard->isVisible()) {
                        guard->setFocus();
                        guard->selectAll();
                    }
                });
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------
// Cursor

void TChartsPage::PlaceCursor(int s)
{
    if (s != 1 && s != 2)
        return;
    PanelControls &p = P(s);
    const std::optional<int32_t> x = ParseInt(Std(p.cursorX->text()));
    if (!x)
        return;
    const QRect plot = PlotRect(s);
    const double lo = XMin(s), hi = XMax(s);
    if (!(hi > lo))
        return;
    const double offset = RoundHalfEven((*x - lo) * plot.width() / (hi - lo));
    const int left = plot.left() + static_cast<int>(std::clamp(offset, -1e6, 1e6));
    p.cursorLine->setGeometry(left, plot.top(), 2, plot.height());
    p.cursorLine->show();
    p.cursorLine->raise();
}

bool TChartsPage::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers others =
        modifiers & ~(Qt::AltModifier | Qt::KeypadModifier);
    if (!(modifiers & Qt::AltModifier) || others)
        return false;
    return HandleAltKey(key);
}

bool TChartsPage::HandleAltKey(int key)
{
    if (key != Qt::Key_Left && key != Qt::Key_Right)
        return false;
    if (!isVisible())
        return false;
    const int s = m_selectedChart;
    PanelControls &p = P(s);
    const std::optional<int32_t> read = ParseInt(Std(p.cursorX->text()));
    if (!read)
        return true;
    int64_t c = *read;
    if (key == Qt::Key_Right) {
        if (c < XMax(s) && c < INT32_MAX)
            ++c;
    } else {
        if (c > XMin(s) && c > INT32_MIN)
            --c;
    }
    if (c == *read)
        return true;
    p.cursorX->setText(QString::number(c));
    p.cursorY->setText(QStringLiteral("0"));
    if (c >= 0 && c <= LastChannel)
        p.cursorY->setText(Text(FormatGeneral(m_spectra.Count(s, int(c)))));
    PlaceCursor(s);
    return true;
}

// ---------------------------------------------------------------------------------
// Mouse: selection, cursor placement, zoom

void TChartsPage::Chart1MouseDown(QMouseEvent *e)
{
    const int s = TagOf(sender());
    if (!s || e->button() != Qt::LeftButton || !(e->modifiers() & Qt::AltModifier))
        return;
    StopZoomAnimation();
    PanelControls &p = P(s);
    m_altDragging = true;
    p.zooming = true;
    p.zoomStart = e->position().toPoint();
    p.band->setGeometry(QRect(p.zoomStart, QSize()));
}

void TChartsPage::Chart1MouseMove(QMouseEvent *e)
{
    const int s = TagOf(sender());
    if (!s)
        return;
    PanelControls &p = P(s);
    if (m_altDragging && (e->modifiers() & Qt::AltModifier) && !p.zoomDragged) {
        p.zoomDragged = true;
        SetBackground(s, ChartDragging);
    }
    if (p.zooming) {
        p.band->setGeometry(QRect(p.zoomStart, e->position().toPoint()).normalized());
        p.band->show();
    }
}

void TChartsPage::Chart1MouseUp(QMouseEvent *e)
{
    const int s = TagOf(sender());
    if (!s)
        return;
    m_altDragging = false;
    if (e->button() != Qt::LeftButton)
        return;
    PanelControls &p = P(s);
    const QPoint pos = e->position().toPoint();
    // A click (press and release on the chart) selects it before anything else.
    if (p.chart->rect().contains(pos))
        SelectChart(s);
    SetBackground(s, ChartSelected);

    const bool zooming = p.zooming;
    p.zooming = false;
    p.band->hide();
    if (p.zoomDragged) {
        p.zoomDragged = false;
    } else {
        const QRect plot = PlotRect(s);
        const double lo = XMin(s), hi = XMax(s);
        if (plot.width() > 0) {
            double c = RoundHalfEven((pos.x() - plot.left()) * (hi - lo) / plot.width() + lo);
            if (c < lo)
                c = RoundHalfEven(lo);
            if (c > hi)
                c = RoundHalfEven(hi);
            p.cursorX->setText(ChannelText(c));
            PlaceCursor(s);
        }
    }
    if (!zooming)
        return;
    const QPoint d = pos - p.zoomStart;
    if (std::abs(d.x()) <= ZoomThreshold || std::abs(d.y()) <= ZoomThreshold)
        return;
    if (d.x() > 0 && d.y() > 0)
        StartZoom(s, p.chart->xAxis->pixelToCoord(p.zoomStart.x()),
                  p.chart->xAxis->pixelToCoord(pos.x()));
    else
        UndoZoom(s);
}

void TChartsPage::StartZoom(int s, double lo, double hi)
{
    PanelControls &p = P(s);
    QCPAxis *x = p.chart->xAxis;
    QCPAxis *y = p.chart->yAxis;
    if (!p.zoomed) {
        p.zoomed = true;
        p.savedXLo = x->range().lower;
        p.savedXHi = x->range().upper;
        p.savedYLo = y->range().lower;
        p.savedYHi = y->range().upper;
        p.savedAutoMax = p.autoMax;
    }
    // Whole channels, at least 10 of them. Both ends are worked out first and set
    // together: in a very deep zoom the rounded top can fall below the unrounded
    // bottom, which the axis would refuse if the ends were set one by one.
    double newHi = RoundHalfEven(hi);
    const double newLo = RoundHalfEven(lo);
    if (newHi - newLo < 10)
        newHi = newLo + 10;
    if (s == 1 && m_zoomAnimationMs > 0) {
        m_animatingChart = 1;
        m_zoomAnimation->setDuration(m_zoomAnimationMs);
        m_zoomAnimation->setStartValue(QPointF(x->range().lower, x->range().upper));
        m_zoomAnimation->setEndValue(QPointF(newLo, newHi));
        m_zoomAnimation->start();
        return;
    }
    x->setRange(newLo, newHi);
    FinishZoom(s);
}

// What follows a zoom once the channel axis has its final range.
void TChartsPage::FinishZoom(int s)
{
    PanelControls &p = P(s);
    PlaceCursor(s);
    // The zoom acts on the channels only: the Y axis goes back to the Y-Max box.
    p.autoMax = false;
    const std::optional<double> top = ParseFloat(Std(p.yMax->text()));
    if (top && *top > 0 && std::isfinite(*top))
        SetYRange(s, 0, *top);
    else
        SetYRange(s, 0, p.chart->yAxis->range().upper);
    PlaceRoiMark(s);
    RequestDraw(s);
}

void TChartsPage::UndoZoom(int s)
{
    StopZoomAnimation();
    PanelControls &p = P(s);
    if (p.zoomed) {
        p.zoomed = false;
        p.chart->xAxis->setRange(p.savedXLo, p.savedXHi);
        p.chart->yAxis->setRange(p.savedYLo, p.savedYHi);
        p.autoMax = p.savedAutoMax;
        RequestDraw(s);
    }
    PlaceCursor(s);
}

void TChartsPage::StopZoomAnimation()
{
    const int s = m_animatingChart;
    if (!s)
        return;
    m_animatingChart = 0;
    m_zoomAnimation->stop();
    const QPointF r = m_zoomAnimation->endValue().toPointF();
    P(s).chart->xAxis->setRange(r.x(), r.y());
    FinishZoom(s);
}

bool TChartsPage::IsZoomAnimating() const
{
    return m_animatingChart != 0;
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
