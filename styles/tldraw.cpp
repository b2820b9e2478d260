#include "styles/tldraw.h"

#include <QBrush>
#include <QColor>
#include <QDate>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QSet>
#include <QString>
#include <QTextDocument>

namespace TLDraw {

QSize layoutItemText(QTextDocument *, const QString &, std::optional<int>)
{
    return QSize();
}

void drawItemBox(QPainter *, const QRect &, const QBrush &, int, int, int, int, const QColor &, QTextDocument *,
                 const QSet<int> &, bool)
{
}

void drawItemDates(QPainter *, int, int, const QString &, int, const QString &, int)
{
}

void scanDateMarks(const QDate &, const QDate &, double, const QSet<int> &, const MarkThresholds &,
                   const MarkDrawer &, std::optional<DayWindow>)
{
}

QPolygonF arrowPolygon(double, int, int, Qt::Orientation)
{
    return QPolygonF();
}

QPolygonF arrowShadowPolygon(double, int, int, Qt::Orientation)
{
    return QPolygonF();
}

void drawArrow(QPainter *, int, double, int, Qt::Orientation, const QSet<int> &)
{
}

QPen markPen(MarkKind)
{
    return QPen();
}

}
