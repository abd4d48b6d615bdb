// The main window: its creation, the identification that follows the start of
// the event loop, the working folder, the caption, the menus, the key preview and
// the closing question. Driven offscreen through the real widgets.
// moc needs only the test class below, not the model's headers.
#ifndef Q_MOC_RUN
#include "FormDriver.h"
#include "Main/device/PictureView.h"
#endif

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void creationBuildsWindowAndPictures();
    void menusHoldEveryItem();
    void keyNames();
    void decimalPointWhateverTheLocale();
    void rejectedCodesThenMemberWithBlanks();
    void juryCodeExactly();
    void contestantFolderCreatedOnceAndReused();
    void cancelEndsProgramWithoutQuestion();
    void userDataFolderMadeOnlyByIdentification();
    void closingQuestionNoKeepsEverything();
    void bothExitItemsAsk();
    void keyPreviewSeesKeysFirstAndOnce();
    void chartsPagePlaceholderCanBeReplaced();
    void hooksRunAtTheirSteps();

private:
    static QString Caption(const char *id) { return QString::fromUtf8("Ionvető      Felhasználó: ") + id; }
};

static QStringList MenuTexts(const QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

void TestMainWindow::creationBuildsWindowAndPictures()
{
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    QCOMPARE(f.windowTitle(), QStringLiteral("Ionvető"));
    QCOMPARE(f.size(), QSize(1060, 867));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    QCOMPARE(f.font().pixelSize(), 11);
    QCOMPARE(f.centralWidget()->palette().color(QPalette::Window), QColor(192, 220, 192));

    QCOMPARE(f.PageControl1->geometry(), QRect(0, 9, 1033, 786));
    QCOMPARE(f.PageControl1->tabPosition(), QTabWidget::South);
    QCOMPARE(f.PageControl1->count(), 2);
    QCOMPARE(f.PageControl1->tabText(0), QStringLiteral("Készülék"));
    QCOMPARE(f.PageControl1->tabText(1), QStringLiteral("Grafikonok"));
    QCOMPARE(f.PageControl1->widget(0), f.TabSheet1);
    QCOMPARE(f.PageControl1->widget(1), f.TabSheet2);
    QVERIFY(f.PageControl1->font().bold());
    QCOMPARE(f.PageControl1->font().pixelSize(), 13);
    QCOMPARE(f.Panel6->parentWidget(), f.TabSheet1);

    QCOMPARE(f.Image1->parentWidget(), f.TabSheet1);
    QCOMPARE(f.Image1->geometry(), QRect(15, 2, 1000, 745));
    QCOMPARE(f.Image1->Picture(), &f.Image1Picture);
    QCOMPARE(f.Image1Picture.size(), QSize(1000, 745));
    QCOMPARE(f.Image1Picture.format(), QImage::Format_RGB32);
    QCOMPARE(f.Image2Picture.size(), QSize(1000, 745));
    QCOMPARE(f.Image2->size(), QSize(105, 79));
    const TModel &m = prog.Instrument->Model;
    QCOMPARE(m.ApparatusBitmap.size(), QSize(1000, 745));
    QCOMPARE(m.TraceBitmap.size(), QSize(1000, 745));
    QCOMPARE(m.DetectorBitmap.size(), QSize(390, 310));
    QCOMPARE(m.DetectorBitmap.pixel(0, 0) & 0xFFFFFFu, 0xFFFFFFu);
    QCOMPARE(m.DetectorBitmap.pixel(389, 309) & 0xFFFFFFu, 0xFFFFFFu);
    QCOMPARE(m.Map.OriginX, 600);
    QCOMPARE(m.Map.OriginY, 210);
    QCOMPARE(m.Map.PixelSize, 0.002);
    QCOMPARE(m.Params.SourceGap, 0.1);
    QCOMPARE(m.Params.SourceBoxHeight, 0.15);
    QCOMPARE(m.Params.SourceBoxLength, 0.2);
    // The particle table was reset: slot 0 flies.
    QVERIFY(m.Particles[0].Active);
    QCOMPARE(m.LaunchCount, 1);

    QCOMPARE(f.Label4->text(), QStringLiteral("Kibocsátott\nrészecskeszám:"));
    QCOMPARE(f.Label21->text(), QStringLiteral("Kitűzött\nrészecskeszám:"));

    QCOMPARE(f.Timer1->interval(), 10);
    QVERIFY(!f.Timer1->isActive());
    QCOMPARE(f.Timer2->interval(), 10);
    QVERIFY(f.Timer2->isSingleShot());
    QVERIFY(f.Timer2->isActive());
    QVERIFY(!f.isVisible());   // shown by the identification, not before
    QVERIFY(f.ProgramFolder.endsWith(QLatin1Char('/')));
    QVERIFY(!prog.Instrument->Latches.MassWarningShown);
    QVERIFY(!prog.Instrument->Latches.VoltageWarningShown);

    // Every window of the program exists from the start.
    QVERIFY(f.AboutBox && f.SMsg && f.PasswordDlg && f.HelpDlg && f.ListaDlg && f.MegjDlg);
    QCOMPARE(TSMsg::Instance(), f.SMsg);
}

void TestMainWindow::menusHoldEveryItem()
{
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    const QList<QAction *> top = f.menuBar()->actions();
    QCOMPARE(top.size(), 3);
    QCOMPARE(top[0]->text(), QStringLiteral("Fájl"));
    QCOMPARE(top[0]->menu(), f.Fjl1);
    QCOMPARE(top[1]->text(), QStringLiteral("Súgó"));
    QCOMPARE(top[1]->menu(), f.Sg1);
    QCOMPARE(top[2]->text(), QStringLiteral("Vége"));
    QCOMPARE(top[2], f.Vge2);
    QCOMPARE(MenuTexts(f.Fjl1), (QStringList{QStringLiteral("Mentés másként (elrendezés és mérési adatok)"),
                                             QStringLiteral("Betöltés (elrendezés és mérési adatok)"),
                                             QStringLiteral("Mentés másként (mérési adatok szövegfájlba)"),
                                             QStringLiteral("Mentés képként"),
                                             QStringLiteral("Összesítő jelentés…"), QStringLiteral("-"),
                                             QStringLiteral("Vége")}));
    QCOMPARE(MenuTexts(f.Sg1), (QStringList{QStringLiteral("Névjegy"), QStringLiteral("Elmélet+feladatok"),
                                            QStringLiteral("A program használata")}));
    QCOMPARE(MenuTexts(f.PopupMenu2), QStringList{QStringLiteral("Kép mentése más néven")});
    QCOMPARE(f.Image1->contextMenuPolicy(), Qt::CustomContextMenu);
    // Before anybody is identified, nobody may load.
    QVERIFY(!f.Betltselrendezssmrsiadatok1->isVisible());
}

void TestMainWindow::keyNames()
{
    ProgramUnderTest prog;
    const std::vector<std::string> &k = prog.F().KeyNames;
    QCOMPARE(k.size(), size_t(24));
    const char *const names[24] = {"Teszt",       "Ismeretlen",  "B_terero ",   "Mm ",         "Mközép",
                                   "Blende_1",    "Blende_2",    "Blende_3",    "Helyzet",     "Preset",
                                   "Összes ",     "Active",      "Inactive",    "DetPoint1_X", "DetPoint1_Y",
                                   "DetPoint2_X", "DetPoint2_Y", "DetPoint3_X", "DetPoint3_Y", "Spektrum",
                                   "ROI_Minimum", "ROI_Maximum", "ROI_Brutto",  "ROI_Közép"};
    for (size_t i = 0; i < 24; ++i)
        QCOMPARE(QString::fromStdString(k[i]), QString::fromUtf8(names[i]));
    // The trailing blanks are part of three names.
    QCOMPARE(k[2].back(), ' ');
    QCOMPARE(k[3].back(), ' ');
    QCOMPARE(k[10].back(), ' ');
}

void TestMainWindow::decimalPointWhateverTheLocale()
{
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    ProgramUnderTest prog;
    // The interface keeps the system's locale (the file dialogs speak Hungarian
    // down to their sizes and dates) ...
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    // ... while the fields were written with the point.
    QCOMPARE(prog.F().Edit5->text(), QStringLiteral("  25.93686"));
    QCOMPARE(prog.F().Edit3->text(), QStringLiteral("0.008"));
    QLocale::setDefault(QLocale::c());
}

void TestMainWindow::rejectedCodesThenMemberWithBlanks()
{
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    ModalDriver driver;
    QList<bool> flagsDuringMessage;
    const QStringList rejected = {QStringLiteral("256"), QStringLiteral("-1"), QStringLiteral("50"),
                                  QString(), QStringLiteral(" Vezer7146"), QStringLiteral("Vezer7146 ")};
    for (const QString &code : rejected) {
        driver.Password(code);
        driver.Then([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
                    [&](QWidget *w) {
                        auto *mb = static_cast<QMessageBox *>(w);
                        driver.Messages.push_back({QStringLiteral("Platform"), mb->windowTitle(), mb->text()});
                        // The dialog is still open and nobody is identified yet.
                        flagsDuringMessage << (f.PasswordDlg->isVisible() && !f.PasswordDlg->IsContestant()
                                               && !f.PasswordDlg->IsJury() && !f.isVisible());
                        mb->button(QMessageBox::Ok)->click();
                    });
    }
    driver.Password(QStringLiteral("  7  "));
    QVERIFY(prog.Identify(driver));

    QCOMPARE(driver.Messages.size(), rejected.size());
    for (const ShownMessage &msg : driver.Messages) {
        QCOMPARE(msg.Kind, QStringLiteral("Platform"));
        QCOMPARE(msg.Text, QStringLiteral("Érvénytelen kód!"));
        QCOMPARE(msg.Title, QStringLiteral("*** HIBA ***"));
    }
    QCOMPARE(flagsDuringMessage, QList<bool>(rejected.size(), true));

    QVERIFY(f.IsContestant);
    QVERIFY(!f.IsJury);
    QCOMPARE(f.UserId, std::string("7"));
    QCOMPARE(f.windowTitle(), Caption("7"));
    QCOMPARE(f.WorkFolder, f.ProgramFolder + QStringLiteral("7"));
    QVERIFY(QDir(prog.Folder.path() + QStringLiteral("/7")).exists());
    QVERIFY(f.isVisible());
    QVERIFY(!f.Timer2->isActive());
    QCOMPARE(f.PageControl1->currentWidget(), f.TabSheet1);
    QVERIFY(!f.Betltselrendezssmrsiadatok1->isVisible());
    QCOMPARE(prog.QuitRequests, 0);
}

void TestMainWindow::juryCodeExactly()
{
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    ModalDriver driver;
    driver.Password(QStringLiteral("Vezer7146"));
    QVERIFY(prog.Identify(driver));
    QVERIFY(driver.Messages.isEmpty());
    QVERIFY(f.IsJury);
    QVERIFY(!f.IsContestant);
    QCOMPARE(f.UserId, std::string("Vezer7146"));
    QCOMPARE(f.windowTitle(), Caption("Vezer7146"));
    QCOMPARE(f.WorkFolder, f.ProgramFolder);
    // No folder is made for the jury.
    QVERIFY(QDir(prog.Folder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    QVERIFY(f.Betltselrendezssmrsiadatok1->isVisible());
    // The identification drew the apparatus and showed it without trajectories.
    QCOMPARE(f.Image1Picture, prog.Instrument->Model.TraceBitmap);
    QCOMPARE(prog.Instrument->Model.TraceBitmap, prog.Instrument->Model.ApparatusBitmap);
    QVERIFY(prog.Instrument->Model.ApparatusBitmap.pixel(1, 1) != 0xFFFFFFFFu);   // the blue frame
}

void TestMainWindow::contestantFolderCreatedOnceAndReused()
{
    QTemporaryDir folder;
    const QString mine = folder.path() + QStringLiteral("/104");
    {
        ProgramUnderTest prog(folder.path());
        ModalDriver driver;
        driver.Password(QStringLiteral("104"));
        QVERIFY(prog.Identify(driver));
        QVERIFY(QDir(mine).exists());
        QCOMPARE(prog.F().WorkFolder, mine);
        QFile keep(mine + QStringLiteral("/meres.ini"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("x");
    }
    {
        ProgramUnderTest prog(folder.path());
        ModalDriver driver;
        driver.Password(QStringLiteral(" 104\t"));
        QVERIFY(prog.Identify(driver));
        QVERIFY(driver.Messages.isEmpty());
        QCOMPARE(prog.F().WorkFolder, mine);
        QCOMPARE(prog.F().windowTitle(), Caption("104"));
        // The same folder, with what was saved in it.
        QVERIFY(QFile::exists(mine + QStringLiteral("/meres.ini")));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"104"});
    }
}

void TestMainWindow::cancelEndsProgramWithoutQuestion()
{
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    ModalDriver driver;
    driver.CancelPassword();
    QVERIFY(prog.Identify(driver));
    QCOMPARE(prog.QuitRequests, 1);
    QVERIFY(f.QuitRequested());
    QVERIFY(driver.Messages.isEmpty());   // no closing question
    QVERIFY(!f.IsContestant);
    QVERIFY(!f.IsJury);
    QVERIFY(f.UserId.empty());
    QCOMPARE(f.WorkFolder, f.ProgramFolder);
}

void TestMainWindow::userDataFolderMadeOnlyByIdentification()
{
    // An installed copy keeps its folders in the user's data folder; a start
    // that ends at the identification must not leave it behind.
    const struct {
        QString Typed;   // empty: Cancel
        QString Made;    // expected below the data folder's parent, empty: nothing
    } cases[] = {
        {QString(), QString()},
        {QStringLiteral("Vezer7146"), QStringLiteral("ionveto")},
        {QStringLiteral("7"), QStringLiteral("ionveto/7")},
    };
    for (const auto &c : cases) {
        QTemporaryDir home;
        const QString data = home.filePath(QStringLiteral("share/ionveto"));
        ProgramUnderTest prog(data);
        prog.F().ProgramFolderBesideProgram = false;
        ModalDriver driver;
        if (c.Typed.isEmpty())
            driver.CancelPassword();
        else
            driver.Password(c.Typed);
        QVERIFY(prog.Identify(driver));
        const QString made = home.filePath(QStringLiteral("share/") + c.Made);
        if (c.Made.isEmpty())
            QVERIFY2(!QFileInfo::exists(home.filePath(QStringLiteral("share"))), qPrintable(c.Typed));
        else
            QVERIFY2(QFileInfo(made).isDir(), qPrintable(made));
    }
}

void TestMainWindow::closingQuestionNoKeepsEverything()
{
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    ModalDriver driver;
    driver.Password(QStringLiteral("Vezer7146"));
    QVERIFY(prog.Identify(driver));
    // As during a run; a long interval so that no tick (which ends a timer
    // without a run) comes while the question is open, however slow the system.
    f.Timer1->start(60 * 1000);
    const QString caption = f.windowTitle();
    const QImage picture = f.Image1Picture;

    QList<int> buttons;
    driver.Then([](QWidget *w) { return qobject_cast<TSMsg *>(w) != nullptr; },
                [&](QWidget *w) {
                    auto *box = static_cast<TSMsg *>(w);
                    driver.Messages.push_back({QStringLiteral("SMsg"), box->windowTitle(), box->Lines().join('\r')});
                    for (const MessageButtonPlace &b : box->Layout().buttons)
                        buttons << b.button;
                    QTest::mouseClick(box->Button(MbNo), Qt::LeftButton);
                });
    QVERIFY(!f.close());
    QVERIFY(driver.Finished());
    QCOMPARE(driver.Messages.size(), 1);
    QCOMPARE(driver.Messages[0].Kind, QStringLiteral("SMsg"));
    QCOMPARE(driver.Messages[0].Text, QStringLiteral("Minden el van mentve? Kiléphetünk?"));
    QCOMPARE(driver.Messages[0].Title, QStringLiteral("*** MEGERŐSÍTÉS ***"));
    QCOMPARE(buttons, (QList<int>{MbYes, MbNo}));   // kind 4

    QVERIFY(f.isVisible());
    QVERIFY(f.Timer1->isActive());
    QCOMPARE(f.windowTitle(), caption);
    QCOMPARE(f.UserId, std::string("Vezer7146"));
    QCOMPARE(f.Image1Picture, picture);
    QCOMPARE(prog.QuitRequests, 0);

    driver.AnswerMessage(MbYes);
    QVERIFY(f.close());
    QVERIFY(!f.isVisible());
}

void TestMainWindow::bothExitItemsAsk()
{
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    ModalDriver driver;
    driver.Password(QStringLiteral("1"));
    QVERIFY(prog.Identify(driver));
    for (QAction *exit : {f.Vge1, f.Vge2}) {
        driver.Messages.clear();
        driver.AnswerMessage(MbNo);
        exit->trigger();
        QVERIFY(driver.Finished());
        QCOMPARE(driver.Messages.size(), 1);
        QCOMPARE(driver.Messages[0].Text, QStringLiteral("Minden el van mentve? Kiléphetünk?"));
        QVERIFY(f.isVisible());
    }
    driver.AnswerMessage(MbYes);
    f.Vge2->trigger();
    QVERIFY(!f.isVisible());
}

void TestMainWindow::keyPreviewSeesKeysFirstAndOnce()
{
    QList<int> seen;
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    f.Hooks.KeyDown = [&seen](TForm1 &, QKeyEvent *e) {
        seen << e->key();
        return e->key() == Qt::Key_F && e->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
    };
    ModalDriver driver;
    driver.Password(QStringLiteral("Vezer7146"));
    QVERIFY(prog.Identify(driver));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));

    f.Edit11->setFocus();
    f.Edit11->selectAll();
    QTest::keyClick(f.Edit11, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    // The modifier keys themselves come first: the window sees every key.
    QCOMPARE(seen, (QList<int>{Qt::Key_Shift, Qt::Key_Control, Qt::Key_F}));
    QCOMPARE(f.Edit11->text(), QStringLiteral("0"));   // swallowed before the field
    seen.clear();
    QTest::keyClick(f.Edit11, Qt::Key_5);
    QCOMPARE(seen, QList<int>{Qt::Key_5});
    QCOMPARE(f.Edit11->text(), QStringLiteral("5"));   // passed on

    // A key the focused control ignores travels up to its parents: still one call.
    seen.clear();
    f.Button2->setFocus();
    QTest::keyClick(f.Button2, Qt::Key_Q);
    QCOMPARE(seen, QList<int>{Qt::Key_Q});
}

void TestMainWindow::chartsPagePlaceholderCanBeReplaced()
{
    ProgramUnderTest prog;
    TForm1 &f = prog.F();
    auto *page = new QWidget;
    f.ReplaceChartsPage(page);
    QCOMPARE(f.TabSheet2, page);
    QCOMPARE(f.PageControl1->count(), 2);
    QCOMPARE(f.PageControl1->widget(1), page);
    QCOMPARE(f.PageControl1->tabText(1), QStringLiteral("Grafikonok"));
}

void TestMainWindow::hooksRunAtTheirSteps()
{
    QStringList order;
    TFormHooks hooks;
    TForm1 *form = nullptr;
    hooks.SetUpCharts = [&](TForm1 &f) {
        form = &f;
        order << QStringLiteral("charts");
        // Creation order: the pictures exist, the parameters are not initialised yet.
        QCOMPARE(f.Image1Picture.size(), QSize(1000, 745));
        QVERIFY(f.Edit5->text().isEmpty());
    };
    hooks.PlaceCursorMarks = [&](TForm1 &f) {
        order << QStringLiteral("cursors");
        QVERIFY(f.isVisible());
        QVERIFY(!f.windowTitle().isEmpty());
    };
    hooks.SetRoiLowerBounds = [&](TForm1 &f) {
        order << QStringLiteral("roi");
        QCOMPARE(f.Image1Picture, f.Instrument.Model.TraceBitmap);   // composed already
    };
    std::unique_ptr<TInstrument> inst = std::make_unique<TInstrument>();
    inst->Counts.AddCount(1, 5);
    inst->Counts.AddCount(2, 7);
    ProgramUnderTest prog(QString(), hooks, std::move(inst));
    QCOMPARE(form, &prog.F());
    QCOMPARE(order, QStringList{QStringLiteral("charts")});
    QCOMPARE(prog.Instrument->Counts.MaxCount(1), 0.0);
    QCOMPARE(prog.Instrument->Counts.MaxCount(2), 0.0);
    ModalDriver driver;
    driver.Password(QStringLiteral("Vezer7146"));
    QVERIFY(prog.Identify(driver));
    QCOMPARE(order, (QStringList{QStringLiteral("charts"), QStringLiteral("cursors"), QStringLiteral("roi")}));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
