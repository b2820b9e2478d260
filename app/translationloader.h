#ifndef TRANSLATIONLOADER_H
#define TRANSLATIONLOADER_H

#include <QStringList>

class QTranslator;

// Where the translation files for the user's locale are looked for. The
// program's own folder comes first for both files, so a file put beside
// the program always wins; then the program's texts are looked for where
// they are installed, and the toolkit's texts where the toolkit keeps them.
class TranslationLoader
{
public:
    static QStringList programFolders(const QString &programDir);
    static QStringList toolkitFolders(const QString &programDir);

    // Loads prefix + locale from the first folder that has it, shortening
    // the locale name as QTranslator does (de_DE, then de). A translator
    // that finds no file stays empty and leaves every text as written.
    static bool load(QTranslator *translator, const QString &prefix, const QString &locale,
                     const QStringList &folders);
};

#endif
