#pragma once
// The controls and view state of one spectrum panel of the page "Grafikonok",
// how a panel is built, and the small helpers the page's files share. Knows
// nothing of the page: the page (TChartsPage) holds two of these and connects
// their controls to its handlers. Included by the page's own files only.
#include "Main/window/TextConvert.h"

#include <QColor>
#include <QLineEdit>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <string>

class QCheckBox;
class QCPGraph;
class QCustomPlot;
class QFrame;
class QGroupBox;
class QPushButton;
class QRubberBand;
class QWidget;

struct ChartsPanel {
    int s = 0; // the panel number, 1 or 2

    QFrame *panel = nullptr;        // Panel7 / Panel8
    QFrame *chartFrame = nullptr;   // the chart's 4-pixel bevel
    QCustomPlot *chart = nullptr;   // Chart1 / Chart2
    QCPGraph *series = nullptr;     // Series1 / LineSeries1

    QGroupBox *yMaxGroup = nullptr;
    QLineEdit *yMax = nullptr;      // Edit17 / Edit18
    QCheckBox *autoBox = nullptr;   // CheckBox7 / CheckBox8
    QGroupBox *cursorGroup = nullptr;
    QLineEdit *cursorX = nullptr;   // Edit19 / Edit21
    QLineEdit *cursorY = nullptr;   // Edit20 / Edit22
    QFrame *cursorLine = nullptr;   // Shape1 / Shape2
    QPushButton *clear = nullptr;   // Button4 / Button6

    QGroupBox *roiGroup = nullptr;  // GroupBox6 / GroupBox7
    std::array<QLineEdit *, 4> roiBox{}; // X1, X2, Bruttó, Közép
    QPushButton *setX1 = nullptr;   // Button7 / Button10
    QPushButton *setX2 = nullptr;   // Button8 / Button11
    QPushButton *evaluate = nullptr; // Button9 / Button12
    QFrame *roiMark = nullptr;      // Shape3 / Shape4

    QRubberBand *band = nullptr;    // the zoom rectangle

    bool autoMax = false;           // the Y maximum follows the largest count
    bool zoomDragged = false;       // ZoomDragged of this chart
    bool zooming = false;           // an Alt+left press started a zoom rectangle here
    QPoint zoomStart;
    QColor background;

    // The scales before the first zoom since the last undo.
    bool zoomed = false;
    double savedXLo = 0, savedXHi = 0, savedYLo = 0, savedYHi = 0;
    bool savedAutoMax = false;

    int replots = 0;
};

// The two halves of building panel p (its number `s` set): first the teal panel
// in `page` at `at` with the cursor and "Y-Max" groups, then, after the ROI group
// went in, "Törlés", the chart with its cursor line and zoom band, and the panel
// number on every control. Connecting the handlers is the page's.
void BuildPanelControls(ChartsPanel *p, QWidget *page, QPoint at, QSize size);
void BuildPanelChart(ChartsPanel *p, QSize size);

// Geometry of the strip under the chart: its top lies this far above the chart's
// bottom edge, so the chart covers that part.
constexpr int RoiMarkOverlap = 12;
constexpr int RoiMarkHeight = 33;

// Chart backgrounds: plain, selected (the Alt+arrow keys act on it), dragging a zoom.
inline const QColor ChartWhite{255, 255, 255};
inline const QColor ChartSelected{255, 255, 170};
inline const QColor ChartDragging{128, 128, 128};

namespace ChartsText {

// Writes a box only when its text changes: a rewrite would reset its cursor and selection.
inline void SetEditText(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

} // namespace ChartsText
