#include "view/tlitemrects.h"

#include "view/tlchartlayout.h"

#include <QDebug>

TLItemRects::TLItemRects(TLChartLayout *layout)
    : layout(layout)
{
}

qsizetype TLItemRects::size() const
{
    return layout->rowCount();
}

QRect TLItemRects::at(qsizetype row) const
{
    return row < 0 || row > INT_MAX ? QRect() : layout->hitBox(int(row));
}

QList<QRect> TLItemRects::toList() const
{
    const qsizetype n = size();
    QList<QRect> rects;
    rects.reserve(n);
    for (qsizetype row = 0; row < n; ++row)
        rects.append(at(row));
    return rects;
}

QDebug operator<<(QDebug debug, const TLItemRects &rects)
{
    return debug << rects.toList();
}
