// What the window must never let through: a field value its own check refused
// (whatever path applies the parameters afterwards), two messages for one fault
// of a loaded file, and a detector point lost to the picture's pop-up menu.
#ifndef Q_MOC_RUN
#include "FormDriver.h"
#include "Main/device/PictureView.h"
#include "Main/device/UpDown.h"
#endif

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

class TestRefusedValues : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void refusedFieldValueIsNeverApplied_data();
    void refusedFieldValueIsNeverApplied();
    void refusedPresetNeverStartsARun();
    void oneMessagePerFaultOfALoadedFile();
    void anyMouseButtonPlacesADetectorPoint();

private:
    std::unique_ptr<ProgramUnderTest> prog;
    std::unique_ptr<ModalDriver> driver;
    TForm1 &F() { return prog->F(); }

    void Type(QLineEdit *edit, const QString &text)
    {
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

void TestRefusedValues::init()
{
    prog = std::make_unique<ProgramUnderTest>();
    driver = std::make_unique<ModalDriver>();
    driver->Password(QStringLiteral("Vezer7146"));   // a jury user: loading is allowed
    QVERIFY(prog->Identify(*driver));
    F().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&F()));
    driver->Messages.clear();
}

void TestRefusedValues::cleanup()
{
    driver.reset();
    prog.reset();
}

// ---------------------------------------------------------------------------

enum class Path { Arrow, Start, ModeButton, CtrlShiftF };

void TestRefusedValues::refusedFieldValueIsNeverApplied_data()
{
    QTest::addColumn<bool>("meanMass");   // false: "Tömegszám: ", true: "Közepes tömeg: "
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("path");
    QTest::newRow("mass 1001, arrow") << false << "1001" << int(Path::Arrow);
    QTest::newRow("mass 5000, Start") << false << "5000" << int(Path::Start);
    QTest::newRow("mass abc, Start") << false << "abc" << int(Path::Start);
    QTest::newRow("mass 0, Ctrl+Shift+F") << false << "0" << int(Path::CtrlShiftF);
    QTest::newRow("mean mass 0, Start") << true << "0" << int(Path::Start);
    QTest::newRow("mean mass -5, arrow") << true << "-5" << int(Path::Arrow);
    QTest::newRow("mean mass 1001, mode button") << true << "1001" << int(Path::ModeButton);
    QTest::newRow("mean mass 1e400, Ctrl+Shift+F") << true << "1e400" << int(Path::CtrlShiftF);
}

void TestRefusedValues::refusedFieldValueIsNeverApplied()
{
    QFETCH(bool, meanMass);
    QFETCH(QString, text);
    QFETCH(int, path);
    TForm1 &f = F();
    TParams &p = prog->P();
    QLineEdit *edit = meanMass ? f.Edit2 : f.Edit1;
    const double timeStep = p.TimeStep;

    Type(edit, text);   // refused: the text stays, selected
    QCOMPARE(QApplication::focusWidget(), edit);
    switch (Path(path)) {
    case Path::Arrow:
        QTest::mouseClick(f.UpDown3->UpButton(), Qt::LeftButton);
        break;
    case Path::Start:
        QTest::mouseClick(f.Button1, Qt::LeftButton);
        break;
    case Path::ModeButton:
        QTest::mouseClick(f.RadioButton7, Qt::LeftButton);
        break;
    case Path::CtrlShiftF:
        QTest::keyClick(edit, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        break;
    }
    QTest::qWait(20);

    // Nothing of it was applied, no run started, no warning shown: the field
    // refused it once more and holds the focus with its text selected.
    QCOMPARE(p.Mass, 120.0);
    QCOMPARE(p.MeanMass, 120.0);
    QCOMPARE(p.TimeStep, timeStep);
    QVERIFY(!prog->Instrument->Run.Running);
    QVERIFY(!f.Timer1->isActive());
    QCOMPARE(driver->Messages.size(), 0);
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->selectedText(), text);
    QVERIFY(!f.ApplyParameters());

    // Once the field holds an accepted value again, everything applies.
    Type(edit, QStringLiteral("119"));
    QCOMPARE(meanMass ? p.MeanMass : p.Mass, 119.0);
    QVERIFY(f.ApplyParameters());
}

void TestRefusedValues::refusedPresetNeverStartsARun()
{
    TForm1 &f = F();
    f.Edit11->setText(QStringLiteral("-5"));
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QVERIFY(!prog->Instrument->Run.Running);
    QTRY_COMPARE(QApplication::focusWidget(), f.Edit11);
    QCOMPARE(f.Edit11->selectedText(), QStringLiteral("-5"));
}

void TestRefusedValues::oneMessagePerFaultOfALoadedFile()
{
    // A bad mass text in a file whose detector is accepted: one message, the
    // loader's, naming the setting; the field keeps its text or gets the nearest limit.
    struct Case {
        QByteArray mean;
        QString message;
        double meanMass;
    };
    const Case cases[] = {
        {"abc", QString::fromUtf8("\rMközép: „abc” nem érvényes szám."), 120.0},
        {"0", QStringLiteral("\rMközép: „0” a megengedett tartományon kívül esik (1 … 1000)."), 1.0},
    };
    TForm1 &f = F();
    const QString path = prog->Folder.filePath(QStringLiteral("hibas.ini"));
    for (const Case &c : cases) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write("[Config]\r\nType=Teszt\r\nMm=120\r\nMk\xf6z\xe9p=" + c.mean
                  + "\r\nDetector=Active\r\nDetPoint1_X=236\r\nDetPoint1_Y=460\r\nDetPoint2_X=237\r\n"
                    "DetPoint2_Y=483\r\nDetPoint3_X=238\r\nDetPoint3_Y=506\r\n");
        out.close();
        driver->Messages.clear();
        f.OpenDialog1.Asker = [path](QWidget *, const TFileDialog &) { return path; };
        f.Betltselrendezssmrsiadatok1Click();
        QVERIFY(driver->Settle());
        QCOMPARE(driver->Messages.size(), 1);
        QVERIFY2(driver->Messages[0].Text.endsWith(c.message), qPrintable(driver->Messages[0].Text));
        QCOMPARE(prog->P().MeanMass, c.meanMass);
        QVERIFY(prog->Instrument->Model.Detector.Accepted);
    }
}

void TestRefusedValues::anyMouseButtonPlacesADetectorPoint()
{
    TForm1 &f = F();
    TDetector &d = prog->Instrument->Model.Detector;
    QVERIFY(f.CheckBox1->isChecked());   // "Setup", on from the start
    // A click as the windowing system delivers it: the pop-up request of the right
    // button comes between press and release.
    auto click = [&f](Qt::MouseButton button, QPoint at) {
        // The move delivered at once (QTest::mouseMove goes through the window
        // system's pointer on Windows, whose move may come after the click).
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(f.Image1->mapToGlobal(at)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(f.Image1, &move);
        QTest::mousePress(f.Image1, button, {}, at);
        if (button == Qt::RightButton) {
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at, f.Image1->mapToGlobal(at));
            QApplication::sendEvent(f.Image1, &menu);
        }
        QTest::mouseRelease(f.Image1, button, {}, at);
        QTest::qWait(20);
    };
    const QPoint points[3] = {{237, 460}, {237, 483}, {237, 506}};
    const Qt::MouseButton buttons[3] = {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton};
    for (int k = 0; k < 3; ++k) {
        click(buttons[k], points[k]);
        QVERIFY(!f.PopupMenu2->isVisible());
        QCOMPARE(d.Points[k], (TPixel{points[k].x(), points[k].y()}));
    }
    // Where no point can go, the right button still opens the picture's menu.
    click(Qt::RightButton, {10, 10});
    QVERIFY(f.PopupMenu2->isVisible());
    f.PopupMenu2->close();
}

QTEST_MAIN(TestRefusedValues)
#include "test_refused_values.moc"
