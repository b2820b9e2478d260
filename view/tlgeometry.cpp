#include "view/tlgeometry.h"

#include <QDate>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QTransform>
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

QRect visibleArea(QPainter *painter, const QRect &widgetRect)
{
    QRectF area = widgetRect;
    // The engine's device is the surface really drawn on, measured in device
    // pixels; the device transform carries the widget's coordinates onto it,
    // with the display's scale and the offset of a grabbed part.
    const QPaintEngine *engine = painter->paintEngine();
    bool invertible = false;
    const QTransform toLogical = painter->deviceTransform().inverted(&invertible);
    if (engine && invertible) {
        const QPaintDevice *surface = engine->paintDevice();
        if (surface && surface->width() > 0 && surface->height() > 0)
            area &= toLogical.mapRect(QRectF(0, 0, surface->width(), surface->height()));
        if (!engine->systemClip().isEmpty())
            area &= toLogical.mapRect(QRectF(engine->systemClip().boundingRect()));
    }
    if (painter->hasClipping())
        area &= painter->clipBoundingRect();
    return area.toAlignedRect();
}

}
