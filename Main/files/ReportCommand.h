#pragma once
// "Összesítő jelentés…" in the menu "Fájl", for the jury only: the summary of a
// folder of contestant folders, written where the jury chooses and opened in
// the desktop's browser.
#include "Main/core/JuryReport.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QAction;
class QMenu;
class QWidget;

class TReportCommand : public QObject
{
    Q_OBJECT
public:
    // `window` parents the command and its dialogs; `startFolder` gives the folder
    // the first folder dialog opens in (the program's folder, known only after the
    // identification).
    TReportCommand(QWidget &window, QMenu *menu, std::function<QString()> startFolder);

    QAction *Action = nullptr;   // "Osszesitojelentes1"

    // Replace the folder dialog and the browser (tests): a folder or empty; true when opened.
    std::function<QString(const QString &caption, const QString &start)> AskFolder;
    std::function<bool(const QUrl &page)> OpenPage;

    // How long the report runs before its progress dialog shows (tests: 0).
    int ProgressShowMs = 300;

    // Asks for the contestants' folder and the report's folder, writes with a
    // progress dialog that can cancel, opens; says where the report is when
    // no browser opens.
    void Run();
    const ReportRunResult &LastResult() const { return m_last; }

    // Shows the item for the jury and hides it for anyone else; Run() does nothing
    // while it is hidden.
    void SetJury(bool jury);

private:
    QWidget &m_window;
    std::function<QString()> m_startFolder;
    bool m_jury = false;
    ReportRunResult m_last;
};

// Creates the item at the end of `menu` (hidden until a jury identification).
TReportCommand *AddReportCommand(QWidget &window, QMenu *menu, std::function<QString()> startFolder);
// The item is there for the jury and never for a contestant.
void ShowReportCommand(QWidget &window, bool jury);
