// The run-control panel and the detector panel of the device page: their
// controls, texts and starting states. Their actions are in RunControl.cpp and
// DetectorPanel.cpp.
#include "Main/window/Main.h"

#include "Main/window/EventHook.h"
#include "Main/window/FormStyle.h"
#include "Main/device/PictureView.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr QRect RunPanelRect(30, 15, 200, 318);
constexpr QRect DetectorPanelRect(30, 600, 330, 136);

template <typename W>
W *White(W *w, const QColor &c = FormStyle::LabelColor())
{
    w->setFont(FormStyle::LabelFont());
    FormStyle::SetLabelColor(w, c);
    return w;
}

template <typename W>
W *Named(W *w, const char *name, QRect geometry)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometry);
    return w;
}

QRadioButton *Choice(QGroupBox *group, const char *name, const char *text, int y, bool checked)
{
    auto *b = White(Named(new QRadioButton(QString::fromUtf8(text), group), name, QRect(8, y, 172, 21)));
    b->setChecked(checked);
    return b;
}

QLineEdit *CountField(QWidget *panel, const char *name, QLabel *label, int y, bool readOnly)
{
    QLineEdit *edit = FormStyle::TextField(panel, QString::fromLatin1(name), QRect(124, y, 68, 22), readOnly,
                                           QStringLiteral("0"));
    FormStyle::NameByLabel(label, edit);
    return edit;
}

} // namespace

void TForm1::BuildRunPanel()
{
    // Made here for the form as a whole; creation puts it onto the device page.
    Panel6 = FormStyle::TealPanel(this, "Panel6", RunPanelRect);

    RadioGroup2 = White(Named(new QGroupBox(QStringLiteral("Szimulációs mód"), Panel6), "RadioGroup2",
                              QRect(6, 4, 188, 66)));
    RadioButton6 = Choice(RadioGroup2, "RadioButton6", "Tesztelés, beállítás", 18, true);
    RadioButton7 = Choice(RadioGroup2, "RadioButton7", "Ismeretlen tömeg", 40, false);

    Button1 = Named(new QPushButton(QStringLiteral("Start"), Panel6), "Button1", QRect(6, 76, 90, 28));
    Label1 = White(Named(new QLabel(QStringLiteral("ÁLL"), Panel6), "Label1", QRect(104, 76, 90, 28)),
                   FormStyle::TitleColor());
    Label1->setFont(FormStyle::TitleFont());
    Label1->setAlignment(Qt::AlignCenter);

    CheckBox6 = White(Named(new QCheckBox(QStringLiteral("Folyamatos a kitűzöttig"), Panel6), "CheckBox6",
                            QRect(6, 110, 188, 21)));
    CheckBox6->setChecked(true);

    Label21 = White(Named(new QLabel(FormStyle::Caption("Kitűzött\rrészecskeszám:"), Panel6), "Label21",
                          QRect(6, 136, 116, 34)));
    Edit11 = CountField(Panel6, "Edit11", Label21, 142, false);
    Label4 = White(Named(new QLabel(FormStyle::Caption("Kibocsátott\rrészecskeszám:"), Panel6), "Label4",
                         QRect(6, 174, 116, 34)));
    Edit10 = CountField(Panel6, "Edit10", Label4, 180, true);

    Button2 = Named(new QPushButton(QStringLiteral("Pályák törlése"), Panel6), "Button2",
                    QRect(6, 214, 188, 26));

    GroupBox1 = White(Named(new QGroupBox(QStringLiteral("Céltárgy adatai"), Panel6), "GroupBox1",
                            QRect(6, 246, 188, 66)));
    RadioButton4 = Choice(GroupBox1, "RadioButton4", "1. spektrum", 18, true);
    RadioButton5 = Choice(GroupBox1, "RadioButton5", "2. spektrum", 40, false);
    GroupBox1->hide();   // until a detector is accepted

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    m_presetHook = new TEventHook([this](QObject *w, QEvent *e) { return PresetFieldEvent(w, e); }, this);
    Edit11->installEventFilter(m_presetHook);
}

void TForm1::BuildDetectorPanel()
{
    Panel4 = FormStyle::TealPanel(TabSheet1, "Panel4", DetectorPanelRect);
    auto *title = Named(new QLabel(QStringLiteral("Detektor"), Panel4), "Panel4Title", QRect(8, 4, 120, 20));
    White(title, FormStyle::TitleColor())->setFont(FormStyle::TitleFont());

    CheckBox1 = White(Named(new QCheckBox(QStringLiteral("Setup"), Panel4), "CheckBox1", QRect(8, 34, 90, 21)));
    CheckBox1->setChecked(true);
    CheckBox2 = White(Named(new QCheckBox(QStringLiteral("Mutat"), Panel4), "CheckBox2", QRect(8, 60, 90, 21)));
    CheckBox2->setChecked(true);

    Panel5 = Named(new QFrame(Panel4), "Panel5", QRect(104, 6, 120, 124));
    RadioGroup1 = White(Named(new QGroupBox(QStringLiteral("Illesztés"), Panel5), "RadioGroup1",
                              QRect(0, 0, 120, 124)));
    RadioButton1 = Choice(RadioGroup1, "RadioButton1", "Pont #1", 24, true);
    RadioButton2 = Choice(RadioGroup1, "RadioButton2", "Pont #2", 56, false);
    RadioButton3 = Choice(RadioGroup1, "RadioButton3", "Pont #3", 88, false);
    for (QRadioButton *b : {RadioButton1, RadioButton2, RadioButton3})
        b->resize(104, 21);

    Button3 = Named(new QPushButton(QStringLiteral("Elfogad"), Panel4), "Button3", QRect(234, 34, 86, 28));
    Button5 = Named(new QPushButton(QStringLiteral("Töröl"), Panel4), "Button5", QRect(234, 70, 86, 28));

    connect(CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::clicked, this, &TForm1::CheckBox2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
}
