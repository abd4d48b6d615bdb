// The layout-and-measurement file on the main window: saving the whole state
// with the note, and (for the jury) restoring it.
#include "Main/window/Main.h"

#include "Data/Detector.h"
#include "Data/Model.h"
#include "Data/Raster.h"
#include "Main/charts/ChartsPage.h"
#include "Main/window/TextConvert.h"
#include "Main/device/UpDown.h"
#include "Main/core/Instrument.h"
#include "Main/core/LayoutFile.h"
#include "Main/core/NumberText.h"
#include "Main/core/ProfileFile.h"
#include "Main/core/ChartText.h"
#include "Main/core/TextExport.h"
#include "dialogs/Megjegyzes.h"
#include "dialogs/Mymsg.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString LayoutFilter = QStringLiteral("Ionlátó konfigurációs fájlok (*.ini)|*.ini|Minden fájl (*.*)|*.*");
const QString LayoutExt = QStringLiteral(".ini");

// The platform's error box, as a failed file operation reports itself.
void ShowFileError(QWidget *parent, const std::string &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Ionvető"), Text(message), QMessageBox::Ok, parent);
    box.exec();
}

// The name a field is known by on the page: its label, without the colon.
QString FieldName(const QLineEdit *edit)
{
    QString name = edit->accessibleName();
    name.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    name = name.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

} // namespace

void TForm1::Mentsmskntelrendezssmrsiadatok1Click()
{
    const QString path = SaveDialog1.Ask(this, LayoutFilter, LayoutExt, WorkFolder);
    if (path.isEmpty())
        return;
    // The file is built whole and then replaces any earlier one in one step, so a
    // failed write leaves the earlier file as it was.
    ProfileFile file;
    std::vector<QString> replaced;
    if (!SaveLayout(file, &replaced) || !file.Save(Std(path))) {
        ShowFileError(this, UnableToWriteMessage(Std(path)));
        return;
    }
    // The file holds what the instrument measured with; the user learns that a
    // text the field refused did not go into it.
    if (!replaced.empty()) {
        QString text = QStringLiteral("A fájlba a mezők érvényes, használatban lévő értéke került, "
                                      "nem az elutasított szöveg:");
        for (const QString &line : replaced)
            text += QLatin1Char('\r') + line;
        ShowMessageBox(text, QString::fromUtf8(ErrorTitle), 0);
    }
}

Status TForm1::SaveLayout(ProfileFile &file, std::vector<QString> *replaced)
{
    LayoutRecord s;
    s.UserId = UserId;
    if (MegjDlg && MegjDlg->exec() == QDialog::Accepted) {
        std::vector<std::string> note;
        for (const QString &line : MegjDlg->Lines())
            note.push_back(Std(line));
        s.Note = std::move(note);
    }
    // Everything below is taken after the note dialog closed: a run may have gone on meanwhile.
    // A field holding a text it refused is written with the value in force, the
    // one the instrument measured with: the file always loads and tells the truth.
    auto inForce = [this, replaced](QLineEdit *edit) {
        const std::string text = Std(edit->text());
        const TParamField *f = ParamFieldOf(edit);
        if (!f || !f->Target)
            return text;
        const std::optional<double> v = ParseFloat(text);
        if (v && WithinLimit(*v, f->Limit))
            return text;
        const std::string used = FormatGeneral(*f->Target);
        if (replaced)
            replaced->push_back(QStringLiteral("%1: „%2” helyett %3").arg(FieldName(edit), edit->text(), Text(used)));
        return used;
    };
    s.UnknownMode = !RadioButton6->isChecked();
    s.Fields.Induction = inForce(Edit9);
    s.Fields.Mass = inForce(Edit1);
    s.Fields.MeanMass = inForce(Edit2);
    s.Fields.Blende1 = inForce(Edit6);
    s.Fields.Blende2 = inForce(Edit7);
    s.Fields.Blende3 = inForce(Edit3);
    s.Fields.Offset = inForce(Edit4);
    s.Fields.Preset = Std(Edit11->text());
    if (const std::optional<int32_t> preset = ParseInt(s.Fields.Preset); !preset || *preset < 0) {
        const std::string used = std::to_string(Instrument.Run.PresetCount);
        if (replaced)
            replaced->push_back(
                QStringLiteral("%1: „%2” helyett %3").arg(FieldName(Edit11), Edit11->text(), Text(used)));
        s.Fields.Preset = used;
    }
    s.Fields.Launched = Std(Edit10->text());
    s.DetectorAccepted = Model().Detector.Accepted;
    s.DetectorPoints = Model().Detector.Points;
    for (int n = 1; n <= 2; ++n)
        s.Spectra[size_t(n - 1)] =
            LayoutSpectrum{Instrument.Counts.Counts(n), Charts->RoiBoxTextsOf(n), Instrument.Roi[size_t(n - 1)]};
    return WriteLayout(file, s);
}

void TForm1::Betltselrendezssmrsiadatok1Click()
{
    if (!IsJury)
        return;
    const QString path = OpenDialog1.Ask(this, LayoutFilter, LayoutExt, WorkFolder);
    if (path.isEmpty())
        return;
    // A missing file reads as an empty one (every entry at its default); a file
    // that is there but cannot be read is reported, not taken for an empty one.
    ProfileFile file;
    if (const Status read = ReadLayoutFile(Std(path), file, true); !read) {
        ShowFileError(this, read.Message());
        return;
    }
    const LayoutRead read = ReadLayout(file);
    ApplyLayout(read.Record);
    if (!read.Loaded)
        ShowFileError(this, read.Loaded.Message());
    else if (!read.Record.Warnings.empty())
        ShowMessageBox(Text(LayoutWarningText(read.Record.Warnings)), QString::fromUtf8(ErrorTitle), 0);
}

Status TForm1::LoadLayout(const ProfileFile &file)
{
    const LayoutRead read = ReadLayout(file);
    ApplyLayout(read.Record);
    return read.Loaded;
}

void TForm1::ApplyLayout(const LayoutRecord &r)
{
    UserId = r.UserId;
    setWindowTitle(QString::fromUtf8(CaptionPrefix) + Text(UserId));
    if (r.Note && MegjDlg) {
        MegjDlg->Clear();
        QStringList memo;
        for (const std::string &line : *r.Note)
            memo << Text(line);
        MegjDlg->SetLines(memo);
        MegjDlg->exec();   // shown for reading; its result does not matter
    }
    // Restoring the settings does not pop up the mass or voltage warnings.
    Instrument.Latches.MassWarningShown = true;
    Instrument.Latches.VoltageWarningShown = true;
    // A change of mode runs the mode's own handling through the button's signal.
    (r.UnknownMode ? RadioButton7 : RadioButton6)->setChecked(true);

    // The arrow fields: the file's position, shown as an arrow step would show it,
    // but the parameters are applied once, after everything has been restored. An
    // empty text leaves the field as it is.
    auto setArrows = [this](TUpDown *arrows, const std::string &text) {
        const std::optional<double> value = ParseFloat(text);
        for (const TParamField &f : m_paramFields) {
            if (f.Arrows != arrows || !value)
                continue;
            const bool was = m_initialising;
            m_initialising = true;
            arrows->SetPosition(RoundEven(*value * f.Scale));
            const int kept = arrows->Position();
            f.Carrier->setText(Text(std::to_string(kept)));
            // A field that already shows this position keeps its text ("0.0" stays
            // "0.0"), so a file loaded and saved again is written the same.
            const std::optional<double> shown = ParseFloat(Std(f.Edit->text()));
            if (!shown || RoundEven(*shown * f.Scale) != kept)
                f.Edit->setText(Text(FormatGeneral(kept / f.Scale)));
            m_initialising = was;
        }
    };
    setArrows(UpDown5, r.Fields.Induction);
    if (!r.Fields.Mass.empty())
        Edit1->setText(Text(r.Fields.Mass));
    if (!r.Fields.MeanMass.empty())
        Edit2->setText(Text(r.Fields.MeanMass));
    setArrows(UpDown3, r.Fields.Blende1);
    setArrows(UpDown4, r.Fields.Blende2);
    setArrows(UpDown1, r.Fields.Blende3);
    setArrows(UpDown2, r.Fields.Offset);
    Edit11->setText(Text(r.Fields.Preset));
    Edit10->setText(Text(r.Fields.Launched));

    if (r.DetectorAccepted) {
        Model().Detector.Points = r.DetectorPoints;
        // "Elfogad": the core's accept puts the detector into the apparatus, shown or
        // not, and places the panels.
        Button3Click();
    } else {
        Model().Detector.Accepted = false;   // the points stay as they were
    }
    // A field the file left as it was may hold a text it refuses: it is refused
    // as always, and the spectra are restored all the same.
    ApplyParameters();

    for (int k = 0; k < 2; ++k) {
        if (r.SectionCharts[size_t(k)] < 0)
            break;
        if (const int n = r.SectionCharts[size_t(k)]; n > 0)
            ApplySpectrum(n, *r.Spectra[size_t(n - 1)]);
        Charts->SetAutoChecked(k + 1, true);
    }
    // Whatever the load changed, a run keeps the page locked.
    if (Instrument.Run.Running)
        RelockDuringRun();
}

void TForm1::ApplySpectrum(int n, const LayoutSpectrum &chart)
{
    // The results about to be shown are current: no evaluation is offered.
    Charts->RoiEvalButton(n)->hide();
    const std::string *texts[4] = {&chart.Boxes.X1, &chart.Boxes.X2, &chart.Boxes.Brutto, &chart.Boxes.Kozep};
    for (int i = 0; i < 4; ++i)
        Charts->RoiBox(n, i)->setText(Text(*texts[i]));
    Instrument.Counts.ClearCounts(n);
    for (int c = 0; c <= LastChannel; ++c)
        if (chart.Counts[size_t(c)] != 0)
            Instrument.Counts.SetCount(n, c, chart.Counts[size_t(c)]);
    Charts->AfterSpectrumReplaced(n);
    Instrument.Roi[size_t(n - 1)] = chart.Roi;
    Charts->PlaceRoiMark(n);
}

Status TForm1::LoadSpectrumSection(const ProfileFile &file, const std::string &section)
{
    LayoutRecord r;
    int chart = 0;
    const Status read = ReadLayoutSpectrum(file, section, r, chart);
    if (chart > 0)
        ApplySpectrum(chart, *r.Spectra[size_t(chart - 1)]);
    return read;
}
