#include "view/tlitemrects.h"

#include <QDebug>

TLItemRects::TLItemRects(CountFunction count, RectFunction rect)
    : countOf(std::move(count))
    , rectOf(std::move(rect))
{
}

QList<QRect> TLItemRects::toList() const
{
    const qsizetype n = countOf();
    QList<QRect> rects;
    rects.reserve(n);
    for (qsizetype row = 0; row < n; ++row)
        rects.append(rectOf(row));
    return rects;
}

QDebug operator<<(QDebug debug, const TLItemRects &rects)
{
    return debug << rects.toList();
}
