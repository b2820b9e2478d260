#include "model/tldaterange.h"

namespace {

constexpr qint64 firstStoredDay = 1;
constexpr qint64 lastStoredDay = 0xFFFFFFFF;

}

QDate TLDateRange::first()
{
    return QDate(-9999, 1, 1);
}

QDate TLDateRange::last()
{
    return QDate::fromJulianDay(lastStoredDay);
}

bool TLDateRange::contains(const QDate &date)
{
    return date.isValid() && date >= first() && date <= last();
}

bool TLDateRange::isStorable(const QDate &date)
{
    return date.isNull() || (date.toJulianDay() >= firstStoredDay && date.toJulianDay() <= lastStoredDay);
}
