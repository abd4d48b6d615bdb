#pragma once
// Where the program keeps the contestant folders and starts the data list's
// save dialog: beside the program file when that folder is writable (a build
// folder, a portable copy on a stick), otherwise in the user's own data folder,
// as for a program installed into a system folder (or any installed copy).
#include <QString>

struct ProgramFolderChoice {
    QString Folder;          // ends with "/"
    bool BesideProgram = true;
};

// `programDir` is the folder of the program file, `perUserDir` the user's data
// folder (created when chosen; if even that fails, the program's folder stays).
ProgramFolderChoice ChooseProgramFolder(const QString &programDir, const QString &perUserDir);

// The choice for this program: its own folder, else QStandardPaths::AppDataLocation.
ProgramFolderChoice ChooseProgramFolder();
