// The derived device values: voltages, their limits and the two warning
// latches, the time step and the unknown-mass mode.
#include "Data/Flight.h"
#include "Main/core/NumberText.h"
#include "helpers/ModelFixture.h"

#include <QtTest>

class DeviceValuesTest : public QObject {
    Q_OBJECT

private slots:
    void defaultsShowTheTunedVoltages()
    {
        ModelFixture f;
        const ApplyOutcome out = f.Apply();
        QVERIFY(out.Applied);
        QCOMPARE(QString::fromStdString(out.AccVoltageText), QString("  25.93686"));
        QCOMPARE(QString::fromStdString(out.EsaVoltageText), QString("  30.63409"));
        QVERIFY(!out.AccVoltageRed && !out.EsaVoltageRed && !out.ShowMassWarning && !out.ShowVoltageWarning);
        // v = 204227 m/s for mass 120 at 25.9 kV, 0.01 m per step.
        QVERIFY(std::abs(0.01 / f.m.Params.TimeStep - 204227.0) < 1.0);
        QCOMPARE(f.m.Esa.Voltage, f.m.Params.EsaPotential);
        QCOMPARE(f.m.Magnet.Induction, 1.0);
    }

    void inductionStepsAndTheVoltageLatch()
    {
        ModelFixture f;
        f.fields.Induction = 1.97;
        ApplyOutcome out = f.Apply();
        QVERIFY(out.Applied);
        QCOMPARE(QString::fromStdString(out.EsaVoltageText), QString(" 118.88783"));
        QVERIFY(!out.EsaVoltageRed);

        f.fields.Induction = 1.98;
        const double stepBefore = f.m.Params.TimeStep;
        out = f.Apply();
        QVERIFY(!out.Applied);
        QVERIFY(out.ShowVoltageWarning);
        QVERIFY(out.EsaVoltageRed);
        QCOMPARE(QString::fromStdString(out.EsaVoltageText), QString(" 120.09788"));
        QCOMPARE(f.m.Params.TimeStep, stepBefore);   // the failed application stops before the time step

        // Later steps go through without a message while the field stays red.
        for (double b : {1.99, 2.0}) {
            f.fields.Induction = b;
            out = f.Apply();
            QVERIFY(out.Applied);
            QVERIFY(!out.ShowVoltageWarning);
            QVERIFY(out.EsaVoltageRed);
        }
        QCOMPARE(QString::fromStdString(out.AccVoltageText), QString(" 103.74744"));
        QCOMPARE(QString::fromStdString(out.EsaVoltageText), QString(" 122.53635"));

        // Back in range clears the latch: the next excursion warns again.
        f.fields.Induction = 1.0;
        QVERIFY(f.Apply().Applied);
        QVERIFY(!f.latches.VoltageWarningShown);
        f.fields.Induction = 0.19;
        out = f.Apply();
        QVERIFY(!out.Applied && out.ShowVoltageWarning && out.AccVoltageRed);
        QCOMPARE(QString::fromStdString(out.AccVoltageText), QString("   0.93632"));
        f.fields.Induction = 0.20;
        out = f.Apply();
        QVERIFY(out.Applied);
        QVERIFY(!out.AccVoltageRed);
    }

    void massWindowWarningOnceAndRearmed()
    {
        ModelFixture f;
        f.fields.MeanMass = 100;
        f.fields.Mass = 150;
        ApplyOutcome out = f.Apply();
        QVERIFY(!out.MassOutsideWindow && !out.ShowMassWarning);
        f.fields.Mass = 151;
        out = f.Apply();
        QVERIFY(out.MassOutsideWindow && out.ShowMassWarning && out.Applied);
        out = f.Apply();
        QVERIFY(out.MassOutsideWindow && !out.ShowMassWarning);
        f.fields.Mass = 150;
        out = f.Apply();
        QVERIFY(!out.MassOutsideWindow);
        f.fields.Mass = 151;
        QVERIFY(f.Apply().ShowMassWarning);
    }

    void unknownModeUsesTheFirstIsotope()
    {
        ModelFixture f;
        f.fields.UnknownMode = true;
        const ApplyOutcome out = f.Apply();
        QCOMPARE(f.m.Params.Mass, 23.985042);
        // The default mean mass of 120 is far from 24: the mass warning comes.
        QVERIFY(out.ShowMassWarning);
        QVERIFY(!f.m.Params.PointSource && !f.m.Params.MonoEnergetic && !f.m.Params.Parallel);
        f.fields.MeanMass = 25;
        f.Apply();
        // Every emission draws its own isotope and leaves its mass in the global.
        int seen[3] = {0, 0, 0};
        for (int i = 0; i < 3000; ++i) {
            Emit(f.m, 1, false);
            for (int k = 0; k < 3; ++k)
                seen[k] += f.m.Params.Mass == f.m.Isotopes[k].Mass;
        }
        QCOMPARE(seen[0] + seen[1] + seen[2], 3000);
        QVERIFY(std::abs(seen[0] / 3000.0 - 0.7899) < 0.03);
        QVERIFY(std::abs(seen[1] / 3000.0 - 0.1) < 0.03);
        QVERIFY(std::abs(seen[2] / 3000.0 - 0.1101) < 0.03);
        // Back in the test mode the field's mass flies again.
        f.fields.UnknownMode = false;
        f.Apply();
        QCOMPARE(f.m.Params.Mass, 120.0);
    }

    void limitsTable()
    {
        QVERIFY(WithinLimit(1, Limits::Mass) && WithinLimit(1000, Limits::Mass));
        QVERIFY(!WithinLimit(1001, Limits::Mass) && !WithinLimit(0.5, Limits::Mass));
        QVERIFY(WithinLimit(-0.05, Limits::Offset) && !WithinLimit(0.0501, Limits::Offset));
        QCOMPARE(QString::fromStdString(FormatGeneral(Limits::Blende.Min)), QString("0.005"));
        QCOMPARE(QString::fromStdString(FormatGeneral(Limits::Offset.Min)), QString("-0.05"));
        QCOMPARE(QString::fromStdString(FormatGeneral(Limits::Induction.Max)), QString("2"));
        QCOMPARE(RoundEven(Limits::Blende.Min * Limits::BlendeScale), 5);
        QCOMPARE(RoundEven(Limits::Induction.Max * Limits::InductionScale), 200);
    }

    void numberTextIsLocaleFree()
    {
        QCOMPARE(QString::fromStdString(FormatGeneral(0.008)), QString("0.008"));
        QCOMPARE(QString::fromStdString(FormatGeneral(120)), QString("120"));
        QCOMPARE(QString::fromStdString(FormatGeneral(1.5)), QString("1.5"));
        QCOMPARE(QString::fromStdString(FormatGeneral(0.009)), QString("0.009"));
        QCOMPARE(QString::fromStdString(FormatGeneral(1e-6)), QString("1E-6"));
        QCOMPARE(QString::fromStdString(FormatFixed(5.5, 10, 4)), QString("    5.5000"));
        QCOMPARE(ParseFloat(" 0.005 ").value(), 0.005);
        QVERIFY(!ParseFloat("0,005"));
        QVERIFY(!ParseFloat("1e"));
        QVERIFY(!ParseFloat("inf"));
        QVERIFY(!ParseFloat(""));
        QVERIFY(!ParseFloat("12a"));
        QCOMPARE(ParseInt(" -17 ").value(), -17);
        QVERIFY(!ParseInt("1.0"));
        QVERIFY(!ParseInt("99999999999"));
        QCOMPARE(ParseInt("2147483647").value(), 2147483647);
        QCOMPARE(ParseInt("-2147483648").value(), INT32_MIN);
    }
};

QTEST_APPLESS_MAIN(DeviceValuesTest)
#include "test_device_values.moc"
