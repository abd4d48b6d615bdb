#pragma once
// Drives the main window in tests: builds the program's windows around a fresh
// instrument, answers the modal dialogs the window opens (the identification
// dialog, the platform message box and the program's own message box) and keeps
// a log of every message shown.
#include "Data/Detector.h"
#include "Data/Model.h"
#include "Main/window/Main.h"
#include "Main/window/ProgramWindows.h"
#include "Main/window/PswdDlg.h"
#include "Main/files/SaveDialog.h"
#include "Main/core/Instrument.h"
#include "dialogs/Megjegyzes.h"
#include "dialogs/Mymsg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

struct ShownMessage {
    QString Kind;    // "SMsg" for the program's own box, "Platform" for the system one
    QString Title;
    QString Text;    // lines joined with "\r"
};

// Answers modal windows as they come. Scripted steps wait for their window in
// order; a message box that no step expects is answered with its first button
// and logged all the same.
class ModalDriver : public QObject
{
public:
    using Match = std::function<bool(QWidget *)>;
    using Act = std::function<void(QWidget *)>;

    ModalDriver() { Poll(); }

    void Then(Match match, Act act) { m_steps.push_back({std::move(match), std::move(act)}); }

    // The identification dialog: type `text` into the field and press OK.
    void Password(const QString &text)
    {
        Then([](QWidget *w) { return qobject_cast<TPasswordDlg *>(w) != nullptr; },
             [text](QWidget *w) {
                 auto *dlg = static_cast<TPasswordDlg *>(w);
                 dlg->Password()->clear();
                 QTest::keyClicks(dlg->Password(), text);
                 QTest::mouseClick(dlg->OKBtn(), Qt::LeftButton);
             });
    }
    void CancelPassword()
    {
        Then([](QWidget *w) { return qobject_cast<TPasswordDlg *>(w) != nullptr; },
             [](QWidget *w) { QTest::mouseClick(static_cast<TPasswordDlg *>(w)->CancelBtn(), Qt::LeftButton); });
    }
    // The program's message box: press the button of index `button` (MbYes, MbNo, ...).
    void AnswerMessage(int button)
    {
        Then([](QWidget *w) { return qobject_cast<TSMsg *>(w) != nullptr; },
             [this, button](QWidget *w) {
                 auto *box = static_cast<TSMsg *>(w);
                 Log(box);
                 QTest::mouseClick(box->Button(button), Qt::LeftButton);
             });
    }

    bool Finished() const { return m_steps.empty(); }
    bool TimedOut() const { return m_timedOut; }
    // Waits until every queued answer was given; false when one never came.
    bool Settle(int ms = 6000)
    {
        QElapsedTimer t;
        t.start();
        while (!Finished() && t.elapsed() < ms)
            QTest::qWait(5);
        return Finished() && !TimedOut();
    }
    // The texts of the platform's own message boxes shown so far.
    QStringList PlatformMessages() const
    {
        QStringList out;
        for (const ShownMessage &m : Messages)
            if (m.Kind == QStringLiteral("Platform"))
                out << m.Text;
        return out;
    }
    QList<ShownMessage> Messages;

    // Time a scripted step may wait for its window before everything modal is closed.
    int StepTimeoutMs = 5000;

private:
    struct Step {
        Match match;
        Act act;
    };

    void Log(QWidget *w)
    {
        if (auto *box = qobject_cast<TSMsg *>(w))
            Messages.push_back({QStringLiteral("SMsg"), box->windowTitle(), box->Lines().join(QChar(u'\r'))});
        else if (auto *mb = qobject_cast<QMessageBox *>(w))
            Messages.push_back({QStringLiteral("Platform"), mb->windowTitle(), mb->text()});
    }

    void Poll()
    {
        // The next poll is armed before acting, so polling goes on inside the
        // nested event loop of the window the action may open.
        QTimer::singleShot(2, this, [this] { Poll(); });
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) {
            CheckTimeout();
            return;
        }
        if (!m_steps.empty() && m_steps.front().match(w)) {
            Step s = std::move(m_steps.front());
            m_steps.pop_front();
            m_waiting.invalidate();
            s.act(w);
            return;
        }
        if (auto *box = qobject_cast<TSMsg *>(w)) {
            Log(box);
            box->Button(box->Layout().buttons.front().button)->click();
        } else if (auto *mb = qobject_cast<QMessageBox *>(w)) {
            Log(mb);
            mb->button(QMessageBox::Ok) ? mb->button(QMessageBox::Ok)->click() : mb->reject();
        } else {
            CheckTimeout();
        }
    }

    void CheckTimeout()
    {
        if (m_steps.empty())
            return;
        if (!m_waiting.isValid())
            m_waiting.start();
        if (m_waiting.elapsed() < StepTimeoutMs)
            return;
        // A step whose window never came: close whatever is modal so the test ends.
        m_timedOut = true;
        m_steps.clear();
        while (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            d->reject();
    }

    std::deque<Step> m_steps;
    QElapsedTimer m_waiting;
    bool m_timedOut = false;
};

// The program's windows around a fresh instrument, with the contestant folders in
// a temporary folder and the end of the program recorded instead of carried out.
struct ProgramUnderTest {
    // Named with ő, ű and blanks, as Windows users' folders are: every save,
    // load and export of the window tests goes through such a path.
    QTemporaryDir Folder{QDir::tempPath() + QStringLiteral("/Ionvető mérés ű-XXXXXX")};
    std::unique_ptr<TInstrument> Instrument = std::make_unique<TInstrument>();
    std::unique_ptr<TForm1> Form;
    int QuitRequests = 0;

    explicit ProgramUnderTest(const QString &programFolder = QString(), TFormHooks hooks = {},
                              std::unique_ptr<TInstrument> instrument = nullptr)
    {
        if (instrument)
            Instrument = std::move(instrument);
        StartInstrument(*Instrument);
        hooks.Quit = [this] { ++QuitRequests; };
        Form = CreateProgramWindows(*Instrument, std::move(hooks));
        Form->SetProgramFolder(programFolder.isEmpty() ? Folder.path() : programFolder);
    }

    // Lets the identification run and waits until it has finished.
    bool Identify(ModalDriver &driver)
    {
        QElapsedTimer t;
        t.start();
        while (Form->Timer2->isActive() || !driver.Finished()) {
            if (t.elapsed() > 10000)
                return false;
            QTest::qWait(5);
        }
        // The main window shows again after the dialog; its activation arrives later.
        if (Form->isVisible()) {
            Form->activateWindow();
            while (QApplication::activeWindow() != Form.get() && t.elapsed() < 10000)
                QTest::qWait(5);
        }
        return !driver.TimedOut();
    }

    TForm1 &F() { return *Form; }
    TParams &P() { return Instrument->Model.Params; }
};

// The field a label names, found through the label's buddy.
inline QLineEdit *FieldLabelled(QWidget *root, const QString &labelText)
{
    for (QLabel *l : root->findChildren<QLabel *>())
        if (l->text() == labelText)
            return qobject_cast<QLineEdit *>(l->buddy());
    return nullptr;
}

inline QColor Background(const QLineEdit *e)
{
    return e->palette().color(QPalette::Base);
}

// Types `text` into `edit` as a user does (focus, select all, delete, type) and
// presses Enter. Checks its own step: the field must show the typed text before
// Enter; a field that refused a key fails the test.
inline void TypeAndEnter(QLineEdit *edit, const QString &text)
{
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    if (edit->text() != text)
        QTest::qFail(qPrintable(QStringLiteral("the field shows \"%1\", not the typed \"%2\"").arg(edit->text(), text)),
                     __FILE__, __LINE__);
    QTest::keyClick(edit, Qt::Key_Return);
}

// A running program identified with `code`, whose file dialogs and note dialog
// the test answers. Checks its own steps: an identification that does not
// finish fails the test, and Settled() tells whether every scripted answer was
// given.
struct Session {
    ModalDriver Driver;
    std::unique_ptr<ProgramUnderTest> Prog;
    TFileDialog Asked{TFileDialog::Kind::Save};   // the settings of the last file dialog answered
    int AskCount = 0;

    explicit Session(const QString &code)
    {
        Driver.Password(code);
        Prog = std::make_unique<ProgramUnderTest>();
        if (!Prog->Identify(Driver))
            QTest::qFail("the identification did not finish", __FILE__, __LINE__);
    }
    TForm1 &F() { return Prog->F(); }
    TInstrument &I() { return *Prog->Instrument; }
    QString Path(const QString &name) { return Prog->Folder.filePath(name); }

    // The note dialog: when `lines` is given the memo gets them; then OK or Cancel.
    // `seen` receives the memo as the dialog showed it.
    void Note(bool ok, std::optional<QStringList> lines = std::nullopt, QStringList *seen = nullptr)
    {
        Driver.Then([](QWidget *w) { return qobject_cast<TMegjDlg *>(w) != nullptr; },
                    [ok, lines, seen](QWidget *w) {
                        auto *d = static_cast<TMegjDlg *>(w);
                        if (seen)
                            *seen = d->Lines();
                        if (lines)
                            d->SetLines(*lines);
                        QTest::mouseClick(ok ? d->OKBtn() : d->CancelBtn(), Qt::LeftButton);
                    });
    }
    // The next use of `dialog` answers `path`; the dialog's settings are kept.
    void Answer(TFileDialog &dialog, const QString &path)
    {
        dialog.Asker = [this, path](QWidget *, const TFileDialog &d) {
            Asked = d;
            ++AskCount;
            return path;
        };
    }
    bool Settled() { return Driver.Settle(); }
    QStringList PlatformMessages() const { return Driver.PlatformMessages(); }
};
