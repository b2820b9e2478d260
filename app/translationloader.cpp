#include "app/translationloader.h"

#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

QStringList TranslationLoader::programFolders(const QString &programDir)
{
    const QString installed = programDir + QLatin1Char('/') + QLatin1String(ZELVARO_INSTALLED_TRANSLATIONS);
    return { programDir, QDir::cleanPath(installed) };
}

QStringList TranslationLoader::toolkitFolders(const QString &programDir)
{
    return { programDir, QLibraryInfo::path(QLibraryInfo::TranslationsPath) };
}

bool TranslationLoader::load(QTranslator *translator, const QString &prefix, const QString &locale,
                             const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (translator->load(folder + QDir::separator() + prefix + locale, QString(), QString(), QString()))
            return true;
    }
    return false;
}
