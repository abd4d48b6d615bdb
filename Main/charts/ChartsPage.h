#pragma once
// The page "Grafikonok": the two spectrum panels, each with its chart, cursor,
// Y scale with the "Auto" switch, channel zoom, "Törlés" and the ROI group.
// The counts are not kept here: the chart only shows what `Spectra` holds and
// is redrawn (at most once per event-loop turn) whenever a spectrum changes.
#include "Data/Status.h"
#include "Main/core/Roi.h"
#include "Main/core/Counts.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QCheckBox;
class QCustomPlot;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPushButton;
class QRubberBand;
class QVariantAnimation;
struct ChartsPanel;
struct TInstrument;

class TChartsPage : public QWidget
{
    Q_OBJECT
public:
    TChartsPage(Spectra &spectra, std::array<RoiData, 2> &roi, QWidget *parent = nullptr);
    TChartsPage(TInstrument &instrument, QWidget *parent = nullptr);
    ~TChartsPage() override;

    // --- What the main window calls -------------------------------------------------

    // Once at window creation: X axes 0..1000, 1001 points per series, panel numbers,
    // chart 1 selected, both ROI marks hidden, both spectra cleared without asking.
    void SetupAtCreation();

    // Clears spectrum s (1 or 2) without asking: counts, Y axis 0..100, cursor Y box
    // and the ROI results. Cursor X, the ROI bounds and the mark stay.
    void ClearSpectrum(int s);
    // Makes chart n the one the Alt+arrow keys act on (pale yellow background).
    void SelectChart(int n);
    // Puts the cursor line of chart s at the channel written in its cursor X box.
    void PlaceCursor(int s);
    // Places the lime ROI strip of panel s under the chart from its two bound boxes.
    void PlaceRoiMark(int s);
    // The first "Set" of panel s: the cursor channel becomes ROI bound X1.
    void SetRoiX1FromCursor(int s);

    // Alt+Left / Alt+Right: moves the cursor of the selected chart by one channel.
    // The caller has checked that Alt is held; nothing happens (false) while the page
    // is not showing or for any other key. True when the key was taken.
    bool HandleAltKey(int key);
    // The same, checking the modifiers itself (only Alt may be held besides keypad).
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

    // The texts of the four ROI boxes of panel s, as the files and lists write them.
    RoiBoxTexts RoiBoxTextsOf(int s) const;
    // Loading a file, after the counts of spectrum s have been replaced and
    // AfterSpectrumReplaced(s) ran: hides "Számíts!", writes the four texts (trimmed,
    // empty as "0") into the boxes, takes X1, X2, Brutto and Kozep from the boxes and
    // places the mark. When a box does not read as a number the load stops there:
    // the conversion message comes back, the fields read before it stay set and the
    // mark is not placed.
    Status RestoreRoiFromLoad(int s, const RoiBoxTexts &texts);
    // Loading a file, after its counts went into spectrum s: automatic Y maximum on,
    // Y minimum 0, Y maximum at least 100. The "Auto" switch is left alone.
    void AfterSpectrumReplaced(int s);
    // Ticks or unticks "Auto" of panel s; a change runs the switch's click handling.
    void SetAutoChecked(int s, bool checked);

    // The panel of spectrum s (Panel7 or Panel8), e.g. for a picture of it.
    QWidget *Panel(int s) const;

    // --- For the tests and the benchmark ------------------------------------------
    QCustomPlot *Chart(int s) const;     // the drawing surface (Chart1 / Chart2)
    QFrame *ChartFrame(int s) const;     // its 4-pixel bevel, the chart's edge in the panel
    QRect PlotRect(int s) const;         // plot area in chart coordinates
    double XMin(int s) const;
    double XMax(int s) const;
    double YMin(int s) const;
    double YMax(int s) const;
    bool AutoMaximum(int s) const;       // the automatic Y maximum in effect
    QColor ChartBackground(int s) const;
    QLineEdit *YMaxBox(int s) const;     // Edit17 / Edit18
    QCheckBox *AutoBox(int s) const;     // CheckBox7 / CheckBox8
    QLineEdit *CursorXBox(int s) const;  // Edit19 / Edit21
    QLineEdit *CursorYBox(int s) const;  // Edit20 / Edit22
    QFrame *CursorLine(int s) const;     // Shape1 / Shape2
    QPushButton *ClearButton(int s) const; // Button4 / Button6
    QGroupBox *RoiGroup(int s) const;    // GroupBox6 / GroupBox7
    // i: 0 "X1:", 1 "X2:", 2 "Bruttó:", 3 "Közép:"
    QLineEdit *RoiBox(int s, int i) const;
    // bound 1: the "Set" under "X1:", bound 2: under "X2:"
    QPushButton *RoiSetButton(int s, int bound) const;
    QPushButton *RoiEvalButton(int s) const; // "Számíts!"
    QFrame *RoiMark(int s) const;        // Shape3 / Shape4
    QMenu *PopupMenu() const;            // PopupMenu1, shared by both panels
    int PopupPanel() const { return m_popupPanel; }
    int SelectedChart() const { return m_selectedChart; }
    bool AltDragging() const { return m_altDragging; }
    bool ZoomDragged(int s) const;
    bool Zoomed(int s) const;
    int ReplotCount(int s) const;        // drawings of chart s so far

    // Length of chart 1's zoom animation; 0 switches it off (the zoom is then immediate).
    void SetZoomAnimationMs(int ms) { m_zoomAnimationMs = ms; }
    bool IsZoomAnimating() const;

signals:
    // The three items of the panels' pop-up menu, with the panel number (1 or 2).
    void ListRequested(int panel);
    void TextSaveRequested(int panel);
    void PictureSaveRequested(int panel);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using PanelControls = ChartsPanel;

    void BuildPanel(int s, QPoint at, QSize size);
    void BuildRoiGroup(PanelControls &p, int s);
    PanelControls &P(int s);
    const PanelControls &P(int s) const;
    static int TagOf(const QObject *o);

    // Handlers shared by both panels; each finds its panel from the sender's Tag.
    void Chart1BeforeDraw();
    void Chart1AfterDraw();
    void Chart1MouseDown(QMouseEvent *e);
    void Chart1MouseMove(QMouseEvent *e);
    void Chart1MouseUp(QMouseEvent *e);
    void Button4Click();      // "Törlés"
    void CheckBox7Click();    // "Auto"
    bool Edit17Exit(QLineEdit *box); // Y-Max box left or Enter: false when refused
    void Button7Click();      // "Set" of X1 / X2
    void Button9Click();      // "Számíts!"
    void Panel7ContextPopup(const QPoint &pos);

    void OnSpectrumChanged(int s);
    void AutoSwitchChanged(int s, bool ticked);
    void ApplyAutoRule(int s);
    void SetAutoMaximum(int s, bool on);
    void SetYRange(int s, double lo, double hi);
    void SetBackground(int s, const QColor &c);
    void RequestDraw(int s);
    void SetRoiBound(int s, int bound);

    void StartZoom(int s, double lo, double hi);
    void FinishZoom(int s);
    void UndoZoom(int s);
    void StopZoomAnimation();

    Spectra &m_spectra;
    std::array<RoiData, 2> &m_roi;
    PanelControls *m_panels[2] = {nullptr, nullptr};
    QMenu *m_popup = nullptr;
    int m_popupPanel = 0;

    int m_selectedChart = 1;
    bool m_altDragging = false;

    int m_zoomAnimationMs = 150;
    QVariantAnimation *m_zoomAnimation = nullptr;
    int m_animatingChart = 0;
};
