#include "styles/tline2.h"

#include "model/tlitemmodel.h"
#include "styles/tldraw.h"
#include "model/tldatetext.h"
#include "view/tlgeometry.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>

using TLGeometry::visibleArea;
using TLGeometry::clampSize;
using TLGeometry::daysBetween;
using TLGeometry::pixel;
using TLGeometry::truncate;

namespace {

const TLDraw::MarkThresholds thresholds = { 30.0, 25.0, 20.0, 20.0, 20.0, true };

}

TLine2::TLine2(QWidget *parent)
    : TLine(parent, Qt::Horizontal)
{
}

void TLine2::recalcSize()
{
    const qint64 days = daysBetween(start, end) + 1;
    if (days > 0)
        setFixedSize(clampSize(truncate(days * dayWidth + 105.0)),
                     clampSize(qint64(truncate(maxPos * posHeight)) + 50));
    updateBg();
    update();
}

int TLine2::dateToX(const QDate &date) const
{
    return pixel(daysBetween(start, date) * dayWidth + 100.0);
}

int TLine2::posToY(int pos) const
{
    return pixel(pos * posHeight + 50.0);
}

void TLine2::paint(QPainter *painter)
{
    const int w = width();
    const int h = height();
    painter->fillRect(QRect(0, 0, w, h), QBrush(bg));

    const QRect visible = visibleArea(painter, rect());
    const QPen savedPen = painter->pen();
    QPen rule = painter->pen();
    rule.setWidth(2);
    painter->setPen(rule);
    painter->drawLine(98, 10, 98, h - 5);
    rule.setWidth(1);
    painter->setPen(rule);
    // The step is truncated from the previous line, so the lines are walked
    // one by one; a row height below one pixel stops the walk.
    const int bottom = std::min(h, visible.bottom() + 1);
    for (int y = 48; y < bottom;) {
        if (y >= visible.top())
            painter->drawLine(0, y, w, y);
        const int next = truncate(y + posHeight);
        if (next <= y)
            break;
        y = next;
    }
    painter->setPen(savedPen);

    const QFontMetrics metrics(painter->font());
    const bool monthLabels = 30 * dayWidth > 25;
    const auto drawMonthLabel = [&](const QDate &day, int x) {
        const QString label = TLDateText::format(day, QStringLiteral("MMM"));
        const int labelX = pixel((30 * dayWidth - metrics.horizontalAdvance(label)) * 0.5 + x);
        painter->drawText(QPoint(labelX, 25), label);
    };
    if (monthLabels)
        drawMonthLabel(start, dateToX(start));

    const auto drawMark = [&](TLDraw::MarkKind kind, const QDate &day, const QString &label) {
        const int x = dateToX(day);
        const int tw = metrics.horizontalAdvance(label);
        const QPen markStartPen = painter->pen();
        switch (kind) {
        case TLDraw::MarkKind::Year:
            painter->setPen(TLDraw::markPen(kind, painter));
            painter->drawText(QPoint(pixel((365 * dayWidth - tw) * 0.5 + x), 10), label);
            painter->drawLine(x, 10, x, h - 5);
            painter->setPen(markStartPen);
            if (monthLabels && day.month() == 1)
                drawMonthLabel(day, x);
            break;
        case TLDraw::MarkKind::Month:
            painter->drawText(QPoint(pixel((30 * dayWidth - tw) * 0.5 + x), 25), label);
            painter->setPen(TLDraw::markPen(kind, painter));
            painter->drawLine(x, 50, x, h - 5);
            painter->setPen(markStartPen);
            if (dayWidth >= 20) {
                const QString dayLabel = day.toString(QStringLiteral("dd"));
                painter->drawText(QPoint(x - metrics.horizontalAdvance(dayLabel) / 2, 45), dayLabel);
            }
            break;
        case TLDraw::MarkKind::Week:
        case TLDraw::MarkKind::Day:
            painter->setPen(TLDraw::markPen(kind, painter));
            painter->drawLine(x, 50, x, h - 5);
            painter->setPen(markStartPen);
            painter->drawText(QPoint(x - tw / 2, 45), label);
            break;
        }
    };
    // Year and month labels stand centred on a nominal year or month to the
    // right of their mark, so marks up to a year before the visible area can
    // still label it.
    const double pad = metrics.horizontalAdvance(QStringLiteral("MMMMMM")) + 10.0;
    if (const auto days = TLDraw::daysInReach(visible.left() - 365 * dayWidth * 0.5 - pad, visible.right() + pad,
                                              100.0, dayWidth, double(daysBetween(start, end)) + 1.0))
        TLDraw::scanDateMarks(start, end, dayWidth, displayFlags, thresholds, drawMark, days);

    paintItems(painter);
}

bool TLine2::decoratesBoxes() const
{
    return false;
}

void TLine2::paintItem(QPainter *painter, int row, const QRect &shownPart)
{
    QRect box;
    QTextDocument *label = itemLabel(row, &box);
    if (!label)
        return;
    const TLItem item = TLItemModel::item(model, row);
    TLDraw::drawHorizontalItem(painter, rect(), bg, item, box, dateToX(item.endDate), label, displayFlags,
                               decoratesBoxes(), shownPart);
}
