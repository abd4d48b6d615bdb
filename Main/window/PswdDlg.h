#pragma once
// The identification dialog shown at start-up: a contestant number or the jury code.
#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

class TPasswordDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget *parent = nullptr);

    // Results of the last close: both false after Cancel or before any accepted try.
    bool IsContestant() const { return m_isContestant; }
    bool IsJury() const { return m_isJury; }
    // The accepted identifier without surrounding blanks and control characters;
    // kept from the previous acceptance (empty at first) when the dialog is cancelled.
    const std::string &UserId() const { return m_userId; }

    QLineEdit *Password() const { return m_password; }
    QLabel *Label1() const { return m_label; }
    QPushButton *OKBtn() const { return m_ok; }
    QPushButton *CancelBtn() const { return m_cancel; }

    // Every way of closing comes here: OK is checked and may be refused.
    void done(int r) override;

protected:
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void PaintBackground();

    QLabel *m_label = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_isContestant = false;
    bool m_isJury = false;
    std::string m_userId;
};
