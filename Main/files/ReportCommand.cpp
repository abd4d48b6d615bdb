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
#include <QProgressDialog>

#include <algorithm>

namespace {

// A long path shown whole would widen the dialog beyond the screen.
QString ElidedPath(const QString &path)
{
    return path.size() <= 70 ? path : QStringLiteral("…") + path.right(69);
}

} // namespace

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

    // The window stays live while the report is made: a progress dialog with
    // "Mégse", the work on other threads, the charts drawn between events.
    QProgressDialog progress(QStringLiteral("Összesítő jelentés készül…"), QStringLiteral("Mégse"), 0, 0, &m_window);
    progress.setObjectName(QStringLiteral("ReportProgress"));
    progress.setWindowTitle(QStringLiteral("Összesítő jelentés"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ProgressShowMs);
    progress.setMinimumWidth(460);
    Action->setEnabled(false);
    {
        TReportCharts charts;
        const ReportProgress report = [&](int done, int total, const std::string &path) {
            progress.setMaximum(std::max(total, 1));
            progress.setValue(std::min(done, std::max(total, 1)));
            if (!path.empty())
                progress.setLabelText(QStringLiteral("Összesítő jelentés készül… (%1 / %2)\n%3")
                                          .arg(done)
                                          .arg(total)
                                          .arg(ElidedPath(QString::fromStdString(path))));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        };
        m_last = WriteJuryReport({QDir::toNativeSeparators(folder).toStdString()}, out.toStdString(),
                                 charts.Painter(), report);
    }
    progress.reset();
    Action->setEnabled(true);
    if (m_last.Cancelled)
        return;
    if (!m_last.Written) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Ionvető"), QString::fromStdString(m_last.Error),
                        QMessageBox::Ok, &m_window);
        box.exec();
        return;
    }
    const QString html = QString::fromStdString(m_last.HtmlPath);
    const QUrl page = QUrl::fromLocalFile(html);
    const bool opened = OpenPage ? OpenPage(page) : QDesktopServices::openUrl(page);
    if (!opened || !m_last.XlsxNote.empty()) {
        QString text;
        if (!opened)
            text = QStringLiteral("A jelentés elkészült, de a böngésző nem nyitható meg.\nA jelentés itt van:\n%1")
                       .arg(html);
        if (!m_last.XlsxNote.empty())
            text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) + QString::fromStdString(m_last.XlsxNote);
        QMessageBox box(QMessageBox::Information, QStringLiteral("Ionvető"), text, QMessageBox::Ok, &m_window);
        box.setTextInteractionFlags(Qt::TextSelectableByMouse);
        box.exec();
    }
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
