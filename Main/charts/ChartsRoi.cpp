// The ROI group of a spectrum panel: the two bounds taken from the cursor, the
// gross count and centroid of the channels between them, and the lime strip
// under the chart that shows the region.
#include "Main/charts/ChartsPage.h"

#include "Main/charts/ChartsPanel.h"
#include "Main/window/FormStyle.h"
#include "Main/window/TextConvert.h"
#include "Main/core/NumberText.h"
#include "Main/core/ChartText.h"
#include "dialogs/DialogStyle.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>


namespace {

const QColor RoiLime(0, 255, 0);

// "Számíts!" hides itself once the results are current. Were it holding the
// focus, the focus would fall on the read-only "Bruttó:" box with its number
// highlighted; it goes to the panel's next control, "Törlés", instead.
void HideEvaluate(QPushButton *evaluate, QPushButton *next)
{
    if (evaluate->hasFocus())
        next->setFocus(Qt::TabFocusReason);
    evaluate->hide();
}

} // namespace

void TChartsPage::BuildRoiGroup(PanelControls &p, int s)
{
    const bool first = s == 1;
    const auto name = [first](const char *one, const char *two) {
        return QString::fromLatin1(first ? one : two);
    };
    const QFont fieldFont = DialogStyle::PixelFont(QStringLiteral("Arial"), 12, false);

    p.roiGroup = new QGroupBox(QStringLiteral("ROI"), p.panel);
    p.roiGroup->setObjectName(name("GroupBox6", "GroupBox7"));
    p.roiGroup->setGeometry(6, 138, 148, 172);

    // Each box is its label's buddy and carries the label's text as its name.
    const auto label = [&](const QString &text, QRect r, QLineEdit *box) {
        auto *l = new QLabel(text, p.roiGroup);
        l->setGeometry(r);
        FormStyle::NameByLabel(l, box);
    };
    const auto box = [&](const QString &objectName, QRect r, const QString &text) {
        // The results are read-only: white, the output colour.
        QLineEdit *e = FormStyle::TextField(p.roiGroup, objectName, r, true, text);
        e->setFont(fieldFont);
        QPalette ep = e->palette();
        ep.setColor(QPalette::Text, Qt::black);
        e->setPalette(ep);
        return e;
    };
    const auto button = [&](const QString &objectName, const QString &text, QRect r) {
        auto *b = new QPushButton(text, p.roiGroup);
        b->setObjectName(objectName);
        b->setGeometry(r);
        return b;
    };

    p.roiBox[0] = box(name("Edit23", "Edit27"), QRect(8, 33, 62, 22), QStringLiteral("0"));
    p.roiBox[1] = box(name("Edit24", "Edit28"), QRect(78, 33, 62, 22), QStringLiteral("0"));
    label(QStringLiteral("X1:"), QRect(8, 16, 60, 16), p.roiBox[0]);
    label(QStringLiteral("X2:"), QRect(78, 16, 60, 16), p.roiBox[1]);
    p.setX1 = button(name("Button7", "Button10"), QStringLiteral("Set"), QRect(8, 58, 62, 22));
    p.setX2 = button(name("Button8", "Button11"), QStringLiteral("Set"), QRect(78, 58, 62, 22));
    p.setX1->setProperty("Bound", 1);
    p.setX2->setProperty("Bound", 2);
    p.evaluate = button(name("Button9", "Button12"), QStringLiteral("Számíts!"),
                        QRect(8, 85, 132, 24));
    p.roiBox[2] = box(name("Edit25", "Edit29"), QRect(62, 116, 78, 22), QString());
    label(QStringLiteral("Bruttó:"), QRect(8, 116, 54, 22), p.roiBox[2]);
    p.roiBox[3] = box(name("Edit26", "Edit30"), QRect(62, 143, 78, 22), QString());
    label(QStringLiteral("Közép:"), QRect(8, 143, 54, 22), p.roiBox[3]);

    connect(p.setX1, &QPushButton::clicked, this, &TChartsPage::Button7Click);
    connect(p.setX2, &QPushButton::clicked, this, &TChartsPage::Button7Click);
    connect(p.evaluate, &QPushButton::clicked, this, &TChartsPage::Button9Click);

    p.roiMark = new QFrame(p.panel);
    p.roiMark->setObjectName(name("Shape3", "Shape4"));
    p.roiMark->setAutoFillBackground(true);
    QPalette mp = p.roiMark->palette();
    mp.setColor(QPalette::Window, RoiLime);
    p.roiMark->setPalette(mp);
    p.roiMark->setGeometry(0, 0, 0, RoiMarkHeight);
    p.roiMark->hide();
}

void TChartsPage::Button7Click()
{
    const int s = TagOf(sender());
    const int bound = sender() ? sender()->property("Bound").toInt() : 0;
    if (s && (bound == 1 || bound == 2))
        SetRoiBound(s, bound);
}

void TChartsPage::SetRoiX1FromCursor(int s)
{
    if (s == 1 || s == 2)
        SetRoiBound(s, 1);
}

void TChartsPage::SetRoiBound(int s, int bound)
{
    PanelControls &p = P(s);
    const std::optional<int32_t> c = ParseInt(Std(p.cursorX->text()));
    if (!c)
        return;
    RoiData &roi = m_roi[size_t(s - 1)];
    (bound == 1 ? roi.X1 : roi.X2) = *c;
    p.roiBox[bound == 1 ? 0 : 1]->setText(p.cursorX->text());
    PlaceRoiMark(s);
    // The results no longer belong to the region: the boxes are emptied (the
    // record keeps them) and the region can be evaluated again.
    p.roiBox[2]->clear();
    p.roiBox[3]->clear();
    p.evaluate->show();
}

void TChartsPage::Button9Click()
{
    const int s = TagOf(sender());
    if (!s)
        return;
    PanelControls &p = P(s);
    RoiData &roi = m_roi[size_t(s - 1)];
    // A bound outside the channels (after a zoom widened past 1000) computes
    // nothing and leaves the boxes as they are.
    if (EvaluateRoi(roi, m_spectra.Counts(s))) {
        p.roiBox[2]->setText(Text(FormatBrutto(roi.Brutto)));
        p.roiBox[3]->setText(Text(FormatKozep(roi.Kozep)));
    }
    HideEvaluate(p.evaluate, p.clear);
}

void TChartsPage::PlaceRoiMark(int s)
{
    if (s != 1 && s != 2)
        return;
    PanelControls &p = P(s);
    const std::optional<int32_t> b1 = ParseInt(Std(p.roiBox[0]->text()));
    const std::optional<int32_t> b2 = ParseInt(Std(p.roiBox[1]->text()));
    const QRect plot = PlotRect(s);
    const RoiMarkGeometry mark =
        (b1 && b2) ? ComputeRoiMark(*b1, *b2, XMin(s), XMax(s), plot.width(), p.chartFrame->x(),
                                    plot.left())
                   : RoiMarkGeometry{};
    const int top = p.chartFrame->y() + p.chartFrame->height() - RoiMarkOverlap;
    p.roiMark->setGeometry(mark.Left, top, mark.Width, RoiMarkHeight);
    p.roiMark->setVisible(mark.Width > 0);
}

RoiBoxTexts TChartsPage::RoiBoxTextsOf(int s) const
{
    const PanelControls &p = P(s);
    return RoiBoxTexts{Std(p.roiBox[0]->text()), Std(p.roiBox[1]->text()),
                       Std(p.roiBox[2]->text()), Std(p.roiBox[3]->text())};
}

Status TChartsPage::RestoreRoiFromLoad(int s, const RoiBoxTexts &texts)
{
    if (s != 1 && s != 2)
        return {};
    PanelControls &p = P(s);
    // The loaded results are current: no evaluation is offered until a bound is set.
    HideEvaluate(p.evaluate, p.clear);
    const std::string *in[4] = {&texts.X1, &texts.X2, &texts.Brutto, &texts.Kozep};
    RoiBoxTexts shown;
    std::string *out[4] = {&shown.X1, &shown.X2, &shown.Brutto, &shown.Kozep};
    for (int i = 0; i < 4; ++i) {
        const std::string_view trimmed = TrimControl(*in[i]);
        const std::string t(trimmed.empty() ? std::string_view("0") : trimmed);
        *out[i] = t;
        p.roiBox[size_t(i)]->setText(Text(t));
    }
    if (Status read = ReadRoiBoxes(shown, m_roi[size_t(s - 1)]); !read)
        return read;
    PlaceRoiMark(s);
    return {};
}
