#pragma once
// The about box of the menu item "Névjegy".
#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;

// The program's icon, drawn at run time: a teal square with a purple sector arc.
QPixmap ProgramIcon(int size = 32);

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    QLabel *ProgramIconLabel() const { return m_icon; }
    QLabel *ProductName() const { return m_title; }
    QPushButton *OKButton() const { return m_ok; }
    QLabel *FolderLine() const { return m_folder; }

    // Names the folder the contestant folders go to and why it was chosen.
    void SetProgramFolder(const QString &folder, bool besideProgram);

protected:
    void showEvent(QShowEvent *e) override;

private:
    QLabel *m_icon = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_folder = nullptr;
    QPushButton *m_ok = nullptr;
};
