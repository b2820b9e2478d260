#include "view/tlgeometry.h"

#include <QDate>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cmath>

namespace TLGeometry {

qint64 julianDay(const QDate &date)
{
    return date.isNull() ? 0 : date.toJulianDay();
}

qint64 daysBetween(const QDate &a, const QDate &b)
{
    return julianDay(b) - julianDay(a);
}

int truncate(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return int(value);
}

int pixel(double value)
{
    return std::clamp(truncate(value), -pixelLimit, pixelLimit);
}

int clampSize(qint64 value)
{
    return int(std::clamp<qint64>(value, 0, QWIDGETSIZE_MAX));
}

}
