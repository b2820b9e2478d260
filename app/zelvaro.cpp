#include "app/zelvaro.h"

#include <QStringList>

Zelvaro::Zelvaro(QWidget *parent)
    : QMainWindow(parent)
{
}

void Zelvaro::openCommandLine(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return;
    const QString &path = arguments.at(1);
    if (path.endsWith(QLatin1String(".csv")))
        loadCsv(path);
    if (path.endsWith(QLatin1String(".vrk")))
        loadNative(path);
}

void Zelvaro::loadNative(const QString &)
{
}

void Zelvaro::loadCsv(const QString &)
{
}
