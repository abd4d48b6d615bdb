// The device page: the three parameter panels next to their elements, the
// parameter fields with their limits and arrows, the source options, the two
// simulation modes, the ion-source schematic and the visible device picture.
#include "Main/window/Main.h"

#include "Data/Detector.h"
#include "Data/Model.h"
#include "Data/Raster.h"
#include "Main/window/EventHook.h"
#include "Main/window/FormStyle.h"
#include "Main/device/PictureView.h"
#include "Main/device/UpDown.h"
#include "Main/core/Instrument.h"
#include "Main/core/NumberText.h"
#include "Main/core/SourceSchematic.h"
#include "dialogs/Mymsg.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// Panel sizes and the columns of their rows of label, field and arrows.
struct PanelColumns {
    int labelWidth;
    int fieldX;
    int fieldWidth;
    int firstRow;
};
constexpr int RowHeight = 24;
constexpr int FieldHeight = 22;
constexpr int ArrowWidth = 17;

constexpr QSize SourcePanelSize(300, 228);
constexpr PanelColumns SourceColumns{158, 168, 88, 106};
constexpr QSize AnalyserPanelSize(212, 100);
constexpr PanelColumns AnalyserColumns{116, 126, 80, 46};
constexpr QSize MagnetPanelSize(236, 76);
constexpr PanelColumns MagnetColumns{144, 154, 56, 46};
constexpr QSize Image2Size(105, 79);

const PanelColumns &ColumnsOf(const QWidget *panel, const TForm1 &form)
{
    if (panel == form.Panel1)
        return SourceColumns;
    if (panel == form.Panel2)
        return AnalyserColumns;
    return MagnetColumns;
}

// Tab walks the page as it is read: panels row by row (panels whose heights
// overlap form one row), each row from left to right, and within a panel its
// controls in their order from top to bottom.
void OrderFocusByLayout(std::vector<QWidget *> panels)
{
    std::sort(panels.begin(), panels.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
    std::vector<std::vector<QWidget *>> rows;
    int rowBottom = std::numeric_limits<int>::min();
    for (QWidget *p : panels) {
        if (rows.empty() || p->y() >= rowBottom)
            rows.emplace_back();
        rows.back().push_back(p);
        rowBottom = std::max(rowBottom, p->geometry().bottom());
    }
    QWidget *previous = nullptr;
    for (std::vector<QWidget *> &row : rows) {
        std::sort(row.begin(), row.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
        for (QWidget *panel : row)
            for (QWidget *w : panel->findChildren<QWidget *>()) {
                if (!(w->focusPolicy() & Qt::TabFocus))
                    continue;
                if (previous)
                    QWidget::setTabOrder(previous, w);
                previous = w;
            }
    }
}

void SetTextColor(QWidget *w, const QColor &c)
{
    FormStyle::SetLabelColor(w, c);
}

void SetFieldColor(QLineEdit *edit, const QColor &c)
{
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, c);
    edit->setPalette(p);
}

QString Hint(ParamLimit l)
{
    return QString::fromStdString("Min: " + FormatGeneral(l.Min) + ", Max: " + FormatGeneral(l.Max));
}

bool Shown(const QWidget *w)
{
    return !w->isHidden();
}

} // namespace

// ---------------------------------------------------------------------------
// Building the panels

QFrame *TForm1::NewPanel(const char *name, QRect geometry, const char *title, const char *subtitle)
{
    QFrame *panel = FormStyle::TealPanel(TabSheet1, name, geometry);

    auto *head = new QLabel(QString::fromUtf8(title), panel);
    head->setObjectName(QString::fromLatin1(name) + QStringLiteral("Title"));
    head->setFont(FormStyle::TitleFont());
    SetTextColor(head, FormStyle::TitleColor());
    head->setGeometry(8, 4, 182, 20);
    if (subtitle) {
        auto *sub = new QLabel(QString::fromUtf8(subtitle), panel);
        sub->setObjectName(QString::fromLatin1(name) + QStringLiteral("Subtitle"));
        sub->setFont(FormStyle::LabelFont());
        SetTextColor(sub, FormStyle::TitleColor());
        sub->setGeometry(8, 24, 182, 17);
    }
    return panel;
}

QLineEdit *TForm1::NewField(QWidget *panel, const char *name, const char *label, int row, bool output)
{
    const PanelColumns &c = ColumnsOf(panel, *this);
    const int y = c.firstRow + row * RowHeight;
    QLineEdit *edit =
        FormStyle::TextField(panel, QString::fromLatin1(name), QRect(c.fieldX, y, c.fieldWidth, FieldHeight), output);

    const QString text = FormStyle::Caption(label);
    auto *caption = new QLabel(text, panel);
    caption->setObjectName(QStringLiteral("Label") + QString::fromLatin1(name));
    caption->setFont(FormStyle::LabelFont());
    SetTextColor(caption, FormStyle::LabelColor());
    caption->setGeometry(8, y + 2, c.labelWidth, 18);
    FormStyle::NameByLabel(caption, edit);
    return edit;
}

TUpDown *TForm1::NewArrows(QWidget *panel, const char *name, QLineEdit *field)
{
    auto *arrows = new TUpDown(panel);
    arrows->setObjectName(QString::fromLatin1(name));
    arrows->setGeometry(field->geometry().right() + 2, field->y(), ArrowWidth, FieldHeight);
    field->setReadOnly(true);   // the arrows alone change the value
    return arrows;
}

QLineEdit *TForm1::NewCarrier(QWidget *panel, const char *name)
{
    auto *carrier = new QLineEdit(panel);
    carrier->setObjectName(QString::fromLatin1(name));
    carrier->hide();
    return carrier;
}

QCheckBox *TForm1::NewOption(QWidget *panel, const char *name, const char *text, QPoint at, bool checked)
{
    auto *box = new QCheckBox(QString::fromUtf8(text), panel);
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(FormStyle::LabelFont());
    SetTextColor(box, FormStyle::LabelColor());
    box->setGeometry(at.x(), at.y(), 150, 21);
    box->setChecked(checked);
    return box;
}

void TForm1::BuildSourcePanel()
{
    Panel1 = NewPanel("Panel1", QRect(QPoint(320, 42), SourcePanelSize), "Ionforrás",
                      "(Ionizálás +  gyorsítás) ");
    Image2 = new TPictureView(Panel1);
    Image2->setObjectName(QStringLiteral("Image2"));
    // The second aperture of the schematic (column 102) lines up with the panel's
    // anchor, 5 pixels left of its right edge.
    Image2->setGeometry(SourcePanelSize.width() - 107, 4, Image2Size.width(), Image2Size.height());

    CheckBox3 = NewOption(Panel1, "CheckBox3", "Pontforrás", {8, 42}, true);
    CheckBox4 = NewOption(Panel1, "CheckBox4", "Monoenergia", {8, 63}, true);
    CheckBox5 = NewOption(Panel1, "CheckBox5", "Párhuzamos", {8, 84}, false);

    Edit1 = NewField(Panel1, "Edit1", "Tömegszám: ", 0, false);
    Edit1->setText(QStringLiteral("120"));
    Edit2 = NewField(Panel1, "Edit2", "Közepes tömeg: ", 1, false);
    Edit2->setText(QStringLiteral("120"));
    Edit5 = NewField(Panel1, "Edit5", "Gyorsító fesz (kV) ", 2, true);
    Edit6 = NewField(Panel1, "Edit6", "Blende1 (m)", 3, false);
    Edit6->setText(QStringLiteral("0.02"));
    UpDown3 = NewArrows(Panel1, "UpDown3", Edit6);
    Edit12 = NewCarrier(Panel1, "Edit12");
    Edit7 = NewField(Panel1, "Edit7", "Blende2 (m) ", 4, false);
    Edit7->setText(QStringLiteral("0.02"));
    UpDown4 = NewArrows(Panel1, "UpDown4", Edit7);
    Edit13 = NewCarrier(Panel1, "Edit13");
}

void TForm1::BuildAnalyserPanel()
{
    Panel2 = NewPanel("Panel2", QRect(QPoint(789, 42), AnalyserPanelSize), "Elektromos szűrő",
                      "(Hengerkondenzátor)");
    Edit8 = NewField(Panel2, "Edit8", "Feszültség (kV) ", 0, true);
    Edit3 = NewField(Panel2, "Edit3", "Blende3 (m) ", 1, false);
    Edit3->resize(AnalyserColumns.fieldWidth - ArrowWidth - 2, FieldHeight);
    Edit3->setText(QStringLiteral("0.008"));
    UpDown1 = NewArrows(Panel2, "UpDown1", Edit3);
    Edit14 = NewCarrier(Panel2, "Edit14");
    // "Helyzet (m) " takes part in the drawing and the layout file but is not shown.
    Edit4 = NewField(Panel2, "Edit4", "Helyzet (m) ", 2, false);
    Edit4->resize(Edit3->size());
    Edit4->setText(QStringLiteral("0.0"));
    UpDown2 = NewArrows(Panel2, "UpDown2", Edit4);
    Edit15 = NewCarrier(Panel2, "Edit15");
    Edit4->hide();
    UpDown2->hide();
    Panel2->findChild<QLabel *>(QStringLiteral("LabelEdit4"))->hide();
}

void TForm1::BuildMagnetPanel()
{
    Panel3 = NewPanel("Panel3", QRect(QPoint(451, 570), MagnetPanelSize), "Mágneses szűrő",
                      "(Szektor mágneses mező)");
    Edit9 = NewField(Panel3, "Edit9", "Mágn. indukció (T) ", 0, false);
    Edit9->setText(QStringLiteral("1"));
    UpDown5 = NewArrows(Panel3, "UpDown5", Edit9);
    Edit16 = NewCarrier(Panel3, "Edit16");
}

// ---------------------------------------------------------------------------
// Events of the device controls

void TForm1::ConnectDeviceControls()
{
    m_fieldHook = new TEventHook([this](QObject *w, QEvent *e) { return DeviceFieldEvent(w, e); }, this);
    for (const TParamField &f : m_paramFields) {
        if (!f.Target)
            continue;   // leaving a computed field does nothing
        f.Edit->installEventFilter(m_fieldHook);
        if (!f.Arrows)
            continue;
        QLineEdit *carrier = f.Carrier;
        connect(f.Arrows, &TUpDown::Stepped, carrier,
                [carrier](int pos) { carrier->setText(QString::fromStdString(std::to_string(pos))); });
        const size_t index = size_t(&f - m_paramFields.data());
        connect(carrier, &QLineEdit::textChanged, this, [this, index] { CarrierChanged(m_paramFields[index]); });
        QLineEdit *edit = f.Edit;
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { ArrowFieldChanged(edit); });
    }
    TParams &p = Model().Params;
    connect(CheckBox3, &QCheckBox::toggled, this, [&p](bool on) { p.PointSource = on; });
    connect(CheckBox4, &QCheckBox::toggled, this, [&p](bool on) { p.MonoEnergetic = on; });
    connect(CheckBox5, &QCheckBox::toggled, this, [&p](bool on) { p.Parallel = on; });
    for (QRadioButton *mode : {RadioButton6, RadioButton7})
        connect(mode, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                ApplyParameters();
        });
}

bool TForm1::DeviceFieldEvent(QObject *watched, QEvent *e)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit)
        return false;
    switch (e->type()) {
    case QEvent::FocusOut: {
        // Only a move to another control counts as leaving, not a message box or
        // another window taking the focus.
        const Qt::FocusReason r = static_cast<QFocusEvent *>(e)->reason();
        if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason)
            ValidateField(edit);
        return false;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(e)->key();
        const bool plain = !(static_cast<QKeyEvent *>(e)->modifiers()
                             & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier));
        // A field changed by arrows steps by the keys as by its arrow buttons:
        // Up/Down one step, Page Up/Down ten (with Ctrl they switch the page).
        if (const TParamField *f = ParamFieldOf(edit); plain && f && f->Arrows && !f->Arrows->isHidden()) {
            const int steps = key == Qt::Key_Up ? 1 : key == Qt::Key_Down ? -1 : key == Qt::Key_PageUp ? 10
                            : key == Qt::Key_PageDown ? -10 : 0;
            if (steps != 0) {
                if (f->Arrows->isEnabled())
                    f->Arrows->StepBy(steps);
                return true;
            }
        }
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        ValidateField(edit);
        return true;   // the Enter key itself goes no further
    }
    case QEvent::MouseButtonRelease:
        if (edit == Edit1 || edit == Edit2)
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        return false;
    default:
        return false;
    }
}

bool TForm1::ValidateField(QLineEdit *edit)
{
    const TParamField *f = ParamFieldOf(edit);
    if (!f || !f->Target)
        return true;
    const std::optional<double> v = ParseFloat(edit->text().toStdString());
    if (!v || !WithinLimit(*v, f->Limit)) {
        RefuseField(edit, !edit->hasFocus());
        return false;
    }
    *f->Target = *v;
    ApplyParameters();
    return true;
}

void TForm1::RefuseField(QLineEdit *edit, bool refocusLater)
{
    QApplication::beep();
    if (!refocusLater) {
        edit->selectAll();
        return;
    }
    // The focus is on its way elsewhere; bring it back once it has arrived.
    QTimer::singleShot(0, edit, [edit] {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    });
}

void TForm1::CarrierChanged(const TParamField &f)
{
    const std::optional<int32_t> pos = ParseInt(f.Carrier->text().toStdString());
    if (pos)
        f.Edit->setText(QString::fromStdString(FormatGeneral(*pos / f.Scale)));
}

void TForm1::ArrowFieldChanged(QLineEdit *edit)
{
    if (!m_initialising)
        ValidateField(edit);
}

const TParamField *TForm1::ParamFieldOf(const QLineEdit *edit) const
{
    for (const TParamField &f : m_paramFields)
        if (f.Edit == edit)
            return &f;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Parameter initialisation

void TForm1::SetUpParamFields()
{
    TParams &p = Model().Params;
    using namespace Limits;
    m_paramFields = {
        {Edit1, Mass, &p.Mass, nullptr, nullptr, 1.0},
        {Edit2, Mass, &p.MeanMass, nullptr, nullptr, 1.0},
        {Edit5, Voltage, nullptr, nullptr, nullptr, 1.0},
        {Edit6, Blende, &p.Blende1, UpDown3, Edit12, BlendeScale},
        {Edit7, Blende, &p.Blende2, UpDown4, Edit13, BlendeScale},
        {Edit8, Voltage, nullptr, nullptr, nullptr, 1.0},
        {Edit3, Blende, &p.Blende3, UpDown1, Edit14, BlendeScale},
        {Edit4, Offset, &p.Blende3Offset, UpDown2, Edit15, BlendeScale},
        {Edit9, Induction, &p.Induction, UpDown5, Edit16, InductionScale},
    };
    for (TParamField &f : m_paramFields) {
        f.Edit->setToolTip(Hint(f.Limit));
        if (f.Arrows)
            AttachArrows(f);
    }
}

void TForm1::AttachArrows(TParamField &f)
{
    f.Arrows->SetRange(RoundEven(f.Limit.Min * f.Scale), RoundEven(f.Limit.Max * f.Scale));
    const double value = ParseFloat(f.Edit->text().toStdString()).value_or(0.0);
    f.Arrows->SetPosition(RoundEven(value * f.Scale));
    f.Carrier->setText(QString::fromStdString(std::to_string(f.Arrows->Position())));
}

void TForm1::InitParameters()
{
    m_initialising = true;
    SetUpParamFields();
    m_initialising = false;

    // The instrument was started (StartInstrument: layout chain, defaults applied,
    // particle table reset); the page shows the masses and applies its own fields.
    Edit1->setText(QStringLiteral("120"));
    Edit2->setText(QStringLiteral("120"));
    ApplyParameters();
}

// ---------------------------------------------------------------------------
// Applying the parameters

bool TForm1::ApplyParameters()
{
    Betltselrendezssmrsiadatok1->setVisible(IsJury);
    const bool showWasChecked = CheckBox2->isChecked();

    DeviceFields f;
    f.Parallel = CheckBox5->isChecked();
    f.MonoEnergetic = CheckBox4->isChecked();
    f.PointSource = CheckBox3->isChecked();
    ApplyMode(f);
    if (!ReadFieldValues(f))
        return false;

    const ApplyOutcome out = ApplyDeviceValues(Model(), f, Instrument.Latches);
    ShowMassWindow(out);
    ShowVoltages(out);
    if (out.ShowVoltageWarning) {
        ShowMessageBox(QString::fromUtf8(VoltageWarningText), QString::fromUtf8(ErrorTitle), 0);
        return false;
    }
    DrawSchematic();
    UpdateDetectorControls();
    if (showWasChecked)
        ComposePicture();
    return true;
}

void TForm1::ApplyMode(DeviceFields &f)
{
    f.UnknownMode = RadioButton7->isChecked();
    Model().Params.UnknownMode = f.UnknownMode;
    Edit1->setVisible(!f.UnknownMode);
    for (QCheckBox *option : {CheckBox3, CheckBox4, CheckBox5}) {
        option->setEnabled(!f.UnknownMode && !Instrument.Run.Running);   // a run keeps them locked
        if (f.UnknownMode)
            option->setChecked(false);   // clears its flag through its own handler
    }
}

bool TForm1::ReadFieldValues(DeviceFields &f)
{
    // Only values the fields' own check accepts are applied: a text it refused
    // (typed and confirmed, or left behind by a bypassed check) stops the
    // application here with that field's own refusal, whatever path applied.
    auto read = [this](QLineEdit *edit, double &to) {
        const TParamField *field = ParamFieldOf(edit);
        const std::optional<double> v = ParseFloat(edit->text().toStdString());
        if (v && (!field || WithinLimit(*v, field->Limit))) {
            to = *v;
            return true;
        }
        RefuseField(edit, !edit->hasFocus());
        return false;
    };
    if (!f.UnknownMode && !read(Edit1, f.Mass))
        return false;
    return read(Edit2, f.MeanMass) && read(Edit6, f.Blende1) && read(Edit7, f.Blende2)
           && read(Edit3, f.Blende3) && read(Edit4, f.Blende3Offset) && read(Edit9, f.Induction);
}

void TForm1::ShowMassWindow(const ApplyOutcome &out)
{
    if (!out.MassOutsideWindow) {
        SetFieldColor(Edit1, FormStyle::InputColor());
        SetFieldColor(Edit2, FormStyle::InputColor());
        return;
    }
    if (!out.ShowMassWarning)
        return;   // already warned: the red fields say it
    ShowMessageBox(QString::fromUtf8(MassWarningText), QString::fromUtf8(ErrorTitle), 0);
    SetFieldColor(Edit1, FormStyle::AlarmColor());
    SetFieldColor(Edit2, FormStyle::AlarmColor());
}

void TForm1::ShowVoltages(const ApplyOutcome &out)
{
    Edit5->setText(QString::fromStdString(out.AccVoltageText));
    SetFieldColor(Edit5, out.AccVoltageRed ? FormStyle::AlarmColor() : FormStyle::OutputColor());
    Edit8->setText(QString::fromStdString(out.EsaVoltageText));
    SetFieldColor(Edit8, out.EsaVoltageRed ? FormStyle::AlarmColor() : FormStyle::OutputColor());
}

void TForm1::DrawSchematic()
{
    DrawSourceSchematic(Image2Picture, Image2->width(), Image2->height(), Model().Params,
                        Model().Map.PixelSize);
    Image2->update();
}

void TForm1::UpdateDetectorControls()
{
    const TDetector &d = Model().Detector;
    const bool defined = DetectorDefined(d);
    CheckBox2->setVisible(defined);
    GroupBox1->setVisible(d.Accepted);
    Button3->setVisible(defined && !d.Accepted);
    Button5->setVisible(d.Accepted && defined);
    CheckBox1->setVisible(!Shown(Button5));
}

// ---------------------------------------------------------------------------
// Placing the panels and composing the picture

void TForm1::PlacePanels()
{
    TModel &m = Model();
    DrawApparatus(m);
    const QPoint at = Image1->pos();
    const double s = m.Map.PixelSize;

    const TPixel entry = m.Map.ToPixel(m.AxisPoints[0]);
    const int schematicCentre = Image2->y() + Image2->height() / 2;
    Panel1->move(at.x() + entry.x + 5 - Panel1->width(), at.y() + entry.y - schematicCentre);

    const int outerPlate = RoundEven((m.Esa.Gap / 2 + m.Esa.Radius) / s) + m.Map.OriginX;
    Panel2->move(at.x() + outerPlate + 10, Panel1->y());

    const double phi = m.Magnet.StartAngle + m.Magnet.Angle / 2;
    const double r = (m.Magnet.Gap / 2 + m.Magnet.Radius) / s;
    const int poleX = Trunc(std::sin(phi) * r + m.Magnet.Center.x / s) + m.Map.OriginX;
    const int poleY = Trunc(m.Magnet.Center.y / s - std::cos(phi) * r) + m.Map.OriginY;
    Panel3->move(at.x() + poleX - 100, at.y() + poleY + 20);

    Panel6->move(30, 15);
    OrderFocusByLayout({Panel1, Panel2, Panel3, Panel6, Panel4});
}

void TForm1::ComposePicture()
{
    TModel &m = Model();
    bool overlay = false;
    bool unusable = false;
    if (Shown(CheckBox2) && CheckBox2->isChecked()) {
        overlay = BuildDetector(m);   // reuses the drawing while the points stay the same
        unusable = !overlay;
    }
    ComposeDevicePicture(Image1Picture, m, overlay);
    Image1->update();
    if (unusable) {
        ReportUnusableDetector();
        if (Hooks.DetectorFitFailed)
            Hooks.DetectorFitFailed(*this);
    }
}
