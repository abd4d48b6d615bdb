// The detector panel after a jury identification: placing points with the mouse
// inside drift 2 and drift 3 only, the point selector, the markers, the curve on
// the visible picture, the control visibility, "Elfogad", "Töröl" and Ctrl+Shift+F.
#ifndef Q_MOC_RUN
#include "FormDriver.h"
#include "Data/Raster.h"
#include "Main/device/PictureView.h"
#endif

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QRadioButton>
#include <QTabWidget>

#include <numeric>

class TestDetectorPanel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pointsOnlyInsideDriftsTwoAndThree();
    void selectorCyclesAndMarkers();
    void verticalColumnGivesAStraightDetector();
    void twoPointsOnOneRowGiveNoCurve();
    void acceptingChangesThePanel();
    void ctrlShiftFClearsAnAcceptedDetector();
    void ctrlShiftFDuringARun();

private:
    std::unique_ptr<ProgramUnderTest> prog;
    std::unique_ptr<ModalDriver> driver;
    TForm1 &F() { return prog->F(); }
    TModel &M() { return prog->Instrument->Model; }

    // The pointer's move over the picture, delivered at once: QTest::mouseMove
    // goes through the window system's own pointer on Windows, whose move may
    // arrive after the click that follows it.
    void Move(QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(F().Image1->mapToGlobal(at)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(F().Image1, &move);
    }
    void Place(QPoint at)
    {
        Move(at);
        QTest::mouseClick(F().Image1, Qt::LeftButton, {}, at);
    }
    Qt::CursorShape PictureCursor() const { return prog->F().Image1->cursor().shape(); }
    void PlaceColumn();
    void CtrlShiftF();
    int Purple(const QImage &img) const;
};

void TestDetectorPanel::init()
{
    prog = std::make_unique<ProgramUnderTest>();
    driver = std::make_unique<ModalDriver>();
    driver->Password(QStringLiteral("Vezer7146"));
    QVERIFY(prog->Identify(*driver));
    F().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&F()));
}

void TestDetectorPanel::cleanup()
{
    driver.reset();
    prog.reset();
}

void TestDetectorPanel::PlaceColumn()
{
    for (int y : {460, 483, 506})
        Place({237, y});
}

void TestDetectorPanel::CtrlShiftF()
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &F();
    QTest::keyClick(target, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
}

int TestDetectorPanel::Purple(const QImage &img) const
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += ReadColor(img, x, y) == Colors::Detector;
    return n;
}

// ---------------------------------------------------------------------------

void TestDetectorPanel::pointsOnlyInsideDriftsTwoAndThree()
{
    TForm1 &f = F();
    const std::array<TPixel, 3> none{};
    auto refused = [&](QPoint at) {
        Place(at);
        QCOMPARE(PictureCursor(), Qt::ArrowCursor);
        QCOMPARE(M().Detector.Points, none);
        QVERIFY(f.RadioButton1->isChecked());
    };
    refused({10, 10});
    refused({600, 210});   // the analyser's centre
    auto centre = [](const TDrift &d) {
        int x = 0, y = 0;
        for (const TPixel &c : d.Corners) {
            x += c.x;
            y += c.y;
        }
        return QPoint(x / 4, y / 4);
    };
    refused(centre(M().Drift1));
    // On a wall (the sides from corner 1 to 2 and from 3 to 4), corners included,
    // unless the point lies inside the other drift where the two meet.
    int onWalls = 0;
    for (const TDrift *d : {&M().Drift2, &M().Drift3}) {
        const TDrift &other = d == &M().Drift2 ? M().Drift3 : M().Drift2;
        for (int i : {0, 2}) {
            const TPixel a = d->Corners[size_t(i)], b = d->Corners[size_t(i + 1)];
            const int dx = b.x - a.x, dy = b.y - a.y;
            const int g = std::gcd(std::abs(dx), std::abs(dy));
            for (int k = 0; k <= g; ++k) {
                const TPixel p{a.x + k * dx / g, a.y + k * dy / g};
                QVERIFY(!InsideDrift(p, *d));
                if (InsideDrift(p, other))
                    continue;
                refused({p.x, p.y});
                ++onWalls;
            }
        }
    }
    QVERIFY(onWalls > 4);

    // Inside drift 2 and drift 3 the cursor turns to the up-arrow; not with "Setup" off.
    for (const TDrift *d : {&M().Drift2, &M().Drift3}) {
        Move(centre(*d));
        QCOMPARE(PictureCursor(), Qt::UpArrowCursor);
    }
    QTest::mouseClick(f.CheckBox1, Qt::LeftButton);
    QVERIFY(!f.CheckBox1->isChecked());
    QVERIFY(f.Panel5->isHidden());
    QCOMPARE(f.cursor().shape(), Qt::ArrowCursor);
    refused(centre(M().Drift2));
    QTest::mouseClick(f.CheckBox1, Qt::LeftButton);
    QVERIFY(!f.Panel5->isHidden());
    QCOMPARE(f.cursor().shape(), Qt::UpArrowCursor);
    Move(centre(M().Drift2) + QPoint(1, 1));
    Place(centre(M().Drift2));
    QCOMPARE(M().Detector.Points[0], (TPixel{centre(M().Drift2).x(), centre(M().Drift2).y()}));
    QVERIFY(driver->Messages.isEmpty());
}

void TestDetectorPanel::selectorCyclesAndMarkers()
{
    TForm1 &f = F();
    const QList<QPoint> at{{237, 460}, {240, 483}, {238, 506}, {236, 470}};
    const QList<QRadioButton *> next{f.RadioButton2, f.RadioButton3, f.RadioButton1, f.RadioButton2};
    for (int i = 0; i < 4; ++i) {
        Place(at[i]);
        QVERIFY(next[i]->isChecked());
        QCOMPARE(M().Detector.Points[size_t(i % 3)], (TPixel{at[i].x(), at[i].y()}));
        // "Mutat" and "Elfogad" appear with the third point.
        QCOMPARE(f.CheckBox2->isHidden(), i < 2);
        QCOMPARE(f.Button3->isHidden(), i < 2);
        QVERIFY(f.CheckBox2->isChecked());
        QVERIFY(f.Button5->isHidden());
        QVERIFY(f.GroupBox1->isHidden());
        // Every set point carries its marker: blue inside a black ring.
        for (int k = 0; k <= std::min(i, 2); ++k) {
            const TPixel p = M().Detector.Points[size_t(k)];
            QCOMPARE(ReadColor(f.Image1Picture, p.x, p.y), Colors::Blue);
            QCOMPARE(ReadColor(f.Image1Picture, p.x, p.y - 3), Colors::Black);
        }
    }
    QCOMPARE(M().Detector.Points[1], (TPixel{240, 483}));
    // The markers last until the picture is composed again.
    f.ComposePicture();
    QVERIFY(ReadColor(f.Image1Picture, 236, 470) != Colors::Blue);
    QVERIFY(driver->Messages.isEmpty());
}

void TestDetectorPanel::verticalColumnGivesAStraightDetector()
{
    TForm1 &f = F();
    PlaceColumn();
    QCOMPARE(M().Detector.CurveB, 0.0);
    QCOMPARE(M().Detector.CurveC, 0.0);
    f.ComposePicture();   // without the markers
    int purple = 0, stray = 0, top = 10000, bottom = -1;
    for (int y = 0; y < f.Image1Picture.height(); ++y)
        for (int x = 0; x < f.Image1Picture.width(); ++x)
            if (ReadColor(f.Image1Picture, x, y) == Colors::Detector) {
                ++purple;
                stray += std::abs(x - 237) > 4;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    QCOMPARE(stray, 0);
    QVERIFY(bottom - top > 46);   // it reaches past the outer points
    QVERIFY(purple > 8 * (bottom - top) * 8 / 10);
    // Shown, not yet part of the apparatus.
    QCOMPARE(Purple(M().ApparatusBitmap), 0);
    // "Mutat" off hides it.
    QTest::mouseClick(f.CheckBox2, Qt::LeftButton);
    QCOMPARE(Purple(f.Image1Picture), 0);
    QTest::mouseClick(f.CheckBox2, Qt::LeftButton);
    QCOMPARE(Purple(f.Image1Picture), purple);
}

void TestDetectorPanel::twoPointsOnOneRowGiveNoCurve()
{
    TForm1 &f = F();
    for (QPoint at : {QPoint{236, 460}, QPoint{245, 460}, QPoint{238, 506}})
        Place(at);
    QCOMPARE(driver->Messages.size(), 1);
    QCOMPARE(driver->Messages[0].Kind, QStringLiteral("Platform"));
    QCOMPARE(driver->Messages[0].Title, QStringLiteral("*** HIBA ***"));
    QCOMPARE(driver->Messages[0].Text, QStringLiteral("Hibás a detektort definiáló 3 pont!"));
    QCOMPARE(M().Detector.CurveX0, FailedFit);
    QCOMPARE(Purple(f.Image1Picture), 0);
    QCOMPARE(M().DetectorBitmap, NewPicture(390, 310));
    QVERIFY(!f.Button3->isHidden());
    // Accepting it is refused with the same message; nothing joins the apparatus.
    QTest::mouseClick(f.Button3, Qt::LeftButton);
    QCOMPARE(driver->Messages.size(), 2);
    QCOMPARE(driver->Messages[1].Text, QStringLiteral("Hibás a detektort definiáló 3 pont!"));
    QVERIFY(!M().Detector.Accepted);
    QVERIFY(f.Button5->isHidden());
    QVERIFY(f.GroupBox1->isHidden());
    QVERIFY(!f.CheckBox1->isHidden() && f.CheckBox1->isChecked());
    QCOMPARE(Purple(M().ApparatusBitmap), 0);
    // Moving one point off the row mends it.
    Place({250, 483});   // point 1 again
    QCOMPARE(driver->Messages.size(), 2);
    QVERIFY(Purple(f.Image1Picture) > 100);
}

void TestDetectorPanel::acceptingChangesThePanel()
{
    TForm1 &f = F();
    PlaceColumn();
    QTest::mouseClick(f.Button3, Qt::LeftButton);
    QVERIFY(M().Detector.Accepted);
    QVERIFY(f.CheckBox1->isHidden());
    QVERIFY(!f.CheckBox1->isChecked());
    QVERIFY(f.Panel5->isHidden());
    QVERIFY(f.Button3->isHidden());
    QVERIFY(!f.Button5->isHidden());
    QVERIFY(!f.GroupBox1->isHidden());
    QVERIFY(!f.CheckBox2->isHidden());
    QCOMPARE(ReadColor(M().ApparatusBitmap, 237, 483), Colors::Detector);
    QCOMPARE(f.cursor().shape(), Qt::ArrowCursor);
    // No point can be placed now: the up-arrow never shows.
    Place({237, 470});
    QCOMPARE(PictureCursor(), Qt::ArrowCursor);
    QCOMPARE(M().Detector.Points[0], (TPixel{237, 460}));
    // Hiding it afterwards leaves it in the apparatus.
    QTest::mouseClick(f.CheckBox2, Qt::LeftButton);
    QCOMPARE(Purple(f.Image1Picture), 0);
    QCOMPARE(ReadColor(M().ApparatusBitmap, 237, 483), Colors::Detector);
    QVERIFY(driver->Messages.isEmpty());
}

void TestDetectorPanel::ctrlShiftFClearsAnAcceptedDetector()
{
    TForm1 &f = F();
    PlaceColumn();
    QTest::mouseClick(f.Button3, Qt::LeftButton);
    QVERIFY(Purple(M().ApparatusBitmap) > 100);
    // Pressed on the graphs page: it works anywhere in the window.
    f.PageControl1->setCurrentWidget(f.TabSheet2);
    CtrlShiftF();
    QVERIFY(!M().Detector.Accepted);
    QVERIFY(!DetectorDefined(M().Detector));
    QCOMPARE(Purple(M().ApparatusBitmap), 0);
    QCOMPARE(Purple(f.Image1Picture), 0);
    QVERIFY(!f.CheckBox1->isHidden() && f.CheckBox1->isChecked());
    QVERIFY(!f.Panel5->isHidden());
    QVERIFY(f.CheckBox2->isHidden() && !f.CheckBox2->isChecked());
    QVERIFY(f.Button3->isHidden() && f.Button5->isHidden() && f.GroupBox1->isHidden());
    QCOMPARE(f.cursor().shape(), Qt::UpArrowCursor);
    f.PageControl1->setCurrentWidget(f.TabSheet1);
    // Points can be placed again.
    Place({237, 470});
    QCOMPARE(M().Detector.Points[0], (TPixel{237, 470}));
}

void TestDetectorPanel::ctrlShiftFDuringARun()
{
    TForm1 &f = F();
    PlaceColumn();
    QTest::mouseClick(f.Button3, Qt::LeftButton);
    f.Edit11->setText(QStringLiteral("0"));
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    f.Timer1->stop();   // the test ticks itself
    for (int i = 0; i < 30; ++i)
        f.Timer1Timer();
    CtrlShiftF();
    QVERIFY(prog->Instrument->Run.Running);
    QCOMPARE(Purple(M().ApparatusBitmap), 0);
    // The collision picture keeps the aperture, and the window stays locked.
    QCOMPARE(ReadColor(M().ApparatusBitmap, 731, 310), Colors::Black);
    QVERIFY(!f.Edit1->isEnabled());
    QVERIFY(!f.CheckBox3->isEnabled());
    QVERIFY(!f.Button2->isEnabled());
    QVERIFY(f.Button1->isEnabled());
    for (int i = 0; i < 5; ++i)
        f.Timer1Timer();
    QCOMPARE(M().LaunchCount, 36);
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    int ticks = 0;
    while (prog->Instrument->Run.Running && ticks++ < 20000)
        f.Timer1Timer();
    QCOMPARE(f.Label1->text(), QStringLiteral("ÁLL"));
    QVERIFY(f.Edit1->isEnabled());
    QVERIFY(driver->Messages.isEmpty());
}

QTEST_MAIN(TestDetectorPanel)
#include "test_detector_panel.moc"
