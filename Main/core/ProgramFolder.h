#pragma once
// Where the program keeps the contestant folders and starts the data list's
// save dialog: in the user's own data folder for an installed copy (a `bin/`
// beside `share/metainfo/` with the program's metainfo file) and for a program
// whose folder is not writable; otherwise beside the program file (a build
// folder, a portable copy on a stick).
#include <QString>

struct ProgramFolderChoice {
    QString Folder;          // ends with "/"
    bool BesideProgram = true;
};

// `programDir` is the folder of the program file, `perUserDir` the user's data
// folder. Nothing is created here: the user's data folder is made only once
// someone has identified (CreateProgramFolder), so a start that ends at the
// identification leaves no trace in the user's home.
ProgramFolderChoice ChooseProgramFolder(const QString &programDir, const QString &perUserDir);

// Makes the chosen folder with its parents when it is the user's data folder;
// the program's own folder exists already. False when it could not be made.
bool CreateProgramFolder(const ProgramFolderChoice &choice);

// The choice for this program: its own folder, else QStandardPaths::AppDataLocation.
ProgramFolderChoice ChooseProgramFolder();
