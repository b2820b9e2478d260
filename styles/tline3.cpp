#include "styles/tline3.h"

#include "model/tlitemmodel.h"
#include "styles/tldraw.h"
#include "model/tldatetext.h"
#include "view/tlgeometry.h"
#include "view/tlitemindex.h"

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

const TLDraw::MarkThresholds thresholds = { 70.0, 40.0, 20.0, 15.0, 15.0, false };

}

TLine3::TLine3(QWidget *parent)
    : TLine(parent, Qt::Vertical)
{
}

void TLine3::recalcSize()
{
    setFixedSize(clampSize(qint64(truncate(maxPos * posHeight)) + 50),
                 clampSize(truncate((daysBetween(start, end) + 1) * dayWidth + 10.0)));
    updateBg();
    update();
}

QPoint TLine3::itemPoint(const QDate &date, int pos) const
{
    const int y = pixel(daysBetween(start, date) * dayWidth + 5.0);
    if (pos < 0)
        return QPoint(0, y);
    // Columns reaching the arrow or beyond it make room for it.
    const int shift = 50 * qint64(pos) + 50 >= tPos ? 50 : 0;
    return QPoint(pixel(double(truncate(pos * posHeight)) + shift), y);
}

void TLine3::paint(QPainter *painter)
{
    const int w = width();
    const int h = height();
    painter->fillRect(QRect(0, 0, w, h), QBrush(bg));

    const int axisX = pixel(itemPoint(QDate(), -1).x() + tPos * posHeight / 50.0);
    const QFontMetrics metrics(painter->font());

    const auto drawMark = [&](TLDraw::MarkKind kind, const QDate &day, const QString &label) {
        const int y = itemPoint(day, 0).y();
        const int tw = metrics.horizontalAdvance(label);
        const QPen savedPen = painter->pen();
        painter->setPen(TLDraw::markPen(kind, painter));
        switch (kind) {
        case TLDraw::MarkKind::Year:
            painter->drawLine(axisX + 10, y, 0, y);
            painter->drawText(QPoint(axisX + 10, y + 5), label);
            painter->drawLine(axisX + 10 + tw, y, w, y);
            painter->setPen(savedPen);
            break;
        case TLDraw::MarkKind::Month:
            painter->drawLine(axisX + 10, y, axisX, y);
            painter->drawLine(axisX, y, 0, y);
            painter->drawLine(axisX + 15 + tw, y, w, y);
            painter->setPen(savedPen);
            painter->drawText(QPoint(axisX + 10, y + 5), label);
            break;
        case TLDraw::MarkKind::Week:
        case TLDraw::MarkKind::Day:
            painter->drawLine(axisX, y, 0, y);
            painter->drawLine(axisX + (kind == TLDraw::MarkKind::Week ? 5 : 10) + tw, y, w, y);
            painter->drawLine(axisX + 5, y, axisX, y);
            painter->setPen(savedPen);
            painter->drawText(QPoint(axisX + 5, y + 5), label);
            break;
        }
    };
    // A label hangs below its line, so marks a text line above or below the
    // visible area can still reach into it.
    const QRect visible = visibleArea(painter, rect());
    const double pad = metrics.height() + 10.0;
    if (const auto days = TLDraw::daysInReach(visible.top() - pad, visible.bottom() + pad, 5.0, dayWidth,
                                              double(daysBetween(start, end))))
        TLDraw::scanDateMarks(start, end, dayWidth, displayFlags, thresholds, drawMark, days);

    if (displayFlags.contains(MarkEnds)) {
        const QString format = QStringLiteral("dd MMM yyyy");
        const int y1 = itemPoint(start, tPos).y();
        painter->drawLine(axisX + 15, y1, axisX, y1);
        painter->drawText(QPoint(axisX + 15, y1 + 5), TLDateText::format(start, format));
        const int y2 = itemPoint(end, tPos).y();
        painter->drawLine(axisX + 15, y2, axisX, y2);
        painter->drawText(QPoint(axisX + 15, y2 + 5), TLDateText::format(end, format));
    }

    TLDraw::drawArrow(painter, axisX, (daysBetween(start, end) + 1) * dayWidth, 8, Qt::Vertical, displayFlags);

    paintItems(painter);
}

void TLine3::paintItem(QPainter *painter, int row, const QRect &shownPart)
{
    QRect box;
    QTextDocument *label = itemLabel(row, &box);
    if (!label)
        return;
    const TLItem item = TLItemModel::item(model, row);
    const QFont savedFont = painter->font();
    const int x1 = box.x();
    const int y1 = box.y();
    const int h = box.height();
    TLDraw::drawItemBox(painter, rect(), bg, x1, y1, box.width(), h, item.backgroundColor, label, displayFlags,
                        decoratesBoxes(), shownPart);

    if (displayFlags.contains(MarkItems)) {
        const QString format = QStringLiteral("dd/MM/yyyy");
        QString dates = TLDateText::format(item.date, format);
        if (y1 < itemPoint(item.endDate, item.pos).y())
            dates += QStringLiteral(" - ") + TLDateText::format(item.endDate, format);
        TLDraw::drawItemDates(painter, y1, h, dates, x1 + 1);
    }
    painter->setFont(savedFont);
}

// The box of an item with an end date below its date spans down to it,
// whatever its label.
TLItemFrame TLine3::itemFrame(const QDate &date, int pos, const QDate &endDate) const
{
    const QPoint topLeft = itemPoint(date, pos);
    const int y2 = itemPoint(endDate, pos).y();
    TLItemFrame frame { topLeft, std::nullopt, std::nullopt };
    if (topLeft.y() < y2)
        frame.fixedHeight = y2 - topLeft.y();
    return frame;
}
