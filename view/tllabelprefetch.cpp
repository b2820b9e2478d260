#include "view/tllabelprefetch.h"

#include <QTimer>

TLLabelPrefetch::TLLabelPrefetch(TLChartLayout *layout, QObject *parent)
    : QObject(parent)
    , layout(layout)
    , timer(new QTimer(this))
{
    timer->setSingleShot(true);
    timer->setInterval(0);
    connect(timer, &QTimer::timeout, this, &TLLabelPrefetch::prepareNext);
}

void TLLabelPrefetch::prepareAround(const QRect &newView, const QRect &newChart, Qt::Orientation axis,
                                    const TLChartLayout::CoverFunction &newCover)
{
    if (newView == view && newChart == chart && axis == timeAxis)
        return;
    view = newView;
    chart = newChart;
    timeAxis = axis;
    cover = newCover;
    next = 0;
    timer->start();
}

void TLLabelPrefetch::stop()
{
    timer->stop();
    next = Strips;
    view = QRect();
}

int TLLabelPrefetch::stripsLeft() const
{
    return Strips - next;
}

// Strips of an eighth of the view, after and before it in turn.
QRect TLLabelPrefetch::strip(int step) const
{
    const bool horizontal = timeAxis == Qt::Horizontal;
    const int length = std::max(1, (horizontal ? view.width() : view.height()) / (Strips / 2));
    const int distance = step / 2;
    const int offset = step % 2 == 0 ? (horizontal ? view.width() : view.height()) + distance * length
                                     : -(distance + 1) * length;
    QRect part = horizontal ? QRect(view.left() + offset, view.top(), length, view.height())
                            : QRect(view.left(), view.top() + offset, view.width(), length);
    return part & chart;
}

void TLLabelPrefetch::prepareNext()
{
    // A strip is what a scroll step paints: one costs about as much.
    while (next < Strips) {
        const QRect part = strip(next++);
        if (!part.isEmpty()) {
            layout->rowsToPaint(part, cover);
            break;
        }
    }
    if (next < Strips)
        timer->start();
}
