#include "dialogs/ListDlg.h"

#include "dialogs/DialogStyle.h"

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

TListaDlg::TListaDlg(const QString &programFolder, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("ListaDlg"));
    setWindowTitle(QStringLiteral("Adatok listája"));
    setModal(true);
    setFixedSize(384, 575);
    DialogStyle::SetBackground(this, DialogStyle::Teal());

    m_save.filter = QStringLiteral("Szövegfájlok (*.txt);;Minden fájl  (*.*)");
    m_save.defaultSuffix = QStringLiteral("txt");
    m_save.confirmOverwrite = true;
    m_save.initialFolder = programFolder;

    m_bevel = new QFrame(this);
    m_bevel->setObjectName(QStringLiteral("Bevel1"));
    m_bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_bevel->setGeometry(8, 8, 281, 537);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setGeometry(16, 32, 265, 505);
    m_memo->setFont(DialogStyle::PixelFont(QStringLiteral("Arial"), 12, true));
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    // The memo's pop-up menu has this one item instead of the usual edit menu.
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    m_saveAction = m_popup->addAction(QStringLiteral("Mentés fájlba"));
    m_saveAction->setObjectName(QStringLiteral("Mentsfjlba1"));
    connect(m_saveAction, &QAction::triggered, this, &TListaDlg::Mentsfjlba1Click);
    m_memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_memo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popup->popup(m_memo->viewport()->mapToGlobal(pos)); });

    const DialogStyle::OkCancel buttons = DialogStyle::AddOkCancel(this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    setTabOrder(m_memo, m_ok);
    setTabOrder(m_ok, m_cancel);
}

QStringList TListaDlg::Lines() const
{
    return DialogStyle::MemoLines(m_memo);
}

void TListaDlg::SetLines(const QStringList &lines)
{
    DialogStyle::SetMemoLines(m_memo, lines);
}

void TListaDlg::Clear()
{
    m_memo->clear();
}

void TListaDlg::Mentsfjlba1Click()
{
    if (SaveRequested)
        SaveRequested();
}

QString TListaDlg::AskSaveFileName()
{
    QString name;
    if (m_asker) {
        name = m_asker(this, m_save);
    } else {
        QFileDialog dialog(this);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters(m_save.filter.split(QStringLiteral(";;")));
        dialog.setDefaultSuffix(m_save.defaultSuffix);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !m_save.confirmOverwrite);
        if (!m_save.initialFolder.isEmpty())
            dialog.setDirectory(m_save.initialFolder);
        if (!m_save.lastFileName.isEmpty())
            dialog.selectFile(m_save.lastFileName);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            name = dialog.selectedFiles().constFirst();
    }
    if (!name.isEmpty())
        m_save.lastFileName = name;
    return name;
}

void TListaDlg::showEvent(QShowEvent *e)
{
    DialogStyle::CenterOnScreen(this);
    QDialog::showEvent(e);
}
