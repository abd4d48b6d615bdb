// The detector panel: placing the three points with the mouse inside drift 2 and
// drift 3, the markers, "Setup", "Mutat", "Elfogad" and "Töröl" (also Ctrl+Shift+F),
// and how an unusable detector is reported. The curve, its ends and the hit
// mapping are the model's detector.
#include "Main/window/Main.h"

#include "Data/Detector.h"
#include "Data/Model.h"
#include "Data/Raster.h"
#include "Main/device/PictureView.h"
#include "Main/core/Instrument.h"

#include <QCheckBox>
#include <QFrame>
#include <QPushButton>
#include <QRadioButton>

namespace {

const char *const UnusableDetectorTitle = "*** HIBA ***";
constexpr int MarkerRadius = 3;

} // namespace

// ---------------------------------------------------------------------------
// The check boxes

void TForm1::CheckBox1Click()
{
    const bool setup = CheckBox1->isChecked();
    Panel5->setVisible(setup);
    setCursor(setup ? Qt::UpArrowCursor : Qt::ArrowCursor);
}

void TForm1::CheckBox2Click()
{
    ComposePicture();
}

// ---------------------------------------------------------------------------
// Placing the points

void TForm1::Image1MouseMove(QPoint position, Qt::MouseButtons, Qt::KeyboardModifiers)
{
    // The up-arrow is the sign that a point may be placed here.
    const bool placeable = CheckBox1->isChecked() && PlaceablePoint(Model(), TPixel{position.x(), position.y()});
    Image1->setCursor(placeable ? Qt::UpArrowCursor : Qt::ArrowCursor);
}

bool TForm1::DetectorPointPlaceableAt(QPoint position)
{
    // The picture's pop-up menu would take the release of the right button away.
    return CheckBox1->isChecked() && PlaceablePoint(Model(), TPixel{position.x(), position.y()});
}

void TForm1::Image1MouseUp(QPoint position, Qt::MouseButton, Qt::KeyboardModifiers)
{
    // Only the picture's own cursor counts, not one it would inherit from the window.
    if (!Image1->testAttribute(Qt::WA_SetCursor) || Image1->cursor().shape() != Qt::UpArrowCursor)
        return;
    TDetector &d = Model().Detector;
    CheckBox2->setChecked(true);
    const TPixel at{position.x(), position.y()};
    if (RadioButton1->isChecked()) {
        d.Points[0] = at;
        RadioButton2->setChecked(true);
    } else if (RadioButton2->isChecked()) {
        d.Points[1] = at;
        RadioButton3->setChecked(true);
    } else if (RadioButton3->isChecked()) {
        d.Points[2] = at;
        RadioButton1->setChecked(true);
    } else {
        return;
    }
    d.Accepted = false;
    ApplyParameters();
    if (Instrument.Run.Running)
        RelockDuringRun();
    DrawDetectorMarkers();
}

void TForm1::DrawDetectorMarkers()
{
    // They stay until the picture is composed again.
    for (const TPixel &p : Model().Detector.Points)
        if (p.x != 0 && p.y != 0)
            FillCircle(Image1Picture, p, MarkerRadius, Colors::Black, Colors::Blue);
    Image1->update();
}

// ---------------------------------------------------------------------------
// Accepting and clearing

void TForm1::Button3Click()
{
    // A detector whose points share a row has no curve: nothing to accept.
    if (!AcceptDetector(Model())) {
        ReportUnusableDetector();
        UpdateDetectorControls();
        return;
    }
    PlacePanels();
    ApplyParameters();
    CheckBox1->setChecked(false);
    CheckBox1Click();
}

void TForm1::Button5Click()
{
    TModel &m = Model();
    m.Detector.Accepted = false;
    ClearDetector(m);
    CheckBox2->setChecked(false);
    CheckBox2->hide();
    ApplyParameters();
    // Also during a run (Ctrl+Shift+F): from the next step on the flight meets no detector.
    DrawApparatus(m);
    ComposePicture();
    if (Instrument.Run.Running)
        RelockDuringRun();
    CheckBox1->setChecked(true);
    CheckBox1Click();
}

// ---------------------------------------------------------------------------
// An unusable detector

void TForm1::ReportUnusableDetector()
{
    // Outside a run every attempt is answered. A run says it once: Start applies the
    // parameters and says it there, before the first tick; a tick says it only when
    // the points went bad during the run and nothing has said so yet.
    const bool inRun = Instrument.Run.Running || m_inTick;   // the last tick has ended the run already
    if (inRun && m_unusableDetectorReported)
        return;
    m_unusableDetectorReported = true;
    ShowTickSafeMessage(QString::fromUtf8(UnusableDetectorText), QString::fromUtf8(UnusableDetectorTitle));
}
