// The text exports of the spectra: both charts from the main menu, one chart
// from the pop-up menu of its panel, and the data list dialog with its own save.
#include "Main/window/Main.h"

#include "Main/charts/ChartsPage.h"
#include "Main/core/AtomicSave.h"
#include "Main/core/Instrument.h"
#include "Main/core/ProfileFile.h"
#include "Main/core/ChartText.h"
#include "Main/core/TextExport.h"
#include "dialogs/ListDlg.h"
#include "dialogs/Megjegyzes.h"

#include <QMessageBox>

namespace {

const QString TextFilter = QStringLiteral("Szöveg fájlok (*.txt)|*.txt|Minden fájl (*.*)|*.*");
const QString TextExt = QStringLiteral(".txt");

void ShowWriteError(QWidget *parent, const QString &path)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Ionvető"),
                    QString::fromStdString(UnableToWriteMessage(path.toStdString())), QMessageBox::Ok, parent);
    box.exec();
}

// Writes `file` over `path` in one step: an earlier file of that name stays
// whole unless the new one was written completely.
void SaveOrReport(QWidget *parent, bool built, const ProfileFile &file, const QString &path)
{
    if (!built || !file.Save(path.toStdString()))
        ShowWriteError(parent, path);
}

} // namespace

void TForm1::ConnectTextCommands()
{
    connect(Charts, &TChartsPage::ListRequested, this, [this](int panel) { Adatoklistja1Click(panel); });
    connect(Charts, &TChartsPage::TextSaveRequested, this,
            [this](int panel) { Adatokmentseszvegfljba1Click(PanelToFile, panel); });
}

void TForm1::Mentsmskntmrsiadatokszvegfjlbe1Click()
{
    Adatokmentseszvegfljba1Click(BothSpectraToFile);
}

void TForm1::Adatoklistja1Click(int panel)
{
    Adatokmentseszvegfljba1Click(PanelToList, panel);
}

void TForm1::Adatokmentseszvegfljba1Click(TextCommand command, int panel)
{
    if (command != BothSpectraToFile && panel != 1 && panel != 2)
        return;
    // The note first; the pop-up commands mark its lines with "#".
    std::vector<std::string> lines;
    if (MegjDlg && MegjDlg->exec() == QDialog::Accepted) {
        const char *mark = command == BothSpectraToFile ? "" : "#";
        for (const QString &line : MegjDlg->Lines())
            lines.push_back(mark + line.toStdString());
    }

    if (command == BothSpectraToFile) {
        const QString path = SaveDialog1.Ask(this, TextFilter, TextExt, WorkFolder);
        if (path.isEmpty())
            return;   // the note asked for stays only in the note dialog
        // The spectra as they are once the file has been chosen.
        ProfileFile file;
        const bool built = WriteBothSpectra(file, lines, Instrument.Counts,
                                            {Charts->RoiBoxTextsOf(1), Charts->RoiBoxTextsOf(2)});
        SaveOrReport(this, built, file, path);
        return;
    }

    // The chart as it is right after the note dialog closed.
    SpectrumToLines(panel, Instrument.Counts.Counts(panel), Charts->RoiBoxTextsOf(panel), lines);

    if (command == PanelToFile) {
        const QString path = SaveDialog1.Ask(this, TextFilter, TextExt, WorkFolder);
        if (path.isEmpty())
            return;
        ProfileFile file;
        const bool built = WriteLinesToSection("Spectrum" + std::to_string(panel), lines, file);
        SaveOrReport(this, built, file, path);
        return;
    }

    if (!ListaDlg)
        return;
    ListaDlg->Clear();
    ListaDlg->ListTag = panel;
    QStringList memo;
    for (const std::string &line : lines)
        memo << QString::fromStdString(line);
    ListaDlg->SetLines(memo);
    ListaDlg->SaveRequested = [this] { Mentsfjlba1Click(); };
    ListaDlg->exec();
}

void TForm1::Mentsfjlba1Click()
{
    if (!ListaDlg)
        return;
    const QString path = ListaDlg->AskSaveFileName();
    if (path.isEmpty())
        return;
    // The memo as it stands, "#" lines included; no note is asked for here.
    std::vector<std::string> lines;
    for (const QString &line : ListaDlg->Lines())
        lines.push_back(line.toStdString());
    ProfileFile file;
    const bool built = WriteLinesToSection("Spectrum" + std::to_string(ListaDlg->ListTag), lines, file);
    SaveOrReport(ListaDlg, built, file, path);
}
