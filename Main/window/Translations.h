#pragma once
// The toolkit's own texts (file dialogs, the text fields' menus, standard
// buttons) in Hungarian, whatever the system's language.
#include <QString>

class QCoreApplication;

// Installs the toolkit's Hungarian translation into `app`. Call it before any
// widget is created. A missing translation file is no error: the program then
// runs with the toolkit's English texts. Returns the file loaded, or an empty
// string when none was found.
QString InstallTranslators(QCoreApplication &app);
