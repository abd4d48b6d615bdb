#pragma once
// The window as after the identification, with a detector accepted across the
// beam and shown, and a run of unlimited preset started; the benchmark then
// ticks it itself instead of the 10 ms timer.
#include "Main/window/Main.h"
#include "Main/core/Instrument.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>

#include <memory>

struct RunningWindow {
    TInstrument instrument;
    std::unique_ptr<TForm1> form;

    // `continuous`: "Folyamatos a kitűzöttig" ticked before Start.
    explicit RunningWindow(bool continuous = false)
    {
        StartInstrument(instrument);
        form = std::make_unique<TForm1>(instrument);
        TForm1 &f = *form;
        f.Timer2->stop();   // no identification dialog here
        f.show();
        f.PlacePanels();
        f.ApplyParameters();
        ClearTraces(instrument.Model);
        f.ComposePicture();

        instrument.Model.Detector.Points = {{TPixel{236, 460}, TPixel{237, 483}, TPixel{238, 506}}};
        f.CheckBox2->setChecked(true);
        f.ApplyParameters();
        f.Button3Click();   // "Elfogad"

        if (continuous)
            f.CheckBox6->setChecked(true);
        f.Edit11->setText(QStringLiteral("0"));
        f.Button1Click();   // Start
        f.Timer1->stop();   // the benchmark ticks itself
        QCoreApplication::processEvents();
    }
};
