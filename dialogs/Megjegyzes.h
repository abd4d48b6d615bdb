#pragma once
// The note dialog: a free multi-line note that the layout file and the text exports
// carry. It lives for the whole run, so the note survives from one use to the next.
#include <QDialog>
#include <QStringList>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TMegjDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TMegjDlg(QWidget *parent = nullptr);

    // The note, one entry per line (a final line break adds no empty line).
    QStringList Lines() const;
    void SetLines(const QStringList &lines);
    void Clear();

    QPlainTextEdit *Memo1() const { return m_memo; }
    QLabel *Label1() const { return m_label; }
    QFrame *Bevel1() const { return m_bevel; }
    QPushButton *Button1() const { return m_clear; }
    QPushButton *OKBtn() const { return m_ok; }
    QPushButton *CancelBtn() const { return m_cancel; }

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QFrame *m_bevel = nullptr;
    QLabel *m_label = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
