// The run-control panel after a jury identification: Start and Stop with the
// idle, running and draining states, the tick driven by the window, the preset
// field, the locking of the window during a run, the spectrum choice, clearing
// the trajectories, and how an unusable detector is told during a run.
#ifndef Q_MOC_RUN
#include "FormDriver.h"
#include "Data/Raster.h"
#include "Main/charts/ChartsPage.h"
#include "Main/device/UpDown.h"
#endif

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenuBar>
#include <QRadioButton>

class TestRunControl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void presetFiveEndsByItself();
    void presetZeroRunsUntilStopAndDrains();
    void singleIonWithoutContinuousEmission();
    void presetOneFliesSlotZeroOnly();
    void realTimerDrivesTheRun();
    void startDuringFirstVoltageWarning();
    void secondSpectrumReceivesAllHits();
    void clearingTracesKeepsApparatusApertureAndDetector();
    void presetFieldValidation();
    void unreadablePresetStartsNothing();
    void lockingDuringARun();
    void unknownModeKeepsOptionsDisabledAfterARun();
    void unusableDetectorToldOncePerRunWithoutTicks();

private:
    std::unique_ptr<ProgramUnderTest> prog;
    std::unique_ptr<ModalDriver> driver;
    TForm1 &F() { return prog->F(); }
    TModel &M() { return prog->Instrument->Model; }
    RunState &Run() { return prog->Instrument->Run; }

    void Start(const char *preset, bool continuous = true);
    int TickToEnd(int limit = 20000);
    void AcceptDetectorAcrossTheBeam();
};

// ---------------------------------------------------------------------------

void TestRunControl::init()
{
    prog = std::make_unique<ProgramUnderTest>();
    driver = std::make_unique<ModalDriver>();
    driver->Password(QStringLiteral("Vezer7146"));
    QVERIFY(prog->Identify(*driver));
    QVERIFY(driver->Messages.isEmpty());
}

void TestRunControl::cleanup()
{
    driver.reset();
    prog.reset();
}

// Start from the panel; the test then drives the ticks itself.
void TestRunControl::Start(const char *preset, bool continuous)
{
    F().Edit11->setText(QString::fromLatin1(preset));
    F().CheckBox6->setChecked(continuous);
    QTest::mouseClick(F().Button1, Qt::LeftButton);
    if (Run().Running) {
        QVERIFY(F().Timer1->isActive());
        QCOMPARE(F().Timer1->interval(), 10);
        F().Timer1->stop();
    }
}

int TestRunControl::TickToEnd(int limit)
{
    int ticks = 0;
    while (Run().Running && ticks < limit) {
        F().Timer1Timer();
        ++ticks;
    }
    return ticks;
}

void TestRunControl::AcceptDetectorAcrossTheBeam()
{
    M().Detector.Points = {{TPixel{236, 460}, TPixel{237, 483}, TPixel{238, 506}}};
    F().CheckBox2->setChecked(true);
    QVERIFY(F().ApplyParameters());
    QVERIFY(!F().Button3->isHidden());
    QTest::mouseClick(F().Button3, Qt::LeftButton);
    QVERIFY(M().Detector.Accepted);
    QCOMPARE(ReadColor(M().ApparatusBitmap, 237, 483), Colors::Detector);
}

// ---------------------------------------------------------------------------

void TestRunControl::presetFiveEndsByItself()
{
    TForm1 &f = F();
    Start("5");
    QVERIFY(Run().Running);
    QCOMPARE(f.Label1->text(), QStringLiteral("FUT"));
    QCOMPARE(f.Button1->text(), QStringLiteral("Stop"));
    QCOMPARE(f.Edit10->text(), QStringLiteral("1"));
    int ticks = 0, previous = M().LaunchCount;
    while (Run().Running && ticks < 20000) {
        f.Timer1Timer();
        ++ticks;
        QVERIFY(M().LaunchCount - previous <= 1);   // one emission per tick at most
        previous = M().LaunchCount;
        QCOMPARE(f.Edit10->text(), QString::number(M().LaunchCount));
        if (Run().Running)
            QCOMPARE(f.Label1->text(), QStringLiteral("FUT"));
    }
    QVERIFY(ticks > 5);
    QCOMPARE(f.Edit10->text(), QStringLiteral("5"));
    QCOMPARE(M().LaunchCount, 5);
    QCOMPARE(f.Label1->text(), QStringLiteral("ÁLL"));
    QCOMPARE(f.Button1->text(), QStringLiteral("Start"));
    QVERIFY(f.Button1->isEnabled());
    QVERIFY(!f.Timer1->isActive());
    QVERIFY(!AnyParticleActive(M()));
    // The trajectories stay on the picture.
    QCOMPARE(f.Image1Picture, M().TraceBitmap);
    QVERIFY(f.Image1Picture != M().ApparatusBitmap);
    // A further tick (a late timer event) changes nothing.
    f.Timer1Timer();
    QCOMPARE(M().LaunchCount, 5);
    // The next Start counts from the start again.
    Start("2");
    QCOMPARE(f.Edit10->text(), QStringLiteral("1"));
    TickToEnd();
    QCOMPARE(f.Edit10->text(), QStringLiteral("2"));
}

void TestRunControl::presetZeroRunsUntilStopAndDrains()
{
    TForm1 &f = F();
    Start("0");
    for (int i = 0; i < 60; ++i)
        f.Timer1Timer();
    QVERIFY(Run().Running);
    QCOMPARE(M().LaunchCount, 61);   // slot 0 and one per tick while slots are free
    QCOMPARE(f.Edit10->text(), QStringLiteral("61"));

    QTest::mouseClick(f.Button1, Qt::LeftButton);   // Stop
    QVERIFY(Run().Running);
    QVERIFY(!Run().Launching);
    QVERIFY(!f.Button1->isEnabled());
    QCOMPARE(f.Label1->text(), QStringLiteral("FUT"));
    QCOMPARE(f.Button1->text(), QStringLiteral("Stop"));
    // Applying the parameters at Stop must not free the locked controls.
    QVERIFY(!f.CheckBox3->isEnabled());
    QVERIFY(!f.Edit1->isEnabled());

    int ticks = 0;
    while (Run().Running && ticks < 20000) {
        QVERIFY(!f.Button1->isEnabled());
        f.Timer1Timer();
        QCOMPARE(M().LaunchCount, 61);   // nothing more is emitted
        ++ticks;
    }
    QVERIFY(ticks > 1);
    QVERIFY(!Run().Running);
    QVERIFY(f.Button1->isEnabled());
    QCOMPARE(f.Label1->text(), QStringLiteral("ÁLL"));
    QCOMPARE(f.Button1->text(), QStringLiteral("Start"));
}

void TestRunControl::singleIonWithoutContinuousEmission()
{
    for (const char *preset : {"5", "0", "1"}) {
        Start(preset, false);
        TickToEnd();
        QCOMPARE(M().LaunchCount, 1);
        QCOMPARE(F().Edit10->text(), QStringLiteral("1"));
        QCOMPARE(F().Label1->text(), QStringLiteral("ÁLL"));
    }
}

void TestRunControl::presetOneFliesSlotZeroOnly()
{
    Start("1");
    QVERIFY(M().Particles[0].Active);
    int ticks = 0;
    while (Run().Running && ticks < 20000) {
        F().Timer1Timer();
        for (int slot = 1; slot < ParticleSlots; ++slot)
            QVERIFY(!M().Particles[slot].Active);
        ++ticks;
    }
    QCOMPARE(M().LaunchCount, 1);
    QCOMPARE(F().Label1->text(), QStringLiteral("ÁLL"));
}

void TestRunControl::realTimerDrivesTheRun()
{
    TForm1 &f = F();
    f.Edit11->setText(QStringLiteral("3"));
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QVERIFY(f.Timer1->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!Run().Running, 30000);
    QCOMPARE(f.Edit10->text(), QStringLiteral("3"));
    QCOMPARE(f.Label1->text(), QStringLiteral("ÁLL"));
    QVERIFY(!f.Timer1->isActive());
}

void TestRunControl::startDuringFirstVoltageWarning()
{
    TForm1 &f = F();
    {
        // The induction is put in without being applied: the warning is still to come.
        QSignalBlocker quiet(f.Edit9);
        f.Edit9->setText(QStringLiteral("1.98"));
    }
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QCOMPARE(driver->Messages.size(), 1);
    QVERIFY(driver->Messages[0].Text.startsWith(QStringLiteral("A szükséges feszültség")));
    QVERIFY(!Run().Running);
    QVERIFY(!f.Timer1->isActive());
    QCOMPARE(f.Label1->text(), QStringLiteral("ÁLL"));
    QCOMPARE(f.Button1->text(), QStringLiteral("Start"));
    QVERIFY(f.Edit1->isEnabled());

    Start("2");
    QCOMPARE(driver->Messages.size(), 1);
    QVERIFY(Run().Running);
    QCOMPARE(f.Label1->text(), QStringLiteral("FUT"));
    TickToEnd();
    QCOMPARE(M().LaunchCount, 2);
}

void TestRunControl::secondSpectrumReceivesAllHits()
{
    TForm1 &f = F();
    AcceptDetectorAcrossTheBeam();
    QVERIFY(!f.GroupBox1->isHidden());
    QVERIFY(f.RadioButton4->isChecked());
    f.RadioButton5->setChecked(true);
    Start("150");
    TickToEnd();
    QCOMPARE(M().LaunchCount, 150);
    double total1 = 0, total2 = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        total1 += prog->Instrument->Counts.Count(1, c);
        total2 += prog->Instrument->Counts.Count(2, c);
    }
    QCOMPARE(total1, 0.0);
    QVERIFY2(total2 > 5, qPrintable(QString::number(total2)));

    // Back to the first spectrum: the next run adds to it only.
    f.RadioButton4->setChecked(true);
    Start("30");
    TickToEnd();
    double after1 = 0, after2 = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        after1 += prog->Instrument->Counts.Count(1, c);
        after2 += prog->Instrument->Counts.Count(2, c);
    }
    QCOMPARE(after2, total2);
    QVERIFY(after1 > 0);
}

void TestRunControl::clearingTracesKeepsApparatusApertureAndDetector()
{
    TForm1 &f = F();
    AcceptDetectorAcrossTheBeam();
    Start("20");
    TickToEnd();
    auto traced = [](const QImage &img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const TColor c = ReadColor(img, x, y);
                n += c == Colors::TraceRed || c == Colors::TraceOlive;
            }
        return n;
    };
    QVERIFY(traced(f.Image1Picture) > 100);
    const QImage apparatus = M().ApparatusBitmap.copy();

    QTest::mouseClick(f.Button2, Qt::LeftButton);
    QCOMPARE(traced(f.Image1Picture), 0);
    QCOMPARE(traced(M().TraceBitmap), 0);
    QCOMPARE(M().ApparatusBitmap, apparatus);
    QCOMPARE(M().TraceBitmap, apparatus);
    // The exit aperture's jaws and the purple detector are still there.
    for (TPixel jaw : {TPixel{731, 310}, TPixel{708, 282}, TPixel{671, 264}, TPixel{704, 280}}) {
        QCOMPARE(ReadColor(f.Image1Picture, jaw.x, jaw.y), Colors::Black);
        QCOMPARE(ReadColor(M().ApparatusBitmap, jaw.x, jaw.y), Colors::Black);
    }
    QCOMPARE(ReadColor(f.Image1Picture, 237, 483), Colors::Detector);
    // The elements themselves: the picture is the apparatus with the overlay on top.
    QImage expected;
    ComposeDevicePicture(expected, M(), true);
    QCOMPARE(f.Image1Picture, expected);

    // After "Töröl" the collision picture keeps the aperture, so a run still meets it.
    QTest::mouseClick(f.Button5, Qt::LeftButton);
    QTest::mouseClick(f.Button2, Qt::LeftButton);
    for (TPixel jaw : {TPixel{731, 310}, TPixel{671, 264}})
        QCOMPARE(ReadColor(M().ApparatusBitmap, jaw.x, jaw.y), Colors::Black);
    QVERIFY(ReadColor(f.Image1Picture, 237, 483) != Colors::Detector);
}

void TestRunControl::presetFieldValidation()
{
    TForm1 &f = F();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    auto type = [&f](const QString &text) { TypeAndEnter(f.Edit11, text); };
    type(QStringLiteral("12"));
    QCOMPARE(Run().PresetCount, 12);
    for (const char *bad : {"abc", "-3", "1.5", ""}) {
        type(QString::fromLatin1(bad));
        QCOMPARE(Run().PresetCount, 12);
        QCOMPARE(QApplication::focusWidget(), f.Edit11);
        QCOMPARE(f.Edit11->selectedText(), f.Edit11->text());
    }
    // Leaving a refused field brings the focus back with the text selected.
    type(QStringLiteral("x7"));
    f.Edit1->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), f.Edit11);
    QCOMPARE(f.Edit11->selectedText(), QStringLiteral("x7"));
    QCOMPARE(Run().PresetCount, 12);
    // Leaving an accepted one stores it; no message in any case.
    f.Edit11->setText(QStringLiteral("7"));
    f.Edit1->setFocus(Qt::TabFocusReason);
    QCOMPARE(Run().PresetCount, 7);
    QVERIFY(driver->Messages.isEmpty());
}

void TestRunControl::unreadablePresetStartsNothing()
{
    TForm1 &f = F();
    f.Edit11->setText(QStringLiteral("5a"));
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QCOMPARE(driver->Messages.size(), 1);
    QCOMPARE(driver->Messages[0].Kind, QStringLiteral("Platform"));
    QCOMPARE(driver->Messages[0].Text, QStringLiteral("„5a” nem érvényes szám."));
    QVERIFY(!Run().Running);
    QVERIFY(!f.Timer1->isActive());
    QCOMPARE(f.Label1->text(), QStringLiteral("ÁLL"));
    QVERIFY(f.Edit1->isEnabled());
    // A negative count is a whole number: only the ion of slot 0 flies.
    Start("-4");
    TickToEnd();
    QCOMPARE(M().LaunchCount, 1);
}

void TestRunControl::lockingDuringARun()
{
    TForm1 &f = F();
    QVERIFY(f.Charts);
    const QList<QWidget *> pages{f.TabSheet1, f.Charts};
    auto controls = [&pages] {
        QList<QWidget *> out;
        for (QWidget *page : pages) {
            for (QLineEdit *w : page->findChildren<QLineEdit *>())
                out << w;
            for (QAbstractButton *w : page->findChildren<QAbstractButton *>())
                out << w;
            for (TUpDown *w : page->findChildren<TUpDown *>())
                out << w;
        }
        return out;
    };
    const QList<QWidget *> keptUsable{f.Button1, f.Charts->YMaxBox(1), f.Charts->YMaxBox(2),
                                      f.Charts->AutoBox(1), f.Charts->AutoBox(2)};
    QVERIFY(controls().size() > 40);
    Start("0");
    for (QWidget *w : controls()) {
        const bool usable = keptUsable.contains(w);
        QVERIFY2(w->isEnabled() == usable, qPrintable(w->objectName()));
    }
    for (QWidget *w : keptUsable)
        QVERIFY(w->isEnabled());
    QVERIFY(f.menuBar()->isEnabled());
    QVERIFY(f.Mentsmskntelrendezssmrsiadatok1->isEnabled());
    QVERIFY(f.Betltselrendezssmrsiadatok1->isEnabled());
    QVERIFY(f.PageControl1->isEnabled());

    QTest::mouseClick(f.Button1, Qt::LeftButton);
    TickToEnd();
    for (QWidget *w : controls())
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(f.Betltselrendezssmrsiadatok1->isEnabled());   // a jury user
}

void TestRunControl::unknownModeKeepsOptionsDisabledAfterARun()
{
    TForm1 &f = F();
    f.RadioButton7->setChecked(true);
    QVERIFY(!f.CheckBox3->isEnabled());
    Start("2");
    TickToEnd();
    QVERIFY(f.RadioButton7->isEnabled());
    QVERIFY(f.Edit2->isEnabled());
    for (QCheckBox *option : {f.CheckBox3, f.CheckBox4, f.CheckBox5}) {
        QVERIFY(!option->isEnabled());
        QVERIFY(!option->isChecked());
    }
}

void TestRunControl::unusableDetectorToldOncePerRunWithoutTicks()
{
    TForm1 &f = F();
    AcceptDetectorAcrossTheBeam();
    // This test answers the box itself, after waiting inside it.
    driver.reset();
    int boxes = 0;
    bool timerOnWhileOpen = true;
    int launchedAtOpen = -1, launchedAtClose = -2;
    QString title, text;
    std::function<void()> watch;
    watch = [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("seen").toBool()) {
            QTimer::singleShot(2, &f, watch);
            return;
        }
        box->setProperty("seen", true);
        ++boxes;
        title = box->windowTitle();
        text = box->text();
        timerOnWhileOpen = f.Timer1->isActive();
        launchedAtOpen = M().LaunchCount;
        QTimer::singleShot(120, box, [&, box] {
            launchedAtClose = M().LaunchCount;
            box->button(QMessageBox::Ok)->click();
        });
        QTimer::singleShot(2, &f, watch);
    };
    QTimer::singleShot(0, &f, watch);

    f.Edit11->setText(QStringLiteral("0"));
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QVERIFY(f.Timer1->isActive());
    QTRY_VERIFY(M().LaunchCount > 3);
    QCOMPARE(boxes, 0);
    // The points go bad during the run (as a loaded layout could make them).
    M().Detector.Points[1] = TPixel{250, 460};
    QTRY_COMPARE(boxes, 1);
    QCOMPARE(title, QStringLiteral("*** HIBA ***"));
    QCOMPARE(text, QStringLiteral("Hibás a detektort definiáló 3 pont!"));
    QVERIFY(!timerOnWhileOpen);
    QTRY_VERIFY(launchedAtClose >= 0);
    QCOMPARE(launchedAtClose, launchedAtOpen);   // no tick ran inside the box
    // The run goes on after it, and the box does not come back at the next ticks.
    QTRY_VERIFY(f.Timer1->isActive());
    const int after = M().LaunchCount;
    QTRY_VERIFY(M().LaunchCount > after + 5);
    QCOMPARE(boxes, 1);
    QTest::mouseClick(f.Button1, Qt::LeftButton);   // Stop: told once per run already
    QCOMPARE(boxes, 1);
    QTRY_VERIFY_WITH_TIMEOUT(!Run().Running, 30000);
    // Outside a run every attempt is told again.
    f.ComposePicture();
    QTRY_COMPARE(boxes, 2);
    // The next run tells it once, at its start, before any tick.
    Start("3");
    QTRY_COMPARE(boxes, 3);
}

QTEST_MAIN(TestRunControl)
#include "test_run_control.moc"
