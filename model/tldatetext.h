#ifndef TLDATETEXT_H
#define TLDATETEXT_H

#include <QString>

class QDate;

// Dates as people read them, on the chart, in the table and in the date
// editors.
class TLDateText
{
public:
    // The date in a format of the fields d, dd, M, MM, MMM, MMMM, yy and
    // yyyy (text in single quotes as it stands). Month names are in the
    // system locale's language as the rest of the desktop shows them, the
    // numbers as QDate::toString writes them. A year before 1 reads as its
    // number and the era, "44 BC" ("44 v. Chr." in German): Qt's year -44
    // is 44 BC, and there is no year 0.
    static QString format(const QDate &date, const QString &format);

    // The year before 1 as it reads: 44 BC for -44.
    static QString yearBeforeChrist(int year);

    // The era after a year before 1, as yearBeforeChrist writes it.
    static QString beforeChristSuffix();

    // The format with every run of y outside quotes replaced by year.
    static QString withYears(const QString &format, const QString &year);
};

#endif
