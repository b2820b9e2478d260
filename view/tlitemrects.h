#ifndef TLITEMRECTS_H
#define TLITEMRECTS_H

#include <QList>
#include <QRect>

class QDebug;
class TLChartLayout;

// The hit box of every item, index i for model row i, read like a list of
// rectangles. Entries are worked out when they are read, from the boxes the
// chart's layout keeps between paints, so that reading one does not lay out
// every label of a large chart; converting to a list works out all of them.
class TLItemRects
{
public:
    explicit TLItemRects(TLChartLayout *layout);

    qsizetype size() const;
    qsizetype count() const { return size(); }
    bool isEmpty() const { return size() == 0; }
    QRect at(qsizetype row) const;
    QRect operator[](qsizetype row) const { return at(row); }
    QRect first() const { return at(0); }
    QRect last() const { return at(size() - 1); }

    QList<QRect> toList() const;
    operator QList<QRect>() const { return toList(); }

    friend bool operator==(const TLItemRects &a, const QList<QRect> &b) { return a.toList() == b; }
    friend bool operator==(const QList<QRect> &a, const TLItemRects &b) { return a == b.toList(); }
    friend bool operator!=(const TLItemRects &a, const QList<QRect> &b) { return !(a == b); }
    friend bool operator!=(const QList<QRect> &a, const TLItemRects &b) { return !(a == b); }

private:
    TLChartLayout *layout;
};

QDebug operator<<(QDebug debug, const TLItemRects &rects);

#endif
