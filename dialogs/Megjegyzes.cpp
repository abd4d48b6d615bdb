#include "dialogs/Megjegyzes.h"

#include "dialogs/DialogStyle.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

TMegjDlg::TMegjDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("MegjDlg"));
    setWindowTitle(QStringLiteral("Megjegyzés"));
    setModal(true);
    setFixedSize(384, 179);
    const QFont font = DialogStyle::PixelFont(QStringLiteral("Arial"), 13, true);
    setFont(font);
    DialogStyle::SetBackground(this, DialogStyle::Teal());
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);

    m_bevel = new QFrame(this);
    m_bevel->setObjectName(QStringLiteral("Bevel1"));
    m_bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_bevel->setGeometry(8, 8, 281, 161);

    m_label = new QLabel(QStringLiteral("Megjegyzés beírható: "), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->move(24, 18);
    m_label->adjustSize();

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setGeometry(28, 41, 241, 89);
    m_memo->setFont(font);
    QPalette mp = m_memo->palette();
    mp.setColor(QPalette::Text, Qt::black);
    mp.setColor(QPalette::Base, Qt::white);
    m_memo->setPalette(mp);
    // Both scroll bars: long lines scroll sideways instead of wrapping.
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_label->setBuddy(m_memo);
    // Tab and Shift+Tab leave the memo, as in every other field; Ctrl+Tab types a tab.
    m_memo->setTabChangesFocus(true);
    m_memo->installEventFilter(this);

    m_clear = new QPushButton(QStringLiteral("Megjegyzés törlése"), this);
    m_clear->setObjectName(QStringLiteral("Button1"));
    m_clear->setGeometry(83, 138, 150, 25);
    m_clear->setAutoDefault(false);
    connect(m_clear, &QPushButton::clicked, this, &TMegjDlg::Clear);

    const DialogStyle::OkCancel buttons = DialogStyle::AddOkCancel(this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    setTabOrder(m_memo, m_clear);
    setTabOrder(m_clear, m_ok);
    setTabOrder(m_ok, m_cancel);
}

QStringList TMegjDlg::Lines() const
{
    return DialogStyle::MemoLines(m_memo);
}

void TMegjDlg::SetLines(const QStringList &lines)
{
    DialogStyle::SetMemoLines(m_memo, lines);
}

void TMegjDlg::Clear()
{
    m_memo->clear();
}

bool TMegjDlg::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_memo && e->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Tab && (k->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
            m_memo->insertPlainText(QStringLiteral("\t"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TMegjDlg::showEvent(QShowEvent *e)
{
    DialogStyle::CenterOnScreen(this);
    QDialog::showEvent(e);
}
