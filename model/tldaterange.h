#ifndef TLDATERANGE_H
#define TLDATERANGE_H

#include <QDate>

// The dates a chart takes, and those its native format can store. The
// format stores a date as a 32-bit Julian day in which 0 means no date, so
// it holds every day from 25 November 4714 BC on; a table also holds the
// years before, back to 9999 BC.
class TLDateRange
{
public:
    static QDate first();
    static QDate last();
    static bool contains(const QDate &date);

    // Whether the native format can store the date; a null date is stored
    // as no date.
    static bool isStorable(const QDate &date);
};

#endif
