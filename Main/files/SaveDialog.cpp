#include "Main/files/SaveDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString TFileDialog::QtFilter(const QString &filter)
{
    const QStringList parts = filter.split('|');
    QStringList names;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        names << parts[i];
    return names.join(QStringLiteral(";;"));
}

QString TFileDialog::Run(QWidget *parent)
{
    if (Asker)
        return Asker(parent, *this);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(m_kind == Kind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The open dialog does not insist on an existing file: a missing one loads as empty.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, m_kind != Kind::Save);
    dialog.setNameFilter(QtFilter(Filter));
    QString ext = DefaultExt;
    dialog.setDefaultSuffix(ext.remove(0, ext.startsWith('.') ? 1 : 0));
    dialog.setDirectory(InitialDir);
    if (!FileName.isEmpty())
        dialog.selectFile(QFileInfo(FileName).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString TFileDialog::Ask(QWidget *parent, const QString &filter, const QString &defaultExt,
                         const QString &workFolder)
{
    const QString previous = Filter;
    Filter = filter;
    DefaultExt = defaultExt;
    if (InitialDir.isEmpty())
        InitialDir = workFolder;
    QString path = Run(parent);
    if (!path.isEmpty()) {
        if (QFileInfo(path).suffix().isEmpty() && !defaultExt.isEmpty())
            path += defaultExt.startsWith('.') ? defaultExt : '.' + defaultExt;
        FileName = path;
        InitialDir = QFileInfo(path).absolutePath();
    }
    Filter = previous;
    return path;
}
