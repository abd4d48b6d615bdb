#include "Main/files/ReportCommand.h"

#include "Main/charts/ReportCharts.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include <utility>

TReportCommand::TReportCommand(QWidget &window, QMenu *menu, std::function<QString()> startFolder)
    : QObject(&window), m_window(window), m_startFolder(std::move(startFolder))
{
    setObjectName(QStringLiteral("ReportCommand"));
    Action = menu->addAction(QStringLiteral("Összesítő jelentés…"));
    Action->setObjectName(QStringLiteral("Osszesitojelentes1"));
    Action->setVisible(false);
    connect(Action, &QAction::triggered, this, &TReportCommand::Run);
}

void TReportCommand::SetJury(bool jury)
{
    m_jury = jury;
    Action->setVisible(jury);
}

void TReportCommand::Run()
{
    if (!m_jury)
        return;
    const auto ask = [this](const QString &caption, const QString &start) {
        if (AskFolder)
            return AskFolder(caption, start);
        return QFileDialog::getExistingDirectory(&m_window, caption, start);
    };
    const QString folder = ask(QStringLiteral("A versenyzők mappáit tartalmazó mappa"), m_startFolder ? m_startFolder() : QString());
    if (folder.isEmpty())
        return;
    // The report goes beside the contestants' folders unless the jury picks another place.
    const QString out = ask(QStringLiteral("A jelentés mappája"), QFileInfo(QDir::cleanPath(folder)).absolutePath());
    if (out.isEmpty())
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        TReportCharts charts;
        m_last = WriteJuryReport({QDir::toNativeSeparators(folder).toStdString()}, out.toStdString(), charts.Painter());
    }
    QApplication::restoreOverrideCursor();
    if (!m_last.Written) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Ionvető"), QString::fromStdString(m_last.Error),
                        QMessageBox::Ok, &m_window);
        box.exec();
        return;
    }
    const QUrl page = QUrl::fromLocalFile(QString::fromStdString(m_last.HtmlPath));
    if (OpenPage)
        OpenPage(page);
    else
        QDesktopServices::openUrl(page);
}

TReportCommand *AddReportCommand(QWidget &window, QMenu *menu, std::function<QString()> startFolder)
{
    return new TReportCommand(window, menu, std::move(startFolder));
}

void ShowReportCommand(QWidget &window, bool jury)
{
    if (auto *command = window.findChild<TReportCommand *>(QStringLiteral("ReportCommand"), Qt::FindDirectChildrenOnly))
        command->SetJury(jury);
}
