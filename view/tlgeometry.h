#ifndef TLGEOMETRY_H
#define TLGEOMETRY_H

#include <QtGlobal>

class QDate;
class QPainter;
class QRect;

// Date and pixel arithmetic shared by the chart widget and its styles.
namespace TLGeometry {

// The Julian day, with a null date counting as day 0.
qint64 julianDay(const QDate &date);

// Days from a to b, with a null date counting as Julian day 0: a missing
// end date then lies far before any chart start and never forms a span.
qint64 daysBetween(const QDate &a, const QDate &b);

// Truncation toward zero, clamped to the int range so that absurd zoom
// factors or ranges cannot overflow.
int truncate(double value);

// Truncation held within pixelLimit of zero: coordinates far beyond any
// widget stay where adding a box size or a label offset cannot overflow an
// int, and off screen all the same. A box keeps a span of up to the limit;
// the width its label is laid out at is held lower still, below what the
// text layout takes (TLRichText::layoutWidth).
const int pixelLimit = 1 << 29;
int pixel(double value);

// A widget size clamped to what a widget accepts.
int clampSize(qint64 value);

// The part of the widget this paint can change, in the widget's logical
// coordinates whatever the device pixel ratio. Paint events and grabs
// carry no painter clip, only the engine's system clip in device pixels;
// either narrows the work to what is exposed, as does the size of the
// surface painted on.
QRect visibleArea(QPainter *painter, const QRect &widgetRect);

}

#endif
