#include "app/zelvaro.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

static void loadTranslation(QTranslator &translator, const QString &prefix, const QString &locale)
{
    // A missing file is fine: the texts then stay as written. The translator
    // is installed either way.
    static_cast<void>(translator.load(QCoreApplication::applicationDirPath() + QDir::separator() + prefix + locale,
                                      QString(), QString(), QString()));
    QCoreApplication::installTranslator(&translator);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString locale = QLocale::system().name();
    QTranslator appTranslator;
    loadTranslation(appTranslator, QStringLiteral("zelvaro_"), locale);
    QTranslator qtTranslator;
    loadTranslation(qtTranslator, QStringLiteral("qt_"), locale);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":images/logo.png")));
    // Ties the windows to the installed desktop entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral(ZELVARO_APP_ID));

    Zelvaro window;
    const QStringList arguments = QCoreApplication::arguments();
    window.openCommandLine(arguments);
    window.setVisible(true);
    return app.exec();
}
