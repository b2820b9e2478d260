#ifndef TLLABELPREFETCH_H
#define TLLABELPREFETCH_H

#include "view/tlchartlayout.h"

#include <QObject>
#include <QRect>

class QTimer;

// Lays out in idle time the labels that a scroll step away from the view
// will show: a strip along the time axis at a time, nearest first, up to a
// view's length on either side, and then stops. It only saves time; a paint
// lays out whatever it finds missing.
class TLLabelPrefetch : public QObject
{
    Q_OBJECT

public:
    static constexpr int Strips = 16;

    TLLabelPrefetch(TLChartLayout *layout, QObject *parent);

    // Starts over around view, inside chart, unless it is where it was;
    // cover is the paint's.
    void prepareAround(const QRect &view, const QRect &chart, Qt::Orientation timeAxis,
                       const TLChartLayout::CoverFunction &cover);
    void stop();
    int stripsLeft() const;

private:
    void prepareNext();
    QRect strip(int step) const;

    TLChartLayout *layout;
    QTimer *timer;
    QRect view;
    QRect chart;
    Qt::Orientation timeAxis = Qt::Horizontal;
    TLChartLayout::CoverFunction cover;
    int next = Strips;
};

#endif
