#include "styles/tline1.h"

#include "model/tlitemmodel.h"
#include "styles/tldraw.h"
#include "model/tldatetext.h"
#include "view/tlgeometry.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

using TLGeometry::visibleArea;
using TLGeometry::clampSize;
using TLGeometry::daysBetween;
using TLGeometry::pixel;
using TLGeometry::truncate;

namespace {

const TLDraw::MarkThresholds thresholds = { 70.0, 20.0, 40.0, 20.0, 25.0, true };

}

TLine1::TLine1(QWidget *parent)
    : TLine(parent, Qt::Horizontal)
{
}

void TLine1::recalcSize()
{
    setFixedSize(clampSize(truncate((daysBetween(start, end) + 1) * dayWidth + 10.0)),
                 clampSize(truncate(maxPos * posHeight)));
    updateBg();
    update();
}

int TLine1::dateToX(const QDate &date) const
{
    return pixel(daysBetween(start, date) * dayWidth + 5.0);
}

int TLine1::posToY(int pos) const
{
    return pixel(pos * posHeight);
}

void TLine1::paint(QPainter *painter)
{
    const int w = width();
    const int h = height();
    painter->fillRect(QRect(0, 0, w, h), QBrush(bg));

    const int axisY = pixel(double(posToY(tPos / 10)) + 20.0 + (tPos % 10) * (posHeight / 10.0));
    const QFontMetrics metrics(painter->font());

    const auto drawMark = [&](TLDraw::MarkKind kind, const QDate &day, const QString &label) {
        const int x = dateToX(day);
        const int half = metrics.horizontalAdvance(label) / 2;
        const QPen savedPen = painter->pen();
        switch (kind) {
        case TLDraw::MarkKind::Year:
            painter->setPen(TLDraw::markPen(kind, painter));
            painter->drawLine(x, axisY + 20, x, 0);
            painter->drawText(QPointF(x - half, axisY + 25), label);
            painter->drawLine(x, axisY + 28, x, h);
            break;
        case TLDraw::MarkKind::Month:
            painter->drawLine(x, axisY + 10, x, axisY);
            painter->drawText(QPointF(x - half, axisY + 20), label);
            painter->setPen(TLDraw::markPen(kind, painter));
            painter->drawLine(x, axisY, x, 0);
            painter->drawLine(x, axisY + 22, x, h);
            break;
        case TLDraw::MarkKind::Week:
        case TLDraw::MarkKind::Day:
            painter->setPen(TLDraw::markPen(kind, painter));
            painter->drawLine(x, axisY, x, 0);
            painter->drawLine(x, axisY + 12, x, h);
            painter->setPen(savedPen);
            painter->drawLine(x, axisY + 5, x, axisY);
            painter->drawText(QPointF(x - half, axisY + 15), label);
            break;
        }
        painter->setPen(savedPen);
    };
    // Labels are centred on their mark, so marks a label's width outside the
    // visible area can still reach into it.
    const QRect visible = visibleArea(painter, rect());
    const double pad = metrics.horizontalAdvance(QStringLiteral("MMMMMM")) + 10.0;
    if (const auto days = TLDraw::daysInReach(visible.left() - pad, visible.right() + pad, 5.0, dayWidth,
                                              double(daysBetween(start, end)) + 1.0))
        TLDraw::scanDateMarks(start, end, dayWidth, displayFlags, thresholds, drawMark, days);

    if (displayFlags.contains(MarkEnds)) {
        const QString format = QStringLiteral("dd MMM yyyy");
        const int xs = dateToX(start);
        painter->drawLine(xs, axisY + 25, xs, axisY);
        painter->drawText(QPointF(xs, axisY + 30), TLDateText::format(start, format));
        const int xe = dateToX(end);
        const QString endLabel = TLDateText::format(end, format);
        painter->drawLine(xe, axisY + 25, xe, axisY);
        painter->drawText(QPointF(xe - metrics.horizontalAdvance(endLabel), axisY + 30), endLabel);
    }

    TLDraw::drawArrow(painter, axisY, (daysBetween(start, end) + 1) * dayWidth, 5, Qt::Horizontal, displayFlags);

    paintItems(painter);
}

void TLine1::paintItem(QPainter *painter, int row, const QRect &shownPart)
{
    QRect box;
    QTextDocument *label = itemLabel(row, &box);
    if (!label)
        return;
    const TLItem item = TLItemModel::item(model, row);
    TLDraw::drawHorizontalItem(painter, rect(), bg, item, box, dateToX(item.endDate), label, displayFlags,
                               decoratesBoxes(), shownPart);
}
