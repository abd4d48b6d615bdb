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

} // namespace

void TForm1::Mentsmskntelrendezssmrsiadatok1Click()
{
    const QString path = SaveDialog1.Ask(this, LayoutFilter, LayoutExt, WorkFolder);
    if (path.isEmpty())
        return;
    // The file is built whole and then replaces any earlier one in one step, so a
    // failed write leaves the earlier file as it was.
    ProfileFile file;
    if (!SaveLayout(file) || !file.Save(Std(path)))
        ShowFileError(this, UnableToWriteMessage(Std(path)));
}

bool TForm1::SaveLayout(ProfileFile &file)
{
    LayoutSnapshot s;
    s.UserId = UserId;
    if (MegjDlg && MegjDlg->exec() == QDialog::Accepted) {
        std::vector<std::string> note;
        for (const QString &line : MegjDlg->Lines())
            note.push_back(Std(line));
        s.Note = std::move(note);
    }
    // Everything below is taken after the note dialog closed: a run may have gone on meanwhile.
    s.UnknownMode = !RadioButton6->isChecked();
    s.Fields.Induction = Std(Edit9->text());
    s.Fields.Mass = Std(Edit1->text());
    s.Fields.MeanMass = Std(Edit2->text());
    s.Fields.Blende1 = Std(Edit6->text());
    s.Fields.Blende2 = Std(Edit7->text());
    s.Fields.Blende3 = Std(Edit3->text());
    s.Fields.Offset = Std(Edit4->text());
    s.Fields.Preset = Std(Edit11->text());
    s.Fields.Launched = Std(Edit10->text());
    s.DetectorAccepted = Model().Detector.Accepted;
    s.DetectorPoints = Model().Detector.Points;
    s.Counts = &Instrument.Counts;
    s.RoiBoxes = {Charts->RoiBoxTextsOf(1), Charts->RoiBoxTextsOf(2)};
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
    if (const Status read = file.Load(Std(path)); !read) {
        ShowFileError(this, read.Message());
        return;
    }
    if (const Status loaded = LoadLayout(file); !loaded)
        ShowFileError(this, loaded.Message());
}

namespace {

// A spectrum section on the charts page: the file's ROI texts go into the boxes
// before the counts, the count axis follows the new counts, the mark the new bounds.
void SetSpectrumSteps(TChartsPage *charts, LayoutTarget &t)
{
    t.ShowRoiBoxes = [charts](int s, const RoiBoxTexts &boxes) {
        // The results about to be shown are current: no evaluation is offered.
        charts->RoiEvalButton(s)->hide();
        const std::string *texts[4] = {&boxes.X1, &boxes.X2, &boxes.Brutto, &boxes.Kozep};
        for (int i = 0; i < 4; ++i)
            charts->RoiBox(s, i)->setText(Text(*texts[i]));
    };
    t.CountsReplaced = [charts](int s) { charts->AfterSpectrumReplaced(s); };
    t.RoiRestored = [charts](int s) { charts->PlaceRoiMark(s); };
}

} // namespace

Status TForm1::LoadLayout(const ProfileFile &file)
{
    LayoutTarget t;

    t.SetUserId = [this](const std::string &id) {
        UserId = id;
        setWindowTitle(QString::fromUtf8(CaptionPrefix) + Text(UserId));
    };
    t.ShowNote = [this](const std::vector<std::string> &lines) {
        if (!MegjDlg)
            return;
        MegjDlg->Clear();
        QStringList memo;
        for (const std::string &line : lines)
            memo << Text(line);
        MegjDlg->SetLines(memo);
        MegjDlg->exec();   // shown for reading; its result does not matter
    };
    t.SetWarningLatches = [this] {
        Instrument.Latches.MassWarningShown = true;
        Instrument.Latches.VoltageWarningShown = true;
    };
    t.SelectMode = [this](bool unknown) {
        // A change of mode runs the mode's own handling through the button's signal.
        (unknown ? RadioButton7 : RadioButton6)->setChecked(true);
    };
    // An arrow position set by the file: the field shows it as an arrow step would,
    // but the parameters are applied once, after everything has been restored.
    auto setArrows = [this](TUpDown *arrows, int position) {
        for (const TParamField &f : m_paramFields) {
            if (f.Arrows != arrows)
                continue;
            const bool was = m_initialising;
            m_initialising = true;
            arrows->SetPosition(position);
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
    t.SetInductionPosition = [this, setArrows](int position) { setArrows(UpDown5, position); };
    t.SetMassTexts = [this](const std::string &mass, const std::string &meanMass) {
        Edit1->setText(Text(mass));
        Edit2->setText(Text(meanMass));
    };
    t.SetAperturePosition = [this, setArrows](int which, int position) {
        TUpDown *const arrows[4] = {UpDown3, UpDown4, UpDown1, UpDown2};
        if (which >= 0 && which < 4)
            setArrows(arrows[which], position);
    };
    t.SetCountTexts = [this](const std::string &preset, const std::string &launched) {
        Edit11->setText(Text(preset));
        Edit10->setText(Text(launched));
    };
    t.SetDetector = [this](bool accepted, const std::array<TPixel, 3> &points) {
        TModel &m = Model();
        if (!accepted) {
            m.Detector.Accepted = false;   // the points stay as they were
            return;
        }
        m.Detector.Points = points;
        // "Elfogad": the core's accept puts the detector into the apparatus, shown or
        // not, and places the panels.
        Button3Click();
    };
    t.ApplyParameters = [this]() -> Status {
        // The fields the parameters are read from, checked first so that a text from
        // the file that is no number stops the load with its conversion message.
        std::vector<QLineEdit *> fields = {Edit2, Edit6, Edit7, Edit3, Edit4, Edit9};
        if (!RadioButton7->isChecked())
            fields.insert(fields.begin(), Edit1);
        for (QLineEdit *e : fields)
            if (!ParseFloat(Std(e->text())))
                return Status::Failure(NotANumberMessage(Std(e->text())));
        ApplyParameters();
        return {};
    };
    SetSpectrumSteps(Charts, t);
    t.TickAuto = [this](int panel) { Charts->SetAutoChecked(panel, true); };

    return ::LoadLayout(file, Instrument.Counts, Instrument.Roi, t);
}

Status TForm1::LoadSpectrumSection(const ProfileFile &file, const std::string &section)
{
    LayoutTarget t;
    SetSpectrumSteps(Charts, t);
    return ::LoadSpectrumSection(file, section, Instrument.Counts, Instrument.Roi, t);
}
