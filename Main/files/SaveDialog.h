#pragma once
// The main window's file dialogs (SaveDialog1, OpenDialog1), shared by the
// layout file, the text exports and the picture exports: each command sets its
// own filter and default extension, the dialog starts in the working folder
// the first time, offers the name chosen last by whichever command, and the
// previous filter comes back after the command.
#include <QString>
#include <functional>

class QWidget;

class TFileDialog {
public:
    enum class Kind { Save, Open };
    explicit TFileDialog(Kind kind) : m_kind(kind) {}

    // Filters are written "Text (*.a)|*.a|Other (*.*)|*.*": a display text and its pattern.
    QString Filter;
    QString DefaultExt;      // ".ini", ".txt", ".jpg"
    QString InitialDir;      // empty until the first command sets it
    QString FileName;        // the name chosen last; empty the first time
    bool OverwritePrompt() const { return m_kind == Kind::Save; }
    Kind DialogKind() const { return m_kind; }

    // Asks for a file with `filter` and `defaultExt`, starting in `workFolder` when
    // no folder was set yet. The chosen path (with the default extension added to
    // a name without one), or empty when cancelled. The previous filter is restored.
    QString Ask(QWidget *parent, const QString &filter, const QString &defaultExt, const QString &workFolder);

    // Qt's form of a filter: "Text (*.a);;Other (*.*)".
    static QString QtFilter(const QString &filter);

    // Replaces the real dialog (tests): given this dialog, returns the path or empty.
    std::function<QString(QWidget *, const TFileDialog &)> Asker;

private:
    QString Run(QWidget *parent);
    Kind m_kind;
};
