// The program's message box: its layout arithmetic with fixed text measures, and
// the real window answered with keys offscreen.
#include "dialogs/Mymsg.h"

#include <QApplication>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

// A font where every character is 6 pixels wide and a line 13 pixels high, so the
// expected numbers can be written down.
int Width6(const QString &s)
{
    return 6 * int(s.size());
}

MessageBoxLayout Fixed(const QString &text, const QString &title, int kind)
{
    return ComputeMessageBoxLayout(text, title, kind, Width6, 13);
}

std::vector<int> Lefts(const MessageBoxLayout &L)
{
    std::vector<int> v;
    for (const auto &b : L.buttons)
        v.push_back(b.left);
    return v;
}

std::vector<int> Shown(const MessageBoxLayout &L)
{
    std::vector<int> v;
    for (const auto &b : L.buttons)
        v.push_back(b.button);
    return v;
}

// A key as the user types it: to the focused control, which passes on what it
// does not use.
void Key(QWidget *w, Qt::Key key, Qt::KeyboardModifiers mod = Qt::NoModifier)
{
    QWidget *target = w->focusWidget() ? w->focusWidget() : w;
    QTest::keyClick(target, key, mod);
}

// Answers the next modal window with `action`, run once the window is up. Should
// the action leave that window open by mistake, it is hidden a little later, so a
// fault shows as a wrong answer (0) instead of a hung test.
int g_answers = 0;
void Answer(std::function<void(QWidget *)> action)
{
    const int call = ++g_answers;
    QTimer::singleShot(0, [action, call] {
        QWidget *w = QApplication::activeModalWidget();
        QVERIFY(w);
        // Keys and access keys reach the window the user is working in.
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            qWarning("message window not active");
        action(w);
        QTimer::singleShot(3000, w, [w, call] {
            if (call == g_answers && w->isVisible())
                w->hide();
        });
    });
}

// The first and last columns of `image` in rows [top, top+height) that differ from
// the background colour of its top-left pixel; {-1, -1} when the band is blank.
std::pair<int, int> InkColumns(const QImage &image, int top, int height)
{
    const QRgb bg = image.pixel(0, 0);
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = top; y < top + height && y < image.height(); ++y)
            if (image.pixel(x, y) != bg) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT
private slots:
    void buttonTable();
    void lineSplitting();
    void widthsAndSizes();
    void buttonSlots();
    void focusBits();
    void dialogUsesLayout();
    void linesDrawnCentred();
    void fontFallback();
    void yesNoKeys();
    void yesNoCancelKeys();
    void focusOrderFromKind();
    void otherEndings();
    void accessKeys();
    void nestedCall();
    void centredOverMainWindow();
    void sharedInstance();
};

void TestMessageBox::buttonTable()
{
    const auto &b = MessageButtons();
    const char *captions[] = {"Rendben", "Mégsem", "Félbeszakít", "&Ismét", "&Tovább", "&Igen", "&Nem"};
    const int widths[] = {77, 77, 89, 65, 89, 60, 65};
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(QString::fromUtf8(b[size_t(i)].caption), QString::fromUtf8(captions[i]));
        QCOMPARE(b[size_t(i)].width, widths[i]);
        QCOMPARE(b[size_t(i)].result, i + 1);
    }
    // Default: OK and Yes; cancel: Cancel and No.
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(b[size_t(i)].isDefault, i == MbOK || i == MbYes);
        QCOMPARE(b[size_t(i)].isCancel, i == MbCancel || i == MbNo);
    }
    QCOMPARE(MessageButtonSet(0), (std::vector<int>{MbOK}));
    QCOMPARE(MessageButtonSet(1), (std::vector<int>{MbOK, MbCancel}));
    QCOMPARE(MessageButtonSet(2), (std::vector<int>{MbAbort, MbRetry, MbIgnore}));
    QCOMPARE(MessageButtonSet(3), (std::vector<int>{MbCancel, MbYes, MbNo}));
    QCOMPARE(MessageButtonSet(4), (std::vector<int>{MbYes, MbNo}));
    QCOMPARE(MessageButtonSet(5), (std::vector<int>{MbCancel, MbRetry}));
    QCOMPARE(MessageButtonSet(6), (std::vector<int>{MbOK}));
    QCOMPARE(MessageButtonSet(7), (std::vector<int>{MbOK}));
    // Only bits 0-2 choose the set.
    QCOMPARE(MessageButtonSet(0x1F4), MessageButtonSet(4));
}

void TestMessageBox::lineSplitting()
{
    QCOMPARE(Fixed("a\rb", "", 0).lines, QStringList({"a", "b"}));
    QCOMPARE(Fixed("a\r\rb", "", 0).lines, QStringList({"a", "", "b"}));
    QCOMPARE(Fixed("ab\r", "", 0).lines, QStringList({"ab", ""}));
    QCOMPARE(Fixed("\rab", "", 0).lines, QStringList({"", "ab"}));
    QCOMPARE(Fixed("", "", 0).lines, QStringList({""}));
    // A line feed is an ordinary character of its line.
    QCOMPARE(Fixed("a\nb", "", 0).lines, QStringList({"a\nb"}));
    QCOMPARE(Fixed("a\r\nb", "", 0).lines, QStringList({"a", "\nb"}));

    // Lines go down by one text height from y = 2.
    const MessageBoxLayout L = Fixed("x\r\ry", "", 0);
    QCOMPARE(L.lineTop, (std::vector<int>{2, 15, 28}));
}

void TestMessageBox::widthsAndSizes()
{
    // Kind 0, short text: the "Rendben" button decides, W = 77.
    {
        const MessageBoxLayout L = Fixed("ab", "T", 0);
        QCOMPARE(L.textWidth, 77);
        QCOMPARE(L.picture, QRect(20, 12, 82, 26)); // two text heights for one line
        QCOMPARE(L.frame, QRect(16, 8, 90, 34));
        QCOMPARE(L.window, QSize(122, 104));
        QCOMPARE(L.lineLeft, (std::vector<int>{(82 - 12) / 2}));
    }
    // Empty text: one empty line, as wide as the buttons need.
    {
        const MessageBoxLayout L = Fixed("", "", 4);
        QCOMPARE(L.textWidth, 60 + 65);
        QCOMPARE(L.picture.size(), QSize(130, 26));
        QCOMPARE(L.lineLeft, (std::vector<int>{65}));
    }
    // A long title and a short text: as wide as the title, the line centred in it.
    {
        const QString title(50, QChar('t')); // 300 px
        const MessageBoxLayout L = Fixed("abc", title, 0);
        QCOMPARE(L.textWidth, 300);
        QCOMPARE(L.window.width(), 345);
        QCOMPARE(L.frame.width(), 313);
        QCOMPARE(L.lineLeft, (std::vector<int>{(305 - 18) / 2}));
    }
    // The widest line decides; the others are centred with truncating division.
    {
        const MessageBoxLayout L = Fixed(QString(40, QChar('w')) + "\rab\r", "T", 1);
        QCOMPARE(L.textWidth, 240);
        QCOMPARE(L.picture, QRect(20, 12, 245, 4 * 13));
        QCOMPARE(L.frame, QRect(16, 8, 253, 60));
        QCOMPARE(L.window, QSize(285, 52 + 78));
        QCOMPARE(L.lineLeft, (std::vector<int>{2, 116, 122}));
    }
    // The sum of the shown buttons' widths when it beats the title and the text.
    QCOMPARE(Fixed("a", "", 2).textWidth, 89 + 65 + 89);
    QCOMPARE(Fixed("a", "", 3).textWidth, 77 + 60 + 65);
    QCOMPARE(Fixed("a", "", 5).textWidth, 77 + 65);
    QCOMPARE(Fixed("a", QString(30, QChar('t')), 1).textWidth, 180);
}

void TestMessageBox::buttonSlots()
{
    // Kind 0: window 122 wide, one slot.
    {
        const MessageBoxLayout L = Fixed("ab", "T", 0);
        QCOMPARE(Shown(L), (std::vector<int>{MbOK}));
        QCOMPARE(Lefts(L), (std::vector<int>{61 - 38}));
        QCOMPARE(L.buttons[0].top, 8 + 34 + 5);
        QCOMPARE(L.buttons[0].width, 77);
        QCOMPARE(L.buttons[0].height, 27);
    }
    // Kind 4: window 170, slot 85: "&Igen" at 42 - 30, "&Nem" at 42 + 85 - 32.
    {
        const MessageBoxLayout L = Fixed("ab", "T", 4);
        QCOMPARE(L.window.width(), 170);
        QCOMPARE(Shown(L), (std::vector<int>{MbYes, MbNo}));
        QCOMPARE(Lefts(L), (std::vector<int>{12, 95}));
    }
    // Kind 3: W 202, window 247, slot 82.
    {
        const MessageBoxLayout L = Fixed("ab", "T", 3);
        QCOMPARE(L.window.width(), 247);
        QCOMPARE(Shown(L), (std::vector<int>{MbCancel, MbYes, MbNo}));
        QCOMPARE(Lefts(L), (std::vector<int>{41 - 38, 41 + 82 - 30, 41 + 164 - 32}));
        for (const auto &b : L.buttons)
            QCOMPARE(b.top, L.frame.bottom() + 1 + 5);
    }
    // Sets 6 and 7 are set 0.
    for (int kind : {6, 7}) {
        const MessageBoxLayout a = Fixed("ab\rcd", "T", 0);
        const MessageBoxLayout b = Fixed("ab\rcd", "T", kind);
        QCOMPARE(Shown(b), Shown(a));
        QCOMPARE(Lefts(b), Lefts(a));
        QCOMPARE(b.window, a.window);
    }
    // The bottom margin: 27 for the buttons and 35 more below the frame, of which
    // the title bar and lower border take 25: 5 pixels stay under the buttons.
    const MessageBoxLayout L = Fixed("a\rb\rc", "T", 0);
    QCOMPARE(L.window.height(), L.picture.height() + 78);
    QCOMPARE(L.client, QSize(L.window.width(), L.window.height() - 25));
    QCOMPARE(L.client.height(), L.buttons[0].top + L.buttons[0].height + 5);
}

void TestMessageBox::focusBits()
{
    QCOMPARE(Fixed("a", "", 4).focusFirst, 0);
    QCOMPARE(Fixed("a", "", 0x104).focusFirst, 1);
    QCOMPARE(Fixed("a", "", 0x203).focusFirst, 2);
    QCOMPARE(Fixed("a", "", 0x204).focusFirst, -1); // names no shown button
}

void TestMessageBox::dialogUsesLayout()
{
    TSMsg box;
    const QString text = QString::fromUtf8("Biztosan törölhetők a spektrum adatai?\rmásodik sor");
    const QString title = QString::fromUtf8("*** MEGERŐSÍTÉS ***");
    box.Prepare(text, title, 4);
    const MessageBoxLayout L =
        ComputeMessageBoxLayout(text, title, 4, QFontMetrics(box.font()), TitleBarWidth(title));
    // The box is as wide as the title bar needs to show the title whole, and no
    // narrower than its text and buttons need.
    const MessageBoxLayout byText = ComputeMessageBoxLayout(text, title, 4, QFontMetrics(box.font()));
    QCOMPARE(L.window.width(), std::max(byText.window.width(), TitleBarWidth(title)));

    QCOMPARE(box.windowTitle(), title);
    QCOMPARE(box.Lines(), QStringList({"Biztosan törölhetők a spektrum adatai?", "második sor"}));
    QCOMPARE(box.size(), L.client);
    QCOMPARE(box.Bevel1()->geometry(), L.frame);
    QCOMPARE(box.Bevel1()->pos(), QPoint(16, 8));
    QCOMPARE(box.Image1()->geometry(), L.picture);
    QCOMPARE(box.Image1()->pos(), QPoint(20, 12));
    QCOMPARE(box.Picture().size(), L.picture.size());
    QCOMPARE(L.window.width(), L.textWidth + 45);
    QCOMPARE(L.frame.size(), QSize(L.textWidth + 13, L.picture.height() + 8));
    QCOMPARE(L.picture.height(), 3 * QFontMetrics(box.font()).height());

    for (int i = 0; i < 7; ++i)
        QCOMPARE(box.Button(i)->isVisibleTo(&box), i == MbYes || i == MbNo);
    QCOMPARE(box.Button(MbYes)->geometry(),
             QRect(L.buttons[0].left, L.buttons[0].top, 60, 27));
    QCOMPARE(box.Button(MbNo)->geometry(),
             QRect(L.buttons[1].left, L.buttons[1].top, 65, 27));
    QVERIFY(box.Button(MbYes)->x() < box.Button(MbNo)->x());

    // Laid out anew on every call: a one-button message hides the others again.
    box.Prepare("x", "y", 0);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(box.Button(i)->isVisibleTo(&box), i == MbOK);
    QCOMPARE(box.Lines(), QStringList({"x"}));

    // Teal background, black bold 11 px text.
    QCOMPARE(box.palette().color(QPalette::Window), QColor(0, 128, 128));
    QCOMPARE(box.font().pixelSize(), 11);
    QVERIFY(box.font().bold());
}

void TestMessageBox::linesDrawnCentred()
{
    TSMsg box;
    box.Prepare("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW\rii\r", "", 0);
    const MessageBoxLayout &L = box.Layout();
    const QImage &pic = box.Picture();
    const int h = L.textHeight;
    const QFontMetrics fm(box.font());
    for (int i = 0; i < 2; ++i) {
        const auto [first, last] = InkColumns(pic, L.lineTop[size_t(i)], h);
        QVERIFY2(first >= 0, "line not drawn");
        const int left = L.lineLeft[size_t(i)];
        const int w = fm.horizontalAdvance(L.lines[i]);
        QCOMPARE(left, (pic.width() - w) / 2);
        // The ink lies within the line's advance, give or take the glyphs' bearings.
        QVERIFY2(first >= left - 2 && last <= left + w + 1,
                 qPrintable(QString("line %1: ink %2..%3, box %4..%5").arg(i).arg(first).arg(last).arg(left).arg(left + w)));
        // and it is centred: equal margins on both sides within a few pixels.
        QVERIFY(qAbs(first - (pic.width() - 1 - last)) <= 3);
    }
    // The empty last line and the spare line below stay blank.
    QCOMPARE(InkColumns(pic, L.lineTop[2], pic.height() - L.lineTop[2]).first, -1);
    QCOMPARE(InkColumns(pic, 0, 2).first, -1); // nothing above y = 2
}

void TestMessageBox::fontFallback()
{
    TSMsg box;
    const QFontInfo info(box.font());
    QCOMPARE(info.pixelSize(), 11);
    QVERIFY(info.bold());
    // Not installed here: a plain sans face takes its place.
    QVERIFY2(info.family() == "Liberation Sans" || info.family() == "Arial" || info.family() == "DejaVu Sans"
                 || info.family() == "MS Sans Serif",
             qPrintable(info.family()));
}

void TestMessageBox::yesNoKeys()
{
    TSMsg box;
    QString focused;
    Answer([&](QWidget *w) {
        focused = w->focusWidget() ? w->focusWidget()->objectName() : QString();
        Key(w, Qt::Key_Return);
    });
    QCOMPARE(box.Execute("Minden el van mentve? Kiléphetünk?", "*** MEGERŐSÍTÉS ***", 4), 6);
    QCOMPARE(focused, QString("YesBtn"));
    QVERIFY(!box.isVisible());

    Answer([](QWidget *w) { Key(w, Qt::Key_Escape); });
    QCOMPARE(box.Execute("Minden el van mentve? Kiléphetünk?", "*** MEGERŐSÍTÉS ***", 4), 7);

    // Enter presses the focused button, not the default one.
    Answer([](QWidget *w) {
        Key(w, Qt::Key_Tab);
        QCOMPARE(w->focusWidget()->objectName(), QString("NoBtn"));
        Key(w, Qt::Key_Return);
    });
    QCOMPARE(box.Execute("?", "t", 4), 7);

    // With no button focused, Enter presses the shown default button.
    Answer([](QWidget *w) {
        w->focusWidget()->clearFocus();
        Key(w, Qt::Key_Enter, Qt::KeypadModifier);
    });
    QCOMPARE(box.Execute("?", "t", 0x104), 6);
}

void TestMessageBox::yesNoCancelKeys()
{
    TSMsg box;
    QStringList leftToRight;
    Answer([&](QWidget *w) {
        auto buttons = w->findChildren<QPushButton *>();
        std::sort(buttons.begin(), buttons.end(), [](auto *a, auto *b) { return a->x() < b->x(); });
        for (QPushButton *b : buttons)
            if (b->isVisible())
                leftToRight << b->text();
        Key(w, Qt::Key_Escape);
    });
    QCOMPARE(box.Execute("Mentsük?", "*** MEGERŐSÍTÉS ***", 3), 2);
    QCOMPARE(leftToRight, QStringList({"Mégsem", "&Igen", "&Nem"}));

    // Kind 1: Escape is "Mégsem" (2), Enter "Rendben" (1).
    Answer([](QWidget *w) { Key(w, Qt::Key_Escape); });
    QCOMPARE(box.Execute("x", "y", 1), 2);
    Answer([](QWidget *w) { Key(w, Qt::Key_Return); });
    QCOMPARE(box.Execute("x", "y", 1), 1);

    // Set 2 has no cancel button: Escape does nothing, the box stays open.
    bool stillOpen = false;
    Answer([&](QWidget *w) {
        Key(w, Qt::Key_Escape);
        stillOpen = w->isVisible();
        box.Button(MbIgnore)->click();
    });
    QCOMPARE(box.Execute("x", "y", 2), 5);
    QVERIFY(stillOpen);
}

void TestMessageBox::focusOrderFromKind()
{
    TSMsg box;
    QString first, next;
    Answer([&](QWidget *w) {
        first = w->focusWidget()->objectName();
        Key(w, Qt::Key_Tab);
        next = w->focusWidget()->objectName();
        Key(w, Qt::Key_Tab); // and round again
        Key(w, Qt::Key_Return);
    });
    QCOMPARE(box.Execute("x", "y", 0x104), 7);
    QCOMPARE(first, QString("NoBtn"));
    QCOMPARE(next, QString("YesBtn"));

    // The focus order is set again each time: kind 4 starts on "&Igen".
    Answer([&](QWidget *w) {
        first = w->focusWidget()->objectName();
        Key(w, Qt::Key_Return);
    });
    QCOMPARE(box.Execute("x", "y", 4), 6);
    QCOMPARE(first, QString("YesBtn"));

    // Kind 0x203: the third button, "&Nem".
    Answer([&](QWidget *w) {
        first = w->focusWidget()->objectName();
        Key(w, Qt::Key_Space);
    });
    QCOMPARE(box.Execute("x", "y", 0x203), 7);
    QCOMPARE(first, QString("NoBtn"));
}

void TestMessageBox::otherEndings()
{
    TSMsg box;
    Answer([](QWidget *w) { w->close(); });
    QCOMPARE(box.Execute("x", "y", 4), 2);
    Answer([](QWidget *w) { w->close(); });
    QCOMPARE(box.Execute("x", "y", 0), 2);
    // Hidden by other means: 0.
    Answer([](QWidget *w) { w->hide(); });
    QCOMPARE(box.Execute("x", "y", 4), 0);
    // Each button answers its own number.
    for (int i = 0; i < 7; ++i) {
        static const int kinds[] = {0, 1, 2, 2, 2, 4, 4};
        Answer([&box, i](QWidget *) { QTest::mouseClick(box.Button(i), Qt::LeftButton); });
        QCOMPARE(box.Execute("x", "y", kinds[i]), i + 1);
    }
}

void TestMessageBox::accessKeys()
{
    TSMsg box;
    Answer([](QWidget *w) { Key(w, Qt::Key_N, Qt::AltModifier); });
    QCOMPARE(box.Execute("x", "y", 4), 7);
    Answer([](QWidget *w) { Key(w, Qt::Key_T, Qt::AltModifier); });
    QCOMPARE(box.Execute("x", "y", 2), 5);
}

void TestMessageBox::nestedCall()
{
    // A message asked for while the box is open gets its own window; both answer.
    TSMsg box;
    int inner = -1;
    QString outerTitle;
    Answer([&](QWidget *outer) {
        Answer([](QWidget *w) { Key(w, Qt::Key_Escape); });
        inner = box.Execute("inner", "inner", 4);
        outerTitle = outer->windowTitle();
        QCOMPARE(QApplication::activeModalWidget(), outer);
        Key(outer, Qt::Key_Return);
    });
    QCOMPARE(box.Execute("outer", "outer", 4), 6);
    QCOMPARE(inner, 7);
    QCOMPARE(outerTitle, QString("outer")); // the open box was not rebuilt
}

void TestMessageBox::centredOverMainWindow()
{
    QWidget main;
    main.setGeometry(40, 60, 700, 500);
    main.show();
    TSMsg box(&main);
    QPoint centre;
    Answer([&](QWidget *w) {
        centre = w->frameGeometry().center();
        Key(w, Qt::Key_Return);
    });
    QCOMPARE(box.Execute("Biztosan?", "*** MEGERŐSÍTÉS ***", 4), 6);
    QVERIFY2((centre - main.frameGeometry().center()).manhattanLength() <= 2,
             qPrintable(QString("%1,%2").arg(centre.x()).arg(centre.y())));
}

void TestMessageBox::sharedInstance()
{
    // Without a registered box one is made on first use and kept.
    TSMsg *own = TSMsg::Instance();
    QVERIFY(own);
    QCOMPARE(TSMsg::Instance(), own);

    auto *registered = new TSMsg;
    TSMsg::SetInstance(registered);
    QCOMPARE(TSMsg::Instance(), registered);
    QWidget *shown = nullptr;
    Answer([&](QWidget *w) {
        shown = w;
        Key(w, Qt::Key_Return);
    });
    QCOMPARE(ShowMessageBox("Túl nagy az eltérés\rVáltoztasd meg az egyiket!", "*** HIBA ***", 0), 1);
    QCOMPARE(shown, registered);
    QCOMPARE(registered->Lines().size(), 2);

    // A deleted box is forgotten, not used.
    delete registered;
    QCOMPARE(TSMsg::Instance(), own);
    TSMsg::SetInstance(nullptr);
}

QTEST_MAIN(TestMessageBox)
#include "test_message_box.moc"
