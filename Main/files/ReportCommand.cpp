#include "Main/files/ReportCommand.h"

#include "Main/window/Main.h"
#include "Main/charts/ReportCharts.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

TReportCommand::TReportCommand(TForm1 &form, QMenu *menu)
    : QObject(&form), m_form(form)
{
    setObjectName(QStringLiteral("ReportCommand"));
    Action = menu->addAction(QStringLiteral("Összesítő jelentés…"));
    Action->setObjectName(QStringLiteral("Osszesitojelentes1"));
    Action->setVisible(false);
    connect(Action, &QAction::triggered, this, &TReportCommand::Run);
}

void TReportCommand::Run()
{
    if (!m_form.IsJury)
        return;
    const auto ask = [this](const QString &caption, const QString &start) {
        if (AskFolder)
            return AskFolder(caption, start);
        return QFileDialog::getExistingDirectory(&m_form, caption, start);
    };
    const QString folder = ask(QStringLiteral("A versenyzők mappáit tartalmazó mappa"), m_form.ProgramFolder);
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
                        QMessageBox::Ok, &m_form);
        box.exec();
        return;
    }
    const QUrl page = QUrl::fromLocalFile(QString::fromStdString(m_last.HtmlPath));
    if (OpenPage)
        OpenPage(page);
    else
        QDesktopServices::openUrl(page);
}

TReportCommand *AddReportCommand(TForm1 &form, QMenu *menu)
{
    return new TReportCommand(form, menu);
}

void ShowReportCommand(TForm1 &form, bool jury)
{
    if (auto *command = form.findChild<TReportCommand *>(QStringLiteral("ReportCommand"), Qt::FindDirectChildrenOnly))
        command->Action->setVisible(jury);
}
