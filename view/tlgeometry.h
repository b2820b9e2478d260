#ifndef TLGEOMETRY_H
#define TLGEOMETRY_H

#include <QtGlobal>

class QDate;

// Date and pixel arithmetic shared by the chart widget and its styles.
namespace TLGeometry {

// Days from a to b, with a null date counting as Julian day 0: a missing
// end date then lies far before any chart start and never forms a span.
qint64 daysBetween(const QDate &a, const QDate &b);

// Truncation toward zero, clamped to the int range so that absurd zoom
// factors or ranges cannot overflow.
int truncate(double value);

}

#endif
