// The device page after a jury identification: the three parameter panels and
// their placement, the field validation, the arrows, the derived voltages with
// their warnings and latches, the modes, the source schematic, the visible
// picture and the run-control and detector panels as they are built.
#ifndef Q_MOC_RUN
#include "FormDriver.h"
#include "Data/Raster.h"
#include "Main/device/PictureView.h"
#include "Main/device/UpDown.h"
#include "Main/core/DeviceValues.h"
#endif

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>

class TestDevicePage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void defaultsAndHints();
    void fieldsAndLabels();
    void panelsPlacedNextToTheirElements();
    void textsFitTheirControls();
    void runAndDetectorPanels();
    void inductionStepsUpToTheLimit();
    void inductionBelowTheLowerLimit();
    void massWindowInclusiveAndRearmed();
    void refusedInputsKeepTheOldValue();
    void focusStaysAfterLeavingARefusedField();
    void clickSelectsMassField();
    void arrowStepsAndRangeEnds();
    void modeSwitching();
    void sourceSchematic();
    void composedPictureAndDetectorControls();
    void unreadableFieldStopsTheApplication();

private:
    std::unique_ptr<ProgramUnderTest> prog;
    std::unique_ptr<ModalDriver> driver;
    TForm1 &F() { return prog->F(); }
    TParams &P() { return prog->P(); }

    void Step(TUpDown *arrows, bool up, int times = 1);
    int SMsgCount(const char *text) const;
};

// ---------------------------------------------------------------------------

void TestDevicePage::init()
{
    prog = std::make_unique<ProgramUnderTest>();
    driver = std::make_unique<ModalDriver>();
    driver->Password(QStringLiteral("Vezer7146"));
    QVERIFY(prog->Identify(*driver));
    QVERIFY(driver->Messages.isEmpty());
    F().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&F()));
}

void TestDevicePage::cleanup()
{
    driver.reset();
    prog.reset();
}

void TestDevicePage::Step(TUpDown *arrows, bool up, int times)
{
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(up ? arrows->UpButton() : arrows->DownButton(), Qt::LeftButton);
}

int TestDevicePage::SMsgCount(const char *text) const
{
    int n = 0;
    for (const ShownMessage &m : driver->Messages)
        if (m.Kind == QLatin1String("SMsg") && m.Text == QString::fromUtf8(text)
            && m.Title == QStringLiteral("*** HIBA ***"))
            ++n;
    return n;
}

// ---------------------------------------------------------------------------

void TestDevicePage::defaultsAndHints()
{
    TForm1 &f = F();
    QCOMPARE(f.Edit5->text(), QStringLiteral("  25.93686"));
    QCOMPARE(f.Edit8->text(), QStringLiteral("  30.63409"));
    QCOMPARE(Background(f.Edit5), QColor(255, 255, 255));
    QCOMPARE(Background(f.Edit8), QColor(255, 255, 255));
    for (QLineEdit *e : {f.Edit1, f.Edit2, f.Edit6, f.Edit7, f.Edit3, f.Edit9})
        QCOMPARE(Background(e), QColor(192, 220, 192));
    QCOMPARE(f.Edit1->text(), QStringLiteral("120"));
    QCOMPARE(f.Edit2->text(), QStringLiteral("120"));
    QCOMPARE(f.Edit6->text(), QStringLiteral("0.02"));
    QCOMPARE(f.Edit7->text(), QStringLiteral("0.02"));
    QCOMPARE(f.Edit3->text(), QStringLiteral("0.008"));
    QCOMPARE(f.Edit4->text(), QStringLiteral("0.0"));
    QCOMPARE(f.Edit9->text(), QStringLiteral("1"));

    QCOMPARE(f.Edit1->toolTip(), QStringLiteral("Min: 1, Max: 1000"));
    QCOMPARE(f.Edit2->toolTip(), QStringLiteral("Min: 1, Max: 1000"));
    QCOMPARE(f.Edit5->toolTip(), QStringLiteral("Min: 1, Max: 120"));
    QCOMPARE(f.Edit8->toolTip(), QStringLiteral("Min: 1, Max: 120"));
    for (QLineEdit *e : {f.Edit6, f.Edit7, f.Edit3})
        QCOMPARE(e->toolTip(), QStringLiteral("Min: 0.005, Max: 0.1"));
    QCOMPARE(f.Edit4->toolTip(), QStringLiteral("Min: -0.05, Max: 0.05"));
    QCOMPARE(f.Edit9->toolTip(), QStringLiteral("Min: 0.1, Max: 2"));

    // Arrow ranges and starting positions, mirrored in the hidden carrier fields.
    struct Arrow { TUpDown *a; QLineEdit *carrier; int min, max, pos; };
    for (const Arrow &x : {Arrow{f.UpDown3, f.Edit12, 5, 100, 20}, Arrow{f.UpDown4, f.Edit13, 5, 100, 20},
                           Arrow{f.UpDown1, f.Edit14, 5, 100, 8}, Arrow{f.UpDown2, f.Edit15, -50, 50, 0},
                           Arrow{f.UpDown5, f.Edit16, 10, 200, 100}}) {
        QCOMPARE(x.a->Min(), x.min);
        QCOMPARE(x.a->Max(), x.max);
        QCOMPARE(x.a->Position(), x.pos);
        QCOMPARE(x.carrier->text(), QString::number(x.pos));
        QVERIFY(x.carrier->isHidden());
    }
    QVERIFY(f.Edit4->isHidden());
    QVERIFY(f.UpDown2->isHidden());

    const TParams &p = P();
    QCOMPARE(p.Mass, 120.0);
    QCOMPARE(p.MeanMass, 120.0);
    QCOMPARE(p.Induction, 1.0);
    QCOMPARE(p.Blende3, 0.008);
    QVERIFY(qAbs(p.TimeStep - 4.8965e-8) < 1e-11);
    QVERIFY(p.PointSource && p.MonoEnergetic && !p.Parallel && !p.UnknownMode);
    QVERIFY(f.CheckBox3->isChecked() && f.CheckBox4->isChecked() && !f.CheckBox5->isChecked());
    QVERIFY(f.RadioButton6->isChecked() && !f.RadioButton7->isChecked());
}

void TestDevicePage::fieldsAndLabels()
{
    TForm1 &f = F();
    struct Row { const char *label; QLineEdit *edit; QFrame *panel; bool output; };
    const Row rows[] = {
        {"Tömegszám: ", f.Edit1, f.Panel1, false},        {"Közepes tömeg: ", f.Edit2, f.Panel1, false},
        {"Gyorsító fesz (kV) ", f.Edit5, f.Panel1, true}, {"Blende1 (m)", f.Edit6, f.Panel1, false},
        {"Blende2 (m) ", f.Edit7, f.Panel1, false},       {"Feszültség (kV) ", f.Edit8, f.Panel2, true},
        {"Blende3 (m) ", f.Edit3, f.Panel2, false},       {"Helyzet (m) ", f.Edit4, f.Panel2, false},
        {"Mágn. indukció (T) ", f.Edit9, f.Panel3, false},
    };
    for (const Row &r : rows) {
        const QString text = QString::fromUtf8(r.label);
        QCOMPARE(FieldLabelled(&f, text), r.edit);
        QCOMPARE(r.edit->accessibleName(), text);
        QCOMPARE(r.edit->parentWidget(), r.panel);
        const TParamField *pf = f.ParamFieldOf(r.edit);
        QVERIFY(pf);
        QCOMPARE(pf->Target == nullptr, r.output);
    }
    // Typed fields can be written; arrow fields only through their arrows.
    QVERIFY(!f.Edit1->isReadOnly() && !f.Edit2->isReadOnly());
    for (QLineEdit *e : {f.Edit5, f.Edit8, f.Edit6, f.Edit7, f.Edit3, f.Edit9})
        QVERIFY(e->isReadOnly());

    auto titleOf = [](QFrame *panel, const char *suffix) {
        return panel->findChild<QLabel *>(panel->objectName() + QLatin1String(suffix));
    };
    QCOMPARE(titleOf(f.Panel1, "Title")->text(), QStringLiteral("Ionforrás"));
    QCOMPARE(titleOf(f.Panel1, "Subtitle")->text(), QStringLiteral("(Ionizálás +  gyorsítás) "));
    QCOMPARE(titleOf(f.Panel2, "Title")->text(), QStringLiteral("Elektromos szűrő"));
    QCOMPARE(titleOf(f.Panel2, "Subtitle")->text(), QStringLiteral("(Hengerkondenzátor)"));
    QCOMPARE(titleOf(f.Panel3, "Title")->text(), QStringLiteral("Mágneses szűrő"));
    QCOMPARE(titleOf(f.Panel3, "Subtitle")->text(), QStringLiteral("(Szektor mágneses mező)"));
    for (QFrame *panel : {f.Panel1, f.Panel2, f.Panel3, f.Panel4, f.Panel6})
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(0, 128, 128));
    QLabel *title = titleOf(f.Panel1, "Title");
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    QCOMPARE(title->font().pixelSize(), 16);
    QVERIFY(title->font().bold());
    QLabel *label = f.Panel1->findChild<QLabel *>(QStringLiteral("LabelEdit1"));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    QCOMPARE(label->font().pixelSize(), 13);
    QVERIFY(label->font().bold());

    QCOMPARE(f.CheckBox3->text(), QStringLiteral("Pontforrás"));
    QCOMPARE(f.CheckBox4->text(), QStringLiteral("Monoenergia"));
    QCOMPARE(f.CheckBox5->text(), QStringLiteral("Párhuzamos"));
    QCOMPARE(f.CheckBox3->parentWidget(), f.Panel1);
    QCOMPARE(f.Image2->parentWidget(), f.Panel1);
}

void TestDevicePage::panelsPlacedNextToTheirElements()
{
    TForm1 &f = F();
    // Entry of the analyser: picture pixel (600, 83), Image1 at (15, 2) on the page.
    QCOMPARE(f.Panel1->x() + f.Panel1->width(), 15 + 600 + 5);
    QCOMPARE(f.Panel1->y() + f.Image2->y() + f.Image2->height() / 2, 2 + 83);
    // Outer analyser plate: round(0.329 / 0.002) = 164 (half to even) right of the origin.
    QCOMPARE(f.Panel2->pos(), QPoint(15 + 764 + 10, f.Panel1->y()));
    // Outer pole edge at half the sector angle: picture pixel (536, 548).
    QCOMPARE(f.Panel3->pos(), QPoint(15 + 536 - 100, 2 + 548 + 20));
    QCOMPARE(f.Panel6->pos(), QPoint(30, 15));

    // Every panel lies on the picture and no two overlap.
    const QList<QFrame *> panels = {f.Panel1, f.Panel2, f.Panel3, f.Panel4, f.Panel6};
    for (int i = 0; i < panels.size(); ++i) {
        QVERIFY2(f.Image1->geometry().contains(panels[i]->geometry()), qPrintable(panels[i]->objectName()));
        for (int j = i + 1; j < panels.size(); ++j)
            QVERIFY2(!panels[i]->geometry().intersects(panels[j]->geometry()),
                     qPrintable(panels[i]->objectName() + " " + panels[j]->objectName()));
    }
}

void TestDevicePage::textsFitTheirControls()
{
    // Nothing on the device page is cut off with the fonts this system has.
    TForm1 &f = F();
    for (QWidget *w : f.TabSheet1->findChildren<QWidget *>()) {
        const bool hasText = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w);
        if (!hasText || qobject_cast<QToolButton *>(w))
            continue;
        const QSize hint = w->sizeHint();
        QVERIFY2(hint.width() <= w->width() && hint.height() <= w->height() + 2,
                 qPrintable(QStringLiteral("%1: hint %2x%3, size %4x%5")
                                .arg(w->objectName())
                                .arg(hint.width())
                                .arg(hint.height())
                                .arg(w->width())
                                .arg(w->height())));
        // Whatever can be shown lies inside its panel ("Helyzet (m) " never shows).
        QWidget *parent = w->parentWidget();
        if (w->objectName() != QLatin1String("LabelEdit4"))
            QVERIFY2(parent->rect().contains(w->geometry()), qPrintable(w->objectName()));
    }
    for (QLineEdit *e : {f.Edit5, f.Edit8})
        QVERIFY(e->fontMetrics().horizontalAdvance(e->text()) < e->width() - 4);
}

void TestDevicePage::runAndDetectorPanels()
{
    TForm1 &f = F();
    QCOMPARE(f.RadioGroup2->title(), QStringLiteral("Szimulációs mód"));
    QCOMPARE(f.RadioButton6->text(), QStringLiteral("Tesztelés, beállítás"));
    QCOMPARE(f.RadioButton7->text(), QStringLiteral("Ismeretlen tömeg"));
    QCOMPARE(f.Button1->text(), QStringLiteral("Start"));
    QCOMPARE(f.Label1->text(), QStringLiteral("ÁLL"));
    QCOMPARE(f.CheckBox6->text(), QStringLiteral("Folyamatos a kitűzöttig"));
    QVERIFY(f.CheckBox6->isChecked());
    QCOMPARE(f.Label21->buddy(), f.Edit11);
    QCOMPARE(f.Edit11->text(), QStringLiteral("0"));
    QVERIFY(!f.Edit11->isReadOnly());
    QCOMPARE(f.Label4->buddy(), f.Edit10);
    QCOMPARE(f.Edit10->text(), QStringLiteral("0"));
    QVERIFY(f.Edit10->isReadOnly());
    QCOMPARE(f.Button2->text(), QStringLiteral("Pályák törlése"));
    QCOMPARE(f.GroupBox1->title(), QStringLiteral("Céltárgy adatai"));
    QCOMPARE(f.RadioButton4->text(), QStringLiteral("1. spektrum"));
    QCOMPARE(f.RadioButton5->text(), QStringLiteral("2. spektrum"));
    QVERIFY(f.RadioButton4->isChecked());
    QVERIFY(f.GroupBox1->isHidden());
    // Top to bottom as listed.
    QVERIFY(f.RadioGroup2->y() < f.Button1->y() && f.Button1->y() < f.CheckBox6->y()
            && f.CheckBox6->y() < f.Edit11->y() && f.Edit11->y() < f.Edit10->y()
            && f.Edit10->y() < f.Button2->y() && f.Button2->y() < f.GroupBox1->y());

    QCOMPARE(f.CheckBox1->text(), QStringLiteral("Setup"));
    QVERIFY(f.CheckBox1->isChecked());
    QCOMPARE(f.CheckBox2->text(), QStringLiteral("Mutat"));
    QVERIFY(f.CheckBox2->isChecked());
    QCOMPARE(f.RadioGroup1->title(), QStringLiteral("Illesztés"));
    QCOMPARE(f.RadioGroup1->parentWidget(), f.Panel5);
    QCOMPARE(f.RadioButton1->text(), QStringLiteral("Pont #1"));
    QCOMPARE(f.RadioButton2->text(), QStringLiteral("Pont #2"));
    QCOMPARE(f.RadioButton3->text(), QStringLiteral("Pont #3"));
    QVERIFY(f.RadioButton1->isChecked());
    QCOMPARE(f.Button3->text(), QStringLiteral("Elfogad"));
    QCOMPARE(f.Button5->text(), QStringLiteral("Töröl"));
    // No detector yet: only "Setup" and the point selector show.
    QVERIFY(!f.CheckBox1->isHidden());
    QVERIFY(!f.Panel5->isHidden());
    QVERIFY(f.CheckBox2->isHidden());
    QVERIFY(f.Button3->isHidden());
    QVERIFY(f.Button5->isHidden());
}

void TestDevicePage::inductionStepsUpToTheLimit()
{
    TForm1 &f = F();
    Step(f.UpDown5, true, 97);
    QCOMPARE(f.Edit9->text(), QStringLiteral("1.97"));
    QCOMPARE(P().Induction, 1.97);
    QCOMPARE(f.Edit8->text(), QStringLiteral(" 118.88783"));
    QCOMPARE(Background(f.Edit8), QColor(255, 255, 255));
    QVERIFY(driver->Messages.isEmpty());
    const double timeStep = P().TimeStep;

    // 1.98 T: the analyser voltage leaves its range; warned once, the application fails.
    Step(f.UpDown5, true);
    QCOMPARE(f.Edit9->text(), QStringLiteral("1.98"));
    QCOMPARE(f.Edit8->text(), QStringLiteral(" 120.09788"));
    QCOMPARE(Background(f.Edit8), QColor(255, 0, 0));
    QCOMPARE(Background(f.Edit5), QColor(255, 255, 255));
    QCOMPARE(driver->Messages.size(), 1);
    QCOMPARE(SMsgCount(VoltageWarningText), 1);
    QCOMPARE(P().TimeStep, timeStep);   // the steps after the gate did not run
    QVERIFY(prog->Instrument->Latches.VoltageWarningShown);

    // Further steps go through without a message; the red field is the only sign.
    Step(f.UpDown5, true);
    QCOMPARE(driver->Messages.size(), 1);
    QVERIFY(P().TimeStep < timeStep);
    Step(f.UpDown5, true);
    QCOMPARE(f.Edit9->text(), QStringLiteral("2"));
    QCOMPARE(f.Edit5->text(), QStringLiteral(" 103.74744"));
    QCOMPARE(f.Edit8->text(), QStringLiteral(" 122.53635"));
    QCOMPARE(Background(f.Edit8), QColor(255, 0, 0));
    QVERIFY(f.ApplyParameters());
    // At the end of the range the arrow does nothing.
    Step(f.UpDown5, true);
    QCOMPARE(f.UpDown5->Position(), 200);
    QCOMPARE(f.Edit9->text(), QStringLiteral("2"));
    QCOMPARE(f.Edit16->text(), QStringLiteral("200"));
    QCOMPARE(driver->Messages.size(), 1);

    // Back in range the latch clears, and the next excursion warns again.
    Step(f.UpDown5, false, 3);
    QCOMPARE(f.Edit9->text(), QStringLiteral("1.97"));
    QCOMPARE(Background(f.Edit8), QColor(255, 255, 255));
    QVERIFY(!prog->Instrument->Latches.VoltageWarningShown);
    Step(f.UpDown5, true);
    QCOMPARE(SMsgCount(VoltageWarningText), 2);
}

void TestDevicePage::inductionBelowTheLowerLimit()
{
    TForm1 &f = F();
    Step(f.UpDown5, false, 80);
    QCOMPARE(f.Edit9->text(), QStringLiteral("0.2"));
    QCOMPARE(Background(f.Edit5), QColor(255, 255, 255));
    QVERIFY(driver->Messages.isEmpty());
    Step(f.UpDown5, false);
    QCOMPARE(f.Edit9->text(), QStringLiteral("0.19"));
    QCOMPARE(f.Edit5->text(), QStringLiteral("   0.93632"));
    QCOMPARE(Background(f.Edit5), QColor(255, 0, 0));
    QCOMPARE(SMsgCount(VoltageWarningText), 1);
    // Down to the end of the range: no more messages.
    Step(f.UpDown5, false, 10);
    QCOMPARE(f.Edit9->text(), QStringLiteral("0.1"));
    Step(f.UpDown5, false);
    QCOMPARE(f.Edit9->text(), QStringLiteral("0.1"));
    QCOMPARE(f.UpDown5->Position(), 10);
    QCOMPARE(driver->Messages.size(), 1);
}

void TestDevicePage::massWindowInclusiveAndRearmed()
{
    TForm1 &f = F();
    const QColor normal(192, 220, 192), red(255, 0, 0);
    TypeAndEnter(f.Edit2, QStringLiteral("100"));
    QCOMPARE(P().MeanMass, 100.0);
    TypeAndEnter(f.Edit1, QStringLiteral("150"));
    QCOMPARE(P().Mass, 150.0);
    QVERIFY(driver->Messages.isEmpty());   // 1.5 x 100 is still inside
    QCOMPARE(Background(f.Edit1), normal);

    TypeAndEnter(f.Edit1, QStringLiteral("151"));
    QCOMPARE(SMsgCount(MassWarningText), 1);
    QCOMPARE(Background(f.Edit1), red);
    QCOMPARE(Background(f.Edit2), red);
    QCOMPARE(P().Mass, 151.0);

    TypeAndEnter(f.Edit1, QStringLiteral("152"));
    QCOMPARE(driver->Messages.size(), 1);   // warned once
    QCOMPARE(Background(f.Edit1), red);

    TypeAndEnter(f.Edit1, QStringLiteral("150"));
    QCOMPARE(Background(f.Edit1), normal);
    QCOMPARE(Background(f.Edit2), normal);
    QVERIFY(!prog->Instrument->Latches.MassWarningShown);
    TypeAndEnter(f.Edit1, QStringLiteral("151"));
    QCOMPARE(SMsgCount(MassWarningText), 2);

    // The lower bound is inclusive too.
    TypeAndEnter(f.Edit1, QStringLiteral("50"));
    QCOMPARE(Background(f.Edit1), normal);
    TypeAndEnter(f.Edit1, QStringLiteral("49"));
    QCOMPARE(SMsgCount(MassWarningText), 3);
}

void TestDevicePage::refusedInputsKeepTheOldValue()
{
    TForm1 &f = F();
    QSignalSpy returns(f.Edit1, &QLineEdit::returnPressed);
    const double timeStep = P().TimeStep;
    for (const QString &bad : {QStringLiteral("1001"), QStringLiteral("0.5"), QStringLiteral("12a"),
                               QStringLiteral("1,5"), QString()}) {
        TypeAndEnter(f.Edit1, bad);
        QCOMPARE(P().Mass, 120.0);
        QCOMPARE(f.Edit1->text(), bad);
        QCOMPARE(f.Edit1->selectedText(), bad);
        QCOMPARE(QApplication::focusWidget(), f.Edit1);
    }
    QCOMPARE(P().TimeStep, timeStep);
    QVERIFY(driver->Messages.isEmpty());
    QCOMPARE(returns.count(), 0);   // Enter went no further than the check

    TypeAndEnter(f.Edit2, QStringLiteral("1000.5"));
    QCOMPARE(P().MeanMass, 120.0);
    QCOMPARE(QApplication::focusWidget(), f.Edit2);
    TypeAndEnter(f.Edit2, QStringLiteral("120"));

    // The bounds themselves are accepted.
    TypeAndEnter(f.Edit1, QStringLiteral("1000"));
    QCOMPARE(P().Mass, 1000.0);
    QCOMPARE(SMsgCount(MassWarningText), 1);
    TypeAndEnter(f.Edit1, QStringLiteral("1"));
    QCOMPARE(P().Mass, 1.0);
    TypeAndEnter(f.Edit1, QStringLiteral(" 120 "));
    QCOMPARE(P().Mass, 120.0);
    QCOMPARE(Background(f.Edit1), QColor(192, 220, 192));
}

void TestDevicePage::focusStaysAfterLeavingARefusedField()
{
    TForm1 &f = F();
    f.Edit2->setFocus(Qt::MouseFocusReason);
    f.Edit2->selectAll();
    QTest::keyClicks(f.Edit2, QStringLiteral("x7"));
    QTest::keyClick(f.Edit2, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), f.Edit2);
    QCOMPARE(f.Edit2->selectedText(), QStringLiteral("x7"));
    QCOMPARE(P().MeanMass, 120.0);

    // A good value leaves by Tab and is applied.
    f.Edit2->selectAll();
    QTest::keyClicks(f.Edit2, QStringLiteral("130"));
    QTest::keyClick(f.Edit2, Qt::Key_Tab);
    QCOMPARE(P().MeanMass, 130.0);
    QCOMPARE(f.Edit5->text(), QStringLiteral("  23.94172"));
    QTest::qWait(20);
    QVERIFY(QApplication::focusWidget() != f.Edit2);
}

void TestDevicePage::clickSelectsMassField()
{
    TForm1 &f = F();
    for (QLineEdit *e : {f.Edit1, f.Edit2}) {
        e->deselect();
        QTest::mouseClick(e, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QTRY_COMPARE(e->selectedText(), QStringLiteral("120"));
    }
}

void TestDevicePage::arrowStepsAndRangeEnds()
{
    TForm1 &f = F();
    Step(f.UpDown1, true);
    QCOMPARE(f.Edit3->text(), QStringLiteral("0.009"));
    QCOMPARE(f.Edit14->text(), QStringLiteral("9"));
    QCOMPARE(P().Blende3, 0.009);
    Step(f.UpDown1, false, 2);
    QCOMPARE(f.Edit3->text(), QStringLiteral("0.007"));
    QCOMPARE(P().Blende3, 0.007);
    Step(f.UpDown1, false, 2);
    QCOMPARE(f.Edit3->text(), QStringLiteral("0.005"));
    Step(f.UpDown1, false);
    QCOMPARE(f.Edit3->text(), QStringLiteral("0.005"));
    QCOMPARE(f.UpDown1->Position(), 5);

    Step(f.UpDown3, true, 80);
    QCOMPARE(f.Edit6->text(), QStringLiteral("0.1"));
    QCOMPARE(P().Blende1, 0.1);
    Step(f.UpDown3, true);
    QCOMPARE(f.Edit6->text(), QStringLiteral("0.1"));
    Step(f.UpDown4, false);
    QCOMPARE(f.Edit7->text(), QStringLiteral("0.019"));
    QCOMPARE(P().Blende2, 0.019);
    QVERIFY(driver->Messages.isEmpty());
}

void TestDevicePage::modeSwitching()
{
    TForm1 &f = F();
    QTest::mouseClick(f.RadioButton7, Qt::LeftButton);
    QVERIFY(f.RadioButton7->isChecked());
    QVERIFY(P().UnknownMode);
    QVERIFY(f.Edit1->isHidden());
    for (QCheckBox *b : {f.CheckBox3, f.CheckBox4, f.CheckBox5}) {
        QVERIFY(!b->isChecked());
        QVERIFY(!b->isEnabled());
    }
    QVERIFY(!P().PointSource && !P().MonoEnergetic && !P().Parallel);
    // The first isotope's mass against the mean mass of 120: outside, warned.
    QCOMPARE(P().Mass, prog->Instrument->Model.IsotopeCumulative[0].Mass);
    QCOMPARE(SMsgCount(MassWarningText), 1);
    QCOMPARE(Background(f.Edit2), QColor(255, 0, 0));

    QTest::mouseClick(f.RadioButton6, Qt::LeftButton);
    QVERIFY(!P().UnknownMode);
    QVERIFY(!f.Edit1->isHidden());
    for (QCheckBox *b : {f.CheckBox3, f.CheckBox4, f.CheckBox5}) {
        QVERIFY(!b->isChecked());
        QVERIFY(b->isEnabled());
    }
    QVERIFY(!P().PointSource && !P().MonoEnergetic && !P().Parallel);
    QCOMPARE(P().Mass, 120.0);
    QCOMPARE(Background(f.Edit2), QColor(192, 220, 192));
    QCOMPARE(driver->Messages.size(), 1);

    // A click on an option sets its flag at once.
    QTest::mouseClick(f.CheckBox5, Qt::LeftButton, Qt::NoModifier, QPoint(6, 9));
    QVERIFY(f.CheckBox5->isChecked());
    QVERIFY(P().Parallel);
}

void TestDevicePage::sourceSchematic()
{
    TForm1 &f = F();
    const QImage &pic = f.Image2Picture;
    auto colour = [&pic](int x, int y) { return ReadColor(pic, x, y); };
    // Walls: the first aperture at column 52, the second at 102; the box's top,
    // left and bottom walls 5 pixels wide.
    QCOMPARE(colour(52, 10), Colors::Black);
    QCOMPARE(colour(52, 70), Colors::Black);
    QCOMPARE(colour(102, 10), Colors::Black);
    QCOMPARE(colour(30, 2), Colors::Black);
    QCOMPARE(colour(2, 40), Colors::Black);
    QCOMPARE(colour(30, 77), Colors::Black);
    // Inside the box it is silver, the openings included.
    QCOMPARE(colour(92, 12), Colors::Silver);
    QCOMPARE(colour(12, 12), Colors::Silver);
    QCOMPARE(colour(52, 39), Colors::Silver);
    QCOMPARE(colour(102, 39), Colors::Silver);
    QCOMPARE(colour(30, 39), Colors::Silver);

    auto blackInColumn = [&pic](int x) {
        int n = 0;
        for (int y = 0; y < 79; ++y)
            n += ReadColor(pic, x, y) == Colors::Black;
        return n;
    };
    const int first = blackInColumn(52), second = blackInColumn(102);
    QCOMPARE(colour(52, 35), Colors::Black);   // the upper wall reaches row 34 (and its cap row 35)
    // A wider first aperture: 10 steps of 1 mm open it by 5 pixels.
    Step(f.UpDown3, true, 10);
    QCOMPARE(blackInColumn(52), first - 5);
    QCOMPARE(blackInColumn(102), second);
    QCOMPARE(colour(52, 35), Colors::Silver);   // the wall now ends at row 32
    Step(f.UpDown4, false, 10);
    QCOMPARE(blackInColumn(102), second + 5);
}

void TestDevicePage::composedPictureAndDetectorControls()
{
    TForm1 &f = F();
    TModel &m = prog->Instrument->Model;
    QCOMPARE(f.Image1Picture, m.TraceBitmap);

    // Three points on one column of drift 3: a straight detector.
    m.Detector.Points = {{TPixel{150, 450}, TPixel{150, 480}, TPixel{150, 510}}};
    QVERIFY(f.ApplyParameters());
    QVERIFY(!f.CheckBox2->isHidden());
    QVERIFY(!f.Button3->isHidden());
    QVERIFY(f.Button5->isHidden());
    QVERIFY(!f.CheckBox1->isHidden());
    QVERIFY(f.GroupBox1->isHidden());
    f.ComposePicture();
    QCOMPARE(ReadColor(f.Image1Picture, 150, 480), Colors::Detector);
    QVERIFY(ReadColor(m.ApparatusBitmap, 150, 480) != Colors::Detector);   // not accepted yet

    m.Detector.Accepted = true;
    f.UpdateDetectorControls();
    QVERIFY(f.Button3->isHidden());
    QVERIFY(!f.Button5->isHidden());
    QVERIFY(f.CheckBox1->isHidden());
    QVERIFY(!f.GroupBox1->isHidden());
    // Accepted and shown: the apparatus carries it once the panels are placed.
    f.PlacePanels();
    QCOMPARE(ReadColor(m.ApparatusBitmap, 150, 480), Colors::Detector);

    // Hidden "Mutat": the overlay is left out of the picture.
    f.CheckBox2->setChecked(false);
    f.ComposePicture();
    QCOMPARE(f.Image1Picture, m.TraceBitmap);

    // Two points on one row: the fit fails and the hook hears of it.
    int failures = 0;
    f.Hooks.DetectorFitFailed = [&failures](TForm1 &) { ++failures; };
    m.Detector.Accepted = false;
    m.Detector.Points = {{TPixel{150, 450}, TPixel{170, 450}, TPixel{150, 510}}};
    f.CheckBox2->setChecked(true);
    QVERIFY(f.ApplyParameters());
    QCOMPARE(failures, 1);
}

void TestDevicePage::unreadableFieldStopsTheApplication()
{
    // A refused text left in the mass field while an arrow (which takes no focus)
    // applies the parameters: the application stops with the field's own refusal.
    TForm1 &f = F();
    TypeAndEnter(f.Edit1, QStringLiteral("abc"));
    QCOMPARE(QApplication::focusWidget(), f.Edit1);
    const double timeStep = P().TimeStep;
    Step(f.UpDown1, true);
    QCOMPARE(driver->Messages.size(), 0);
    QCOMPARE(f.Edit1->selectedText(), QStringLiteral("abc"));
    QCOMPARE(P().TimeStep, timeStep);
    QCOMPARE(P().Mass, 120.0);
    QVERIFY(!f.ApplyParameters());
}

QTEST_MAIN(TestDevicePage)
#include "test_device_page.moc"
