#pragma once
// The data list dialog: the lines of one spectrum shown in an editable memo, which
// its pop-up item "Mentés fájlba" saves to a text file.
#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QFrame;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The settings of the dialog's own save dialog.
struct ListSaveDialogSettings {
    QString filter;        // "Szövegfájlok (*.txt);;Minden fájl  (*.*)"
    QString defaultSuffix; // "txt"
    bool confirmOverwrite = true;
    QString initialFolder; // the program's folder
    QString lastFileName;  // offered again the next time; empty at first
};

class TListaDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TListaDlg(const QString &programFolder = QString(), QWidget *parent = nullptr);

    // The spectrum number (1 or 2) of the list shown.
    int ListTag = 0;

    QStringList Lines() const;
    void SetLines(const QStringList &lines);
    void Clear();

    // Called by "Mentés fájlba"; whoever writes the file sets it. Unset, the item
    // does nothing.
    std::function<void()> SaveRequested;
    void Mentsfjlba1Click();

    // Asks for the name of the file to write with the dialog's own save dialog;
    // empty when the user cancels. The name chosen is offered again next time.
    QString AskSaveFileName();
    // Replaces the save dialog (tests, for instance); an empty hook restores it.
    using FileNameAsker = std::function<QString(QWidget *parent, const ListSaveDialogSettings &)>;
    void SetFileNameAsker(FileNameAsker asker) { m_asker = std::move(asker); }

    void SetProgramFolder(const QString &folder) { m_save.initialFolder = folder; }
    const ListSaveDialogSettings &SaveDialogSettings() const { return m_save; }

    QPlainTextEdit *Memo1() const { return m_memo; }
    QMenu *PopupMenu1() const { return m_popup; }
    QAction *Mentsfjlba1() const { return m_saveAction; }
    QFrame *Bevel1() const { return m_bevel; }
    QPushButton *OKBtn() const { return m_ok; }
    QPushButton *CancelBtn() const { return m_cancel; }

protected:
    void showEvent(QShowEvent *e) override;

private:
    QFrame *m_bevel = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    QMenu *m_popup = nullptr;
    QAction *m_saveAction = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    ListSaveDialogSettings m_save;
    FileNameAsker m_asker;
};
