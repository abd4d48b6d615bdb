#include "Main/window/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

QString InstallTranslators(QCoreApplication &app)
{
    // The toolkit's own folder first; a copy deployed beside the program (as on
    // Windows and macOS bundles without a toolkit installation) next.
    const QStringList folders = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                 QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString &folder : folders) {
        auto *translator = new QTranslator(&app);
        if (translator->load(QStringLiteral("qtbase_hu"), folder) && app.installTranslator(translator))
            return QDir(folder).filePath(QStringLiteral("qtbase_hu.qm"));
        delete translator;
    }
    return {};
}
