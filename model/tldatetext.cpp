#include "model/tldatetext.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>

QString TLDateText::yearBeforeChrist(int year)
{
    return QCoreApplication::translate("TLDateText", "%1 BC").arg(-qint64(year));
}

QString TLDateText::beforeChristSuffix()
{
    return yearBeforeChrist(-1).mid(1);
}

QString TLDateText::withYears(const QString &format, const QString &year)
{
    QString replaced;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('y')) {
            replaced.append(c);
            continue;
        }
        while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('y'))
            ++i;
        replaced.append(year);
    }
    return replaced;
}

QString TLDateText::format(const QDate &date, const QString &format)
{
    QString shown = format;
    if (date.year() < 1) {
        // Every run of y outside quotes becomes the year as it reads,
        // quoted so that the formatting takes it as it stands.
        QString quotedYear = yearBeforeChrist(date.year());
        quotedYear.replace(QLatin1Char('\''), QLatin1String("''"));
        quotedYear = QLatin1Char('\'') + quotedYear + QLatin1Char('\'');
        shown = withYears(format, quotedYear);
    }
    // Numeric formats give the same digits everywhere.
    if (shown.contains(QLatin1String("MMM")))
        return QLocale::system().toString(date, shown);
    return date.toString(shown);
}
