#include "app/translationloader.h"
#include "app/zelvaro.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString locale = QLocale::system().name();
    const QString programDir = QCoreApplication::applicationDirPath();
    // A missing file is fine: the texts then stay as written. Both
    // translators are installed either way, the program's first.
    QTranslator appTranslator;
    TranslationLoader::load(&appTranslator, QStringLiteral("zelvaro_"), locale,
                            TranslationLoader::programFolders(programDir));
    QCoreApplication::installTranslator(&appTranslator);
    QTranslator qtTranslator;
    TranslationLoader::load(&qtTranslator, QStringLiteral("qt_"), locale,
                            TranslationLoader::toolkitFolders(programDir));
    QCoreApplication::installTranslator(&qtTranslator);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":images/logo.png")));
    // Ties the windows to the installed desktop entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral(ZELVARO_APP_ID));

    Zelvaro window;
    const QStringList arguments = QCoreApplication::arguments();
    window.openCommandLine(arguments);
    window.setVisible(true);
    return app.exec();
}
