// The page "Grafikonok": drawing the charts and their Y scale, with the "Auto"
// switch and the "Y-Max" box.
#include "Main/charts/ChartsPage.h"

#include "Main/charts/ChartsPanel.h"
#include "Main/core/NumberText.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <qcustomplot.h>

#include <cmath>

using ChartsText::SetEditText;

void TChartsPage::SetBackground(int s, const QColor &c)
{
    PanelControls &p = P(s);
    if (p.background == c)
        return;
    p.background = c;
    p.chart->setBackground(QBrush(c));
    QPalette fp = p.chartFrame->palette();
    fp.setColor(QPalette::Window, c);
    p.chartFrame->setPalette(fp);
    RequestDraw(s);
}

void TChartsPage::RequestDraw(int s)
{
    P(s).chart->replot(QCustomPlot::rpQueuedReplot);
}

void TChartsPage::OnSpectrumChanged(int s)
{
    if (s == 1 || s == 2)
        RequestDraw(s);
}

// ---------------------------------------------------------------------------------
// Drawing and the Y scale

void TChartsPage::Chart1BeforeDraw()
{
    const int s = TagOf(sender());
    if (!s)
        return;
    PanelControls &p = P(s);
    // The graph only shows the counts: they are copied in just before drawing.
    const SpectrumCounts &counts = m_spectra.Counts(s);
    QSharedPointer<QCPGraphDataContainer> data = p.series->data();
    if (data->size() == ChannelCount) {
        auto it = data->begin();
        for (int i = 0; i < ChannelCount; ++i, ++it)
            it->value = counts[size_t(i)];
    }
    if (p.autoMax) {
        const double m = m_spectra.MaxCount(s);
        if (m > 0)
            p.chart->yAxis->setRange(0, m);
    }
}

void TChartsPage::Chart1AfterDraw()
{
    const int s = TagOf(sender());
    if (!s)
        return;
    PanelControls &p = P(s);
    ++p.replots;
    const QCPRange y = p.chart->yAxis->range();
    if (y.lower != 0.0)
        SetYRange(s, 0, y.upper);
    SetEditText(p.yMax, Text(FormatGeneral(p.chart->yAxis->range().upper)));
    if (p.autoBox->isChecked())
        ApplyAutoRule(s);
}

void TChartsPage::SetYRange(int s, double lo, double hi)
{
    if (!(hi > lo) || !std::isfinite(hi))
        return;
    QCPAxis *axis = P(s).chart->yAxis;
    if (axis->range().lower == lo && axis->range().upper == hi)
        return;
    axis->setRange(lo, hi);
    RequestDraw(s);
}

void TChartsPage::SetAutoMaximum(int s, bool on)
{
    PanelControls &p = P(s);
    p.autoMax = on;
    if (on) {
        const double m = m_spectra.MaxCount(s);
        if (m > 0)
            SetYRange(s, 0, m);
    }
}

// With "Auto" ticked the Y axis stays at 0..100 until a channel passes 100, then
// follows the largest count.
void TChartsPage::ApplyAutoRule(int s)
{
    if (m_spectra.MaxCount(s) > 100) {
        SetAutoMaximum(s, true);
    } else {
        SetAutoMaximum(s, false);
        SetYRange(s, 0, 100);
        SetEditText(P(s).yMax, QStringLiteral("100"));
    }
}

void TChartsPage::CheckBox7Click()
{
    const int s = TagOf(sender());
    if (s)
        AutoSwitchChanged(s, P(s).autoBox->isChecked());
}

void TChartsPage::AutoSwitchChanged(int s, bool ticked)
{
    SetAutoMaximum(s, ticked);
    if (ticked)
        ApplyAutoRule(s);
}

void TChartsPage::SetAutoChecked(int s, bool checked)
{
    if (s != 1 && s != 2)
        return;
    QCheckBox *box = P(s).autoBox;
    if (box->isChecked() == checked)
        return;
    box->setChecked(checked);
    AutoSwitchChanged(s, checked);
}

void TChartsPage::AfterSpectrumReplaced(int s)
{
    if (s != 1 && s != 2)
        return;
    SetAutoMaximum(s, true);
    double hi = P(s).chart->yAxis->range().upper;
    if (hi < 100)
        hi = 100;
    P(s).chart->yAxis->setRange(0, hi);
    RequestDraw(s);
}

bool TChartsPage::Edit17Exit(QLineEdit *box)
{
    const int s = TagOf(box);
    if (!s)
        return true;
    const std::optional<int32_t> v = ParseInt(Std(box->text()));
    if (!v || *v < 100)
        return false; // the caller keeps the focus in the box with the text selected
    SetAutoMaximum(s, false);
    if (P(s).autoBox->isChecked()) {
        P(s).autoBox->setChecked(false);
        AutoSwitchChanged(s, false);
    }
    SetYRange(s, 0, *v);
    return true;
}

bool TChartsPage::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    const int s = TagOf(box);
    if (box && s && m_panels[s - 1] && m_panels[s - 1]->yMax == box) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (!Edit17Exit(box))
                    box->selectAll();
                return true; // consumed: no beep, no default button
            }
        } else if (event->type() == QEvent::FocusOut) {
            // Switching windows or opening a menu does not leave the box, and
            // neither does passing through it by Tab without typing: only a text
            // the user typed fixes the scale. A refused text takes the focus back
            // once the focus change under way is over.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && box->isModified() &&
                !Edit17Exit(box)) {
                QPointer<QLineEdit> guard(box);
                QTimer::singleShot(0, box, [guard] {
                    if (guard && guard->isVisible()) {
                        guard->setFocus();
                        guard->selectAll();
                    }
                });
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
