#include "Main/window/PswdDlg.h"

#include "Main/core/Identification.h"
#include "dialogs/DialogStyle.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

TPasswordDlg::TPasswordDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(QStringLiteral("Azonosító beadása"));
    setModal(true);
    setFont(DialogStyle::PixelFont(QStringLiteral("MS Sans Serif"), 11, false));
    setFixedSize(233, 93);

    m_label = new QLabel(QStringLiteral("Add meg az azonosítódat"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setGeometry(8, 9, 217, 16);

    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Normal); // shown in plain text
    m_password->setGeometry(8, 27, 217, 21);
    m_label->setBuddy(m_password);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_ok->setGeometry(40, 59, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    m_cancel->setGeometry(120, 59, 75, 25);
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(m_password, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_password->setFocus();
    PaintBackground();
}

void TPasswordDlg::PaintBackground()
{
    DialogStyle::SetBackground(this, QColor(0, 80, 80));
    QPalette p = m_label->palette();
    p.setColor(QPalette::WindowText, Qt::white); // readable on the dark background
    m_label->setPalette(p);
}

void TPasswordDlg::showEvent(QShowEvent *e)
{
    PaintBackground();
    QDialog::showEvent(e);
}

void TPasswordDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        PaintBackground();
    QDialog::changeEvent(e);
}

void TPasswordDlg::done(int r)
{
    m_isContestant = false;
    m_isJury = false;
    if (r != QDialog::Accepted) {
        QDialog::done(r);
        return;
    }
    const IdentificationResult id = IdentifyUser(m_password->text().toStdString());
    if (id.Accepted) {
        m_isContestant = id.IsContestant;
        m_isJury = id.IsJury;
        m_userId = id.UserId;
        QDialog::done(r);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("*** HIBA ***"),
                    QStringLiteral("Érvénytelen kód!"), QMessageBox::Ok, this);
    box.exec();
    m_password->selectAll();
    m_password->setFocus();
}
