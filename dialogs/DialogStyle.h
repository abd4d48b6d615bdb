#pragma once
// Colours, fonts and placement shared by the program's dialog windows.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QDialog;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace DialogStyle {

// Background of the program's panels and dialogs.
inline QColor Teal() { return QColor(0, 128, 128); }

// A font of `pixelSize` pixels. The requested family comes first; where it is not
// installed (the Windows bitmap and core fonts on Linux) a metric-compatible or at
// least plain sans-serif face is used instead, never a decorative one.
QFont PixelFont(const QString &family, int pixelSize, bool bold);

// Sets the background colour of a top-level window and has it painted.
void SetBackground(QWidget *w, const QColor &colour);

// Moves a top-level window to the middle of the available area of its screen.
void CenterOnScreen(QWidget *w);

// Moves a top-level window to the middle of `over`'s window, or of the screen when
// `over` is null or hidden.
void CenterOver(QWidget *w, const QWidget *over);

// The lines of a memo. A line break at the very end does not start another line,
// so an empty memo has no lines and SetMemoLines/MemoLines give back the same list.
QStringList MemoLines(const QPlainTextEdit *memo);
void SetMemoLines(QPlainTextEdit *memo, const QStringList &lines);

// "OK" (default, accepts) at (300, 8) and "Cancel" (Escape, rejects) at (300, 38),
// 75 x 25 each, as the note and data-list dialogs have them.
struct OkCancel {
    QPushButton *ok;
    QPushButton *cancel;
};
OkCancel AddOkCancel(QDialog *dialog);

} // namespace DialogStyle
