// Building one spectrum panel of the page "Grafikonok": its frame, cursor and
// Y scale controls, "Törlés" and the chart. The page builds the ROI group between
// the two halves (ChartsRoi.cpp) and connects the handlers (ChartsPage.cpp).
#include "Main/charts/ChartsPanel.h"

#include "Main/window/FormStyle.h"
#include "dialogs/DialogStyle.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLocale>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRubberBand>

#include <qcustomplot.h>

namespace {

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

QFont FieldFont()
{
    return DialogStyle::PixelFont(QStringLiteral("Arial"), 12, false);
}

QLineEdit *MakeBox(QWidget *parent, const QString &objectName, QRect r, bool readOnly, const QString &text)
{
    QLineEdit *e = FormStyle::TextField(parent, objectName, r, readOnly, text);
    e->setFont(FieldFont());
    QPalette ep = e->palette();
    ep.setColor(QPalette::Text, Qt::black);
    e->setPalette(ep);
    return e;
}

// A box's label names it for the keyboard and for assistive technology.
QLabel *MakeLabel(QWidget *parent, const QString &text, QRect r, QLineEdit *box)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(r);
    FormStyle::NameByLabel(l, box);
    return l;
}

// The object name of panel 1 or of panel 2.
QString NameOf(const ChartsPanel &p, const char *one, const char *two)
{
    return QString::fromLatin1(p.s == 1 ? one : two);
}

} // namespace

void BuildPanelControls(ChartsPanel *p, QWidget *page, QPoint at, QSize size)
{
    const auto name = [p](const char *one, const char *two) { return NameOf(*p, one, two); };

    QFont labelFont = DialogStyle::PixelFont(QStringLiteral("Arial"), 13, true);

    p->panel = FormStyle::TealPanel(page, p->s == 1 ? "Panel7" : "Panel8", QRect(at, size));
    FormStyle::SetLabelColor(p->panel, Qt::white);
    p->panel->setFont(labelFont);
    p->panel->setContextMenuPolicy(Qt::CustomContextMenu);

    // "Y-Max" with its "Auto" switch, the panel's first controls. Passing through
    // the box by Tab does not fix the scale; only a typed text does.
    p->yMaxGroup = new QGroupBox(QStringLiteral("Y-Max"), p->panel);
    p->yMaxGroup->setGeometry(6, 4, 148, 50);
    p->yMax = MakeBox(p->yMaxGroup, name("Edit17", "Edit18"), QRect(8, 20, 70, 22), false,
                      QStringLiteral("100"));
    p->yMax->setAccessibleName(QStringLiteral("Y-Max")); // its group's title is its label
    p->autoBox = new QCheckBox(QStringLiteral("Auto"), p->yMaxGroup);
    p->autoBox->setObjectName(name("CheckBox7", "CheckBox8"));
    p->autoBox->setGeometry(86, 21, 58, 20);
    p->autoBox->setChecked(true);

    // "Cursor": the channel and its count, under "Y-Max" and after it in the
    // focus order, as on the panel.
    p->cursorGroup = new QGroupBox(QStringLiteral("Cursor"), p->panel);
    p->cursorGroup->setGeometry(6, 58, 148, 76);
    p->cursorX = MakeBox(p->cursorGroup, name("Edit19", "Edit21"), QRect(30, 20, 110, 22), true,
                         QStringLiteral("0"));
    MakeLabel(p->cursorGroup, QStringLiteral("X:"), QRect(8, 20, 20, 22), p->cursorX);
    p->cursorY = MakeBox(p->cursorGroup, name("Edit20", "Edit22"), QRect(30, 46, 110, 22), true,
                         QStringLiteral("0"));
    MakeLabel(p->cursorGroup, QStringLiteral("Y:"), QRect(8, 46, 20, 22), p->cursorY);
}

void BuildPanelChart(ChartsPanel *p, QSize size)
{
    const int s = p->s;
    const auto name = [p](const char *one, const char *two) { return NameOf(*p, one, two); };

    p->clear = new QPushButton(QStringLiteral("Törlés"), p->panel);
    p->clear->setObjectName(name("Button4", "Button6"));
    p->clear->setGeometry(6, 314, 148, 28);

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
    // Tick labels keep the point and show no group separator, whatever the
    // interface's locale.
    QLocale numbers = QLocale::c();
    numbers.setNumberOptions(QLocale::OmitGroupSeparator);
    chart->setLocale(numbers);
    // The chart fills most of the panel: a right click on it opens the panel's menu.
    chart->setContextMenuPolicy(Qt::CustomContextMenu);
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

    // The strip lies in the panel beneath everything else: the chart covers its
    // upper part, and no control is ever hidden under it.
    p->roiMark->lower();

    // Every control of the panel carries its panel number; the shared handlers
    // find their panel by it.
    p->panel->setProperty("Tag", s);
    for (QWidget *w : p->panel->findChildren<QWidget *>())
        w->setProperty("Tag", s);
}
