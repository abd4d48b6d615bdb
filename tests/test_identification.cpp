// Identification: the contestant numbers and the jury code, and the dialog that
// asks for them, driven offscreen.
#include "Main/window/PswdDlg.h"
#include "Main/core/Identification.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestIdentification : public QObject
{
    Q_OBJECT
private slots:
    void contestantTable();
    void contestantNumbers();
    void juryCode();
    void juryCodeHash();
    void rejected();
    void dialogLayout();
    void dialogRejectsThenAccepts();
    void dialogJury();
    void dialogCancelKeepsUserId();
};

void TestIdentification::contestantTable()
{
    int members = 0;
    for (int n = 0; n <= 255; ++n)
        members += IsContestantNumber(n);
    QCOMPARE(members, 30);
    // The 256-bit form: bit n % 8 of byte n / 8.
    const auto &bits = ContestantNumbers();
    int bitCount = 0;
    for (uint8_t b : bits)
        for (int i = 0; i < 8; ++i)
            bitCount += (b >> i) & 1;
    QCOMPARE(bitCount, 30);
    QCOMPARE(bits[0], uint8_t(0xFE)); // 1..7, not 0
    for (int n : {1, 7, 10, 101, 104, 110, 201, 210})
        QVERIFY2(IsContestantNumber(n), qPrintable(QString::number(n)));
    for (int n : {0, 11, 100, 111, 200, 211, 255, -1, 256, 263})
        QVERIFY2(!IsContestantNumber(n), qPrintable(QString::number(n)));
}

void TestIdentification::contestantNumbers()
{
    IdentificationResult r = IdentifyUser("7");
    QVERIFY(r.Accepted && r.IsContestant && !r.IsJury);
    QCOMPARE(r.UserId, std::string("7"));

    // Blanks, TABs and control characters around it are dropped from the identifier.
    r = IdentifyUser("  \t104 \r\n");
    QVERIFY(r.Accepted && r.IsContestant && !r.IsJury);
    QCOMPARE(r.UserId, std::string("104"));
    r = IdentifyUser(std::string("\x01 201\x1f", 6));
    QVERIFY(r.Accepted && r.IsContestant);
    QCOMPARE(r.UserId, std::string("201"));

    // An optional sign is part of a whole number. Every spelling of one number is
    // one contestant: the caption, UserId and the folder carry its plain form.
    for (const char *typed : {"+1", "01", "+001", " 1 ", "\t+01\r\n"}) {
        r = IdentifyUser(typed);
        QVERIFY2(r.Accepted && r.IsContestant, typed);
        QCOMPARE(r.UserId, std::string("1"));
    }
}

void TestIdentification::juryCode()
{
    // The code this build was configured with (by default the delivered one).
    const std::string code = IONVETO_TEST_JURY_CODE;
    IdentificationResult r = IdentifyUser(code);
    QVERIFY(r.Accepted && r.IsJury && !r.IsContestant);
    QCOMPARE(r.UserId, code);

    // Compared exactly as typed.
    const std::string lower = QString::fromStdString(code).toLower().toStdString();
    for (const std::string &t : {" " + code, code + " ", lower, code.substr(0, code.size() - 1), code + code.back(),
                                 code + "\t"}) {
        if (t == code)
            continue;
        r = IdentifyUser(t);
        QVERIFY2(!r.Accepted && !r.IsJury && !r.IsContestant, t.c_str());
        QVERIFY(r.UserId.empty());
    }
}

void TestIdentification::juryCodeHash()
{
    // Published PBKDF2-HMAC-SHA256 vectors.
    struct Vector {
        const char *password, *salt;
        int iterations, length;
        const char *hex;
    } vectors[] = {
        {"password", "salt", 1, 32, "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"},
        {"password", "salt", 2, 32, "ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"},
        {"password", "salt", 4096, 32, "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"},
        {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 40,
         "348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c7dac47e9"},
    };
    for (const Vector &v : vectors) {
        const std::string key = Pbkdf2HmacSha256(v.password, v.salt, v.iterations, v.length);
        QCOMPARE(QByteArray::fromStdString(key).toHex(), QByteArray(v.hex));
    }
}

void TestIdentification::rejected()
{
    for (const char *t : {"256", "-1", "0", "255", "11", "150", "", "   ", "1.0", "1,0", "7a", "- 7",
                          "99999999999", "+", "ó"}) {
        const IdentificationResult r = IdentifyUser(t);
        QVERIFY2(!r.Accepted && !r.IsContestant && !r.IsJury, t);
        QVERIFY(r.UserId.empty());
    }
    // A number of 32 bits that is a member once reduced modulo 256 stays rejected.
    QVERIFY(!IdentifyUser("257").Accepted);
    QVERIFY(!IdentifyUser("4294967297").Accepted);
}

namespace {
QLineEdit *FieldOf(TPasswordDlg &dlg)
{
    for (QLabel *l : dlg.findChildren<QLabel *>())
        if (l->text() == QString::fromUtf8("Add meg az azonosítódat"))
            return qobject_cast<QLineEdit *>(l->buddy());
    return nullptr;
}

QPushButton *ButtonOf(QWidget &dlg, const QString &text)
{
    for (QPushButton *b : dlg.findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}
} // namespace

void TestIdentification::dialogLayout()
{
    TPasswordDlg dlg;
    QCOMPARE(dlg.windowTitle(), QString::fromUtf8("Azonosító beadása"));
    QLineEdit *field = FieldOf(dlg);
    QVERIFY(field);
    QCOMPARE(field, dlg.Password());
    QCOMPARE(field->objectName(), QString("Password"));
    QCOMPARE(field->echoMode(), QLineEdit::Normal);
    QVERIFY(ButtonOf(dlg, "OK") && ButtonOf(dlg, "OK")->isDefault());
    QVERIFY(ButtonOf(dlg, "Cancel") && !ButtonOf(dlg, "Cancel")->isDefault());
    QVERIFY(!dlg.IsContestant() && !dlg.IsJury() && dlg.UserId().empty());

    // The background is set again whenever the dialog comes up.
    QPalette p = dlg.palette();
    p.setColor(QPalette::Window, Qt::red);
    dlg.setPalette(p);
    QColor seen;
    QTimer::singleShot(0, [&] {
        seen = dlg.palette().color(QPalette::Window);
        dlg.reject();
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(seen, QColor(0, 80, 80));
}

void TestIdentification::dialogRejectsThenAccepts()
{
    TPasswordDlg dlg;
    QString boxText, boxTitle;
    int boxButtons = -1;
    bool openAfterError = false, selectedAll = false, fieldHasFocus = false;

    QTimer::singleShot(0, [&] {
        QLineEdit *field = FieldOf(dlg);
        QVERIFY(field);
        QTest::keyClicks(field, " 256 ");
        // The error box is up while OK is being handled; answer it first.
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            boxText = box->text();
            boxTitle = box->windowTitle();
            boxButtons = int(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        });
        QTest::mouseClick(ButtonOf(dlg, "OK"), Qt::LeftButton);
        openAfterError = dlg.isVisible();
        selectedAll = field->selectedText() == " 256 ";
        fieldHasFocus = dlg.focusWidget() == field;
        QVERIFY(!dlg.IsContestant() && !dlg.IsJury());

        // Typing replaces the selected text; Enter presses OK.
        QTest::keyClicks(field, "  110 ");
        QTest::keyClick(field, Qt::Key_Return);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(boxText, QString::fromUtf8("Érvénytelen kód!"));
    QCOMPARE(boxTitle, QString("*** HIBA ***"));
    QCOMPARE(boxButtons, 1);
    QVERIFY(openAfterError);
    QVERIFY(selectedAll);
    QVERIFY(fieldHasFocus);
    QVERIFY(dlg.IsContestant());
    QVERIFY(!dlg.IsJury());
    QCOMPARE(dlg.UserId(), std::string("110"));
}

void TestIdentification::dialogJury()
{
    TPasswordDlg dlg;
    int errors = 0;
    QTimer::singleShot(0, [&] {
        QLineEdit *field = FieldOf(dlg);
        // With a trailing blank the jury code is refused.
        QTest::keyClicks(field, IONVETO_TEST_JURY_CODE " ");
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                ++errors;
                box->accept();
            }
        });
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QTest::keyClicks(field, IONVETO_TEST_JURY_CODE);
        QTest::mouseClick(ButtonOf(dlg, "OK"), Qt::LeftButton);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(errors, 1);
    QVERIFY(dlg.IsJury());
    QVERIFY(!dlg.IsContestant());
    QCOMPARE(dlg.UserId(), std::string(IONVETO_TEST_JURY_CODE));
}

void TestIdentification::dialogCancelKeepsUserId()
{
    TPasswordDlg dlg;
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(FieldOf(dlg), "1");
        QTest::mouseClick(ButtonOf(dlg, "OK"), Qt::LeftButton);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(dlg.UserId(), std::string("1"));
    QVERIFY(dlg.IsContestant());

    // Cancel: no check, no message; the flags drop, the identifier stays.
    QTimer::singleShot(0, [&] {
        FieldOf(dlg)->setText("garbage");
        QTest::mouseClick(ButtonOf(dlg, "Cancel"), Qt::LeftButton);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY(!dlg.IsContestant() && !dlg.IsJury());
    QCOMPARE(dlg.UserId(), std::string("1"));

    // Escape and the close box end the same way.
    QTimer::singleShot(0, [&] { QTest::keyClick(FieldOf(dlg), Qt::Key_Escape); });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QTimer::singleShot(0, [&] { dlg.close(); });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(dlg.UserId(), std::string("1"));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestIdentification)
#include "test_identification.moc"
