// Run control: Start/Stop, the 10 ms simulation tick, locking the window during a
// run, the preset field and "Pályák törlése". The run itself (emission, flight,
// end of the run) is the core's run engine; this file only drives it.
#include "Main/window/Main.h"

#include "Data/Model.h"
#include "Main/charts/ChartsPage.h"
#include "Main/device/PictureView.h"
#include "Main/device/UpDown.h"
#include "Main/core/Instrument.h"
#include "Main/core/NumberText.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <vector>

namespace {

// Text fields, buttons, check boxes, radio buttons and up-down controls of a page.
std::vector<QWidget *> Controls(QWidget *page)
{
    std::vector<QWidget *> out;
    if (!page)
        return out;
    for (QLineEdit *w : page->findChildren<QLineEdit *>())
        out.push_back(w);
    for (QAbstractButton *w : page->findChildren<QAbstractButton *>())
        out.push_back(w);
    for (TUpDown *w : page->findChildren<TUpDown *>())
        out.push_back(w);
    return out;
}

} // namespace

// ---------------------------------------------------------------------------
// Start and Stop

void TForm1::Button1Click()
{
    RunState &run = Instrument.Run;
    const bool running = run.Running;
    if (!running)
        m_unusableDetectorReported = false;   // a new run may report it once again
    if (!ApplyParameters()) {
        if (running)
            RelockDuringRun();
        return;
    }
    const std::optional<int32_t> preset = ParseInt(Edit11->text().toStdString());
    if (!preset) {
        if (running)
            RelockDuringRun();
        QMessageBox::critical(this, QStringLiteral("Ionvető"),
                              QString::fromStdString(NotANumberMessage(Edit11->text().toStdString())));
        return;
    }
    if (*preset < 0) {
        // The preset field's own refusal: the count it would not take never runs.
        if (running)
            RelockDuringRun();
        Edit11->setFocus(Qt::OtherFocusReason);
        Edit11->selectAll();
        return;
    }
    run.PresetCount = *preset;

    if (running) {
        // Stop: nothing more is emitted; the ions in flight land and end the run.
        StopRun(run);
        RelockDuringRun();
        return;
    }
    StartRun(Model(), run);
    Edit10->setText(QString::number(Model().LaunchCount));
    Label1->setText(QStringLiteral("FUT"));
    Button1->setText(QStringLiteral("Stop"));
    LockControls();
    Timer1->start();
}

void TForm1::RelockDuringRun()
{
    // Applying the parameters re-enables the source options; a run keeps them locked,
    // and after Stop the button waits for the last ion.
    LockControls();
    Button1->setEnabled(Instrument.Run.Launching);
}

// ---------------------------------------------------------------------------
// The tick

void TForm1::Timer1Timer()
{
    RunState &run = Instrument.Run;
    if (m_inTick)
        return;   // never a tick inside a tick
    if (!run.Running) {
        Timer1->stop();
        return;
    }
    m_inTick = true;
    run.Spectrum = RadioButton5->isChecked() ? 2 : 1;
    run.Continuous = CheckBox6->isChecked();
    const TickResult r = Tick(Model(), Instrument.Counts, run);
    ComposePicture();
    Edit10->setText(QString::number(Model().LaunchCount));
    m_inTick = false;
    if (r.Finished)
        FinishRun();
}

void TForm1::FinishRun()
{
    Timer1->stop();
    Label1->setText(QStringLiteral("ÁLL"));
    Button1->setText(QStringLiteral("Start"));
    UnlockControls();
    Button1->setEnabled(true);
}

void TForm1::ShowTickSafeMessage(const QString &text, const QString &title)
{
    // No tick may run inside a message opened by a tick: the timer rests while it is open.
    const bool ticking = Timer1->isActive();
    if (ticking)
        Timer1->stop();
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
    box.exec();
    if (ticking && Instrument.Run.Running)
        Timer1->start();
}

// ---------------------------------------------------------------------------
// Locking the window during a run

void TForm1::LockControls()
{
    for (QWidget *page : {TabSheet1, static_cast<QWidget *>(Charts)})
        for (QWidget *w : Controls(page))
            w->setEnabled(false);
    Button1->setEnabled(true);
    if (Charts) {
        for (int s : {1, 2}) {
            Charts->YMaxBox(s)->setEnabled(true);
            Charts->AutoBox(s)->setEnabled(true);
        }
    }
}

void TForm1::UnlockControls()
{
    for (QWidget *page : {TabSheet1, static_cast<QWidget *>(Charts)})
        for (QWidget *w : Controls(page))
            w->setEnabled(true);
    if (RadioButton7->isChecked()) {
        for (QCheckBox *option : {CheckBox3, CheckBox4, CheckBox5}) {
            option->setChecked(false);
            option->setEnabled(false);
        }
    }
    Betltselrendezssmrsiadatok1->setEnabled(IsJury);
}

// ---------------------------------------------------------------------------
// The preset field

bool TForm1::PresetFieldEvent(QObject *watched, QEvent *e)
{
    if (watched != Edit11)
        return false;
    switch (e->type()) {
    case QEvent::FocusOut: {
        const Qt::FocusReason r = static_cast<QFocusEvent *>(e)->reason();
        if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason && !ValidatePresetField()) {
            // The focus is on its way elsewhere; bring it back once it has arrived.
            QTimer::singleShot(0, Edit11, [this] {
                Edit11->setFocus(Qt::OtherFocusReason);
                Edit11->selectAll();
            });
        }
        return false;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (!ValidatePresetField())
            Edit11->selectAll();
        return true;   // the Enter key itself goes no further
    }
    case QEvent::MouseButtonRelease:
        QTimer::singleShot(0, Edit11, &QLineEdit::selectAll);
        return false;
    default:
        return false;
    }
}

bool TForm1::ValidatePresetField()
{
    const std::optional<int32_t> v = ParseInt(Edit11->text().toStdString());
    if (!v || *v < 0)
        return false;
    Instrument.Run.PresetCount = *v;
    return true;
}

// ---------------------------------------------------------------------------
// "Pályák törlése"

void TForm1::Button2Click()
{
    // The apparatus carries the exit aperture, so the cleared picture shows it.
    ClearTraces(Model());
    ComposePicture();
}
