#include "dialogs/DialogStyle.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace DialogStyle {

QFont PixelFont(const QString &family, int pixelSize, bool bold)
{
    QFont f;
    f.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                   QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

void SetBackground(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

static QRect ScreenArea(const QWidget *w)
{
    QScreen *s = w->screen();
    if (!s)
        s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

void CenterOnScreen(QWidget *w)
{
    const QRect area = ScreenArea(w);
    w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}

void CenterOver(QWidget *w, const QWidget *over)
{
    if (!over || !over->isVisible()) {
        CenterOnScreen(w);
        return;
    }
    const QWidget *top = over->window();
    const QRect g = top->frameGeometry();
    // The frame's own size: its title bar and borders count once they are known.
    const QSize s = w->frameGeometry().size();
    w->move(g.center() - QPoint(s.width() / 2, s.height() / 2));
}

QStringList MemoLines(const QPlainTextEdit *memo)
{
    QStringList lines = memo->toPlainText().split(QChar(u'\n'), Qt::KeepEmptyParts);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

void SetMemoLines(QPlainTextEdit *memo, const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QChar(u'\n');
    }
    memo->setPlainText(text);
}

OkCancel AddOkCancel(QDialog *dialog)
{
    auto *ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setGeometry(300, 8, 75, 25);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);

    auto *cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setGeometry(300, 38, 75, 25);
    cancel->setAutoDefault(false);
    // The dialog's Escape rejects it too.
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {ok, cancel};
}

} // namespace DialogStyle
