#pragma once
// The help window: shows one of the two help pages through a fixed view that
// scrolls by the scroll bar, the mouse wheel or by dragging the page.
#include <QDialog>
#include <QImage>

class QFrame;
class QKeyEvent;
class QPushButton;
class QScrollBar;
class QWheelEvent;

class THelpDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 755;
    static constexpr int ClientHeight = 886;
    static constexpr int ViewWidth = 688;
    static constexpr int ViewHeight = 825;
    static constexpr int PageStep = 100;
    static constexpr int WheelNotch = 120;
    // Reading by keys: an arrow moves about two lines, Page Up/Down a view less
    // one such step, so that a line of the previous view stays in sight.
    static constexpr int KeyStep = 40;

    explicit THelpDlg(QWidget *parent = nullptr);

    // Loads page 0 ("Elmélet + feladatok") or 1 ("A program használata"),
    // goes to its top and shows the window without making it modal.
    void ShowHelpPage(int page);

    int HelpPage() const { return helpPage; }
    int ScrollPosition() const;
    int ScrollMaximum() const;
    int DragAnchorY() const { return dragAnchorY; }
    // Rows of the page the view shows: ViewHeight, fewer on a screen too low for the window.
    int ViewRows() const { return viewHeight; }
    // Fits the window to the work area of its screen (done when shown, where the program fits its windows).
    void FitToScreen();

    QScrollBar *ScrollBar1() const { return scrollBar; }
    QWidget *Image1() const;
    QFrame *ViewFrame() const { return frame; }
    QPushButton *OkButton() const { return okButton; }
    // The whole picture of the page being shown, and what the view shows now.
    const QImage &PageImage() const { return page; }
    const QImage &ViewImage() const { return viewImage; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void LoadPage(int pageNumber);
    void SetViewRows(int rows);
    void ScrollTo(int position);
    void CopyVisibleRows(int position);
    // True when the event was consumed.
    bool HandleWheel(QWheelEvent *event, QWidget *receiver);
    bool HandleKey(QKeyEvent *event);

    class View;
    // The help viewer's members keep their names from before the m_ prefix,
    // until they are renamed together.
    // NOLINTBEGIN(readability-identifier-naming)
    QFrame *frame = nullptr;
    View *view = nullptr;
    QScrollBar *scrollBar = nullptr;
    QPushButton *okButton = nullptr;

    QImage page;
    QImage viewImage;
    int helpPage = 0;
    int dragAnchorY = 0;
    int viewHeight = ViewHeight;
    bool placed = false;
    // NOLINTEND(readability-identifier-naming)
};
