#ifndef TLITEMRECTS_H
#define TLITEMRECTS_H

#include <QList>
#include <QRect>

#include <functional>

class QDebug;

// The hit box of every item, index i for model row i, read like a list of
// rectangles. Entries are worked out when they are read, from the boxes the
// chart keeps between paints, so that reading one does not lay out every
// label of a large chart; converting to a list works out all of them.
class TLItemRects
{
public:
    using CountFunction = std::function<qsizetype()>;
    using RectFunction = std::function<QRect(qsizetype row)>;

    TLItemRects(CountFunction count, RectFunction rect);

    qsizetype size() const { return countOf(); }
    qsizetype count() const { return countOf(); }
    bool isEmpty() const { return countOf() == 0; }
    QRect at(qsizetype row) const { return rectOf(row); }
    QRect operator[](qsizetype row) const { return rectOf(row); }
    QRect first() const { return rectOf(0); }
    QRect last() const { return rectOf(countOf() - 1); }

    QList<QRect> toList() const;
    operator QList<QRect>() const { return toList(); }

    friend bool operator==(const TLItemRects &a, const QList<QRect> &b) { return a.toList() == b; }
    friend bool operator==(const QList<QRect> &a, const TLItemRects &b) { return a == b.toList(); }
    friend bool operator!=(const TLItemRects &a, const QList<QRect> &b) { return !(a == b); }
    friend bool operator!=(const QList<QRect> &a, const TLItemRects &b) { return !(a == b); }

private:
    CountFunction countOf;
    RectFunction rectOf;
};

QDebug operator<<(QDebug debug, const TLItemRects &rects);

#endif
