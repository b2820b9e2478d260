#include "styles/tldraw.h"

#include "model/tlchartoptions.h"
#include "model/tlitem.h"
#include "model/tldatetext.h"
#include "view/tlgeometry.h"

#include <QBrush>
#include <QColor>
#include <QDate>
#include <QFont>
#include <QFontMetrics>
#include <QLine>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QRect>
#include <QSet>
#include <QString>
#include <QTextDocument>
#include <QTransform>

#include <algorithm>
#include <cmath>

using TLGeometry::daysBetween;
using TLGeometry::truncate;
using TLGeometry::visibleArea;

namespace TLDraw {

namespace {

const QColor itemShadowColor(40, 40, 40, 180);
const QColor arrowColor(0, 0, 0, 255);
const QColor arrowShadowColor(40, 40, 40, 128);
const int shadowOffset = 6;
const int roundness = 25;

// The part of the box area that this paint can change. A box far wider
// than the chart (an end date centuries away) then needs a pixmap no larger
// than what is shown of it, and a box outside the exposed area none at all.
QRect paintedPart(QPainter *painter, const QRect &widgetRect, int x, int y, qint64 w, qint64 h)
{
    return (QRectF(x, y, double(w), double(h)) & QRectF(visibleArea(painter, widgetRect))).toAlignedRect();
}

// A label is drawn as text where the painter records drawing commands (a
// printer, a PDF or SVG file, or a picture recorded for them), and as a
// picture of it, made at the device's resolution, where it paints pixels.
bool drawsCommands(const QPainter *painter)
{
    const QPaintEngine *engine = painter->paintEngine();
    if (!engine)
        return false;
    switch (engine->type()) {
    case QPaintEngine::Picture:
    case QPaintEngine::Pdf:
    case QPaintEngine::SVG:
    case QPaintEngine::MacPrinter:
    case QPaintEngine::Windows:
        return true;
    default:
        return false;
    }
}

bool coversOpaquely(const QBrush &brush)
{
    if (brush.style() == Qt::TexturePattern && brush.texture().isNull())
        return false;
    return brush.isOpaque();
}

// A pixmap for the part of a box, at the resolution of the device painted
// on so that labels stay sharp on scaled displays and paper. It covers the
// device pixels a fill of the part would cover; origin is where its first
// pixel lies in widget coordinates, and a painter on it draws in widget
// coordinates once translated by -origin.
struct BoxSurface
{
    QPixmap pixmap;
    QPointF origin;
};

BoxSurface boxSurface(QPainter *painter, const QRect &part)
{
    const QTransform toDevice = painter->deviceTransform();
    const double scale = toDevice.m11();
    if (toDevice.type() > QTransform::TxScale || !(scale > 0.0) || scale != toDevice.m22() || scale == 1.0)
        return { QPixmap(part.size()), QPointF(part.topLeft()) };
    // Pixel centres at or right of the left edge and left of the right one.
    const QRectF exact = toDevice.mapRect(QRectF(part));
    const int left = int(std::ceil(exact.left() - 0.5));
    const int top = int(std::ceil(exact.top() - 0.5));
    const int right = int(std::ceil(exact.right() - 0.5));
    const int bottom = int(std::ceil(exact.bottom() - 0.5));
    QPixmap pixmap(std::max(1, right - left), std::max(1, bottom - top));
    pixmap.setDevicePixelRatio(scale);
    return { pixmap, toDevice.inverted().map(QPointF(left, top)) };
}

// The label cut off at the box, as the picture of a box cuts it.
void drawLabelAsText(QPainter *painter, int x, int y, QTextDocument *document)
{
    painter->translate(x, y);
    document->drawContents(painter, QRectF());
}

// What of a box's painted part is rendered where only shown can be seen:
// rows and columns at its end can go, but a gradient's colours step from
// where each line of a fill starts, so its start stays.
QRect shownPart(const QRect &painted, const QRect &shown)
{
    if (shown.isNull())
        return painted;
    return QRect(QPoint(painted.left(), std::max(painted.top(), shown.top())),
                 QPoint(std::min(painted.right(), shown.right()), std::min(painted.bottom(), shown.bottom())));
}

// Where a label at (x, y) is drawn: only where its box can be seen, so
// that the text layout skips the lines hidden under later boxes.
QRectF labelClip(const QRect &shown, int x, int y)
{
    return shown.isNull() ? QRectF() : QRectF(shown.translated(-x, -y));
}

void drawSquareBox(QPainter *painter, const QRect &widgetRect, int x, int y, int w, int h, const QColor &fill,
                   QTextDocument *document, const QRect &shown)
{
    const QRect part = shownPart(paintedPart(painter, widgetRect, x, y, w, h), shown);
    if (part.isEmpty())
        return;
    if (drawsCommands(painter)) {
        painter->save();
        painter->setClipRect(part, Qt::IntersectClip);
        painter->fillRect(QRectF(x, y, w, h), QBrush(fill, Qt::SolidPattern));
        drawLabelAsText(painter, x, y, document);
        painter->restore();
        return;
    }
    BoxSurface box = boxSurface(painter, part);
    if (fill.alpha() < 255)
        box.pixmap.fill(Qt::transparent);
    QPainter boxPainter(&box.pixmap);
    boxPainter.fillRect(QRectF(QPointF(), box.pixmap.deviceIndependentSize()), QBrush(fill, Qt::SolidPattern));
    boxPainter.translate(-box.origin);
    boxPainter.translate(x, y);
    document->drawContents(&boxPainter, labelClip(shown, x, y));
    boxPainter.end();
    painter->drawPixmap(box.origin, box.pixmap);
}

// The box lies over the chart background in a margin of 10 pixels right and
// 6 below, the shadow included; that area is repainted from the background
// brush alone. Only this area is rendered, with the brush laid out in widget
// coordinates so that tiles and gradients continue the widget's own fill.
// Tiles and solid colours come out exactly as a fill of the whole widget;
// Qt steps a gradient in fixed point from the start of each filled span, so
// a gradient may differ from it by one colour step in a few pixels.
void drawRoundedBox(QPainter *painter, const QRect &widgetRect, const QBrush &background, int x, int y, int w,
                    int h, const QColor &fill, QTextDocument *document, bool shadow, const QRect &shown)
{
    const QRect part = shownPart(paintedPart(painter, widgetRect, x, y, qint64(w) + 10, qint64(h) + 6), shown);
    if (part.isEmpty())
        return;
    if (drawsCommands(painter)) {
        painter->save();
        painter->setClipRect(part, Qt::IntersectClip);
        painter->fillRect(part, background);
        painter->setPen(Qt::NoPen);
        if (shadow) {
            painter->setBrush(QBrush(itemShadowColor, Qt::SolidPattern));
            painter->drawRoundedRect(QRectF(double(x) + shadowOffset, double(y) + shadowOffset, w, h), roundness,
                                     roundness, Qt::RelativeSize);
        }
        painter->setBrush(QBrush(fill, Qt::SolidPattern));
        painter->drawRoundedRect(QRectF(x, y, w, h), roundness, roundness, Qt::RelativeSize);
        drawLabelAsText(painter, x, y, document);
        painter->restore();
        return;
    }
    BoxSurface box = boxSurface(painter, part);
    if (!coversOpaquely(background))
        box.pixmap.fill(Qt::transparent);
    QPainter boxPainter(&box.pixmap);
    boxPainter.translate(-box.origin);
    boxPainter.save();
    boxPainter.fillRect(QRectF(box.origin, box.pixmap.deviceIndependentSize()), background);
    if (shadow) {
        boxPainter.setPen(Qt::NoPen);
        boxPainter.setBrush(QBrush(itemShadowColor, Qt::SolidPattern));
        boxPainter.drawRoundedRect(QRectF(double(x) + shadowOffset, double(y) + shadowOffset, w, h), roundness,
                                   roundness, Qt::RelativeSize);
    }
    boxPainter.restore();

    boxPainter.translate(x, y);
    const QPen savedPen = boxPainter.pen();
    boxPainter.setPen(Qt::NoPen);
    boxPainter.setBrush(QBrush(fill, Qt::SolidPattern));
    boxPainter.drawRoundedRect(QRectF(0, 0, w, h), roundness, roundness, Qt::RelativeSize);
    boxPainter.setPen(savedPen);
    document->drawContents(&boxPainter, labelClip(shown, x, y));
    boxPainter.end();
    painter->drawPixmap(box.origin, box.pixmap);
}

struct MarkSwitches
{
    bool years;
    bool months;
    bool weeks;
    bool days;
};

QDate firstOfNextMonth(const QDate &day)
{
    return QDate(day.year(), day.month(), day.daysInMonth()).addDays(1);
}

QDate firstOfNextYear(const QDate &day)
{
    return QDate(day.year(), 12, 31).addDays(1);
}

// The first day after day that can carry a mark of an enabled kind: every
// day with day marks, else the next Monday, first of a month or 1 January.
QDate nextCandidate(const QDate &day, const MarkSwitches &on)
{
    if (on.days)
        return day.addDays(1);
    QDate next;
    const auto consider = [&next](const QDate &candidate) {
        if (next.isNull() || candidate < next)
            next = candidate;
    };
    if (on.weeks)
        consider(day.addDays(8 - day.dayOfWeek()));
    if (on.months)
        consider(firstOfNextMonth(day));
    if (on.years)
        consider(firstOfNextYear(day));
    return next;
}

}


void drawItemBox(QPainter *painter, const QRect &widgetRect, const QBrush &background, int x, int y, int w, int h,
                 const QColor &fill, QTextDocument *document, const QSet<int> &flags, bool decorations,
                 const QRect &shown)
{
    const bool shadow = decorations && flags.contains(TLChartOptions::ItemShadow);
    if (decorations && flags.contains(TLChartOptions::RoundEdges)) {
        drawRoundedBox(painter, widgetRect, background, x, y, w, h, fill, document, shadow, shown);
        return;
    }
    if (shadow)
        painter->fillRect(QRectF(double(x) + shadowOffset, double(y) + shadowOffset, w, h),
                          QBrush(itemShadowColor, Qt::SolidPattern));
    drawSquareBox(painter, widgetRect, x, y, w, h, fill, document, shown);
}

void drawHorizontalItem(QPainter *painter, const QRect &widgetRect, const QBrush &background, const TLItem &item,
                        const QRect &box, int x2, QTextDocument *label, const QSet<int> &flags, bool decorations,
                        const QRect &shown)
{
    const QFont savedFont = painter->font();
    const int x1 = box.x();
    drawItemBox(painter, widgetRect, background, x1, box.y(), box.width(), box.height(), item.backgroundColor, label,
                flags, decorations, shown);
    if (flags.contains(TLChartOptions::MarkItems)) {
        const QString format = QStringLiteral("dd/MM/yyyy");
        if (x1 < x2)
            drawItemDates(painter, box.y(), box.height(), TLDateText::format(item.date, format), x1 + 1,
                          TLDateText::format(item.endDate, format), x2 - 10);
        else
            drawItemDates(painter, box.y(), box.height(), TLDateText::format(item.date, format), x1 + 1);
    }
    painter->setFont(savedFont);
}

void drawItemDates(QPainter *painter, int y, int h, const QString &first, int firstX, const QString &second,
                   int secondX)
{
    QFont font = painter->font();
    font.setPointSize(6);
    painter->setFont(font);
    const int step = truncate(1.3 * QFontMetrics(font).height());
    const int baseline = y + h + step;
    painter->drawText(QPoint(firstX, baseline), first);
    if (!second.isEmpty())
        painter->drawText(QPoint(secondX, baseline), second);
}

std::optional<DayWindow> daysInReach(double low, double high, double origin, double dayWidth, double lastDay)
{
    if (!(dayWidth > 0.0))
        return std::nullopt;
    const double first = std::max(0.0, std::floor((low - origin) / dayWidth));
    const double last = std::min(lastDay, std::ceil((high - origin) / dayWidth));
    if (first > last)
        return std::nullopt;
    return DayWindow { qint64(first), qint64(last) };
}

void scanDateMarks(const QDate &start, const QDate &end, double dayWidth, const QSet<int> &flags,
                   const MarkThresholds &thresholds, const MarkDrawer &drawMark, std::optional<DayWindow> window)
{
    const MarkSwitches on = {
        flags.contains(TLChartOptions::MarkYears) && 365 * dayWidth > thresholds.year,
        flags.contains(TLChartOptions::MarkMonths) && 30 * dayWidth > thresholds.month,
        flags.contains(TLChartOptions::MarkWeeks) && 7 * dayWidth >= thresholds.week,
        flags.contains(TLChartOptions::MarkDays) && dayWidth >= thresholds.day,
    };
    if (!on.years && !on.months && !on.weeks && !on.days)
        return;

    const qint64 count = daysBetween(start, end) + (thresholds.lastDay ? 1 : 0);
    qint64 first = 1;
    qint64 last = count - 1;
    if (window) {
        first = std::max(first, window->first);
        last = std::min(last, window->last);
    }
    if (first > last)
        return;

    // A null start counts as Julian day 0, as in every other date distance.
    const qint64 startDay = TLGeometry::julianDay(start);
    const QDate startDate = QDate::fromJulianDay(startDay);
    const QDate before = QDate::fromJulianDay(startDay + first - 1);
    const QDate lastDate = QDate::fromJulianDay(startDay + last);

    // The last year or month mark before the first visited day: with month
    // marks on, every first of a month after start carries one (January's as
    // a year mark when years are on); with only year marks, every 1 January.
    QDate prev = startDate;
    QDate boundary;
    if (on.months)
        boundary = QDate(before.year(), before.month(), 1);
    else if (on.years)
        boundary = QDate(before.year(), 1, 1);
    if (boundary.isValid() && boundary > startDate)
        prev = boundary;

    const bool weekLabels = dayWidth >= thresholds.weekLabel;
    for (QDate day = nextCandidate(before, on); day.isValid() && day <= lastDate; day = nextCandidate(day, on)) {
        if (on.years && day.year() != prev.year()) {
            drawMark(MarkKind::Year, day, TLDateText::format(day, QStringLiteral("yyyy")));
            prev = day;
        } else if (on.months && day.month() != prev.month()) {
            drawMark(MarkKind::Month, day, TLDateText::format(day, QStringLiteral("MMM")));
            prev = day;
        } else if (on.weeks && day.dayOfWeek() == 1) {
            drawMark(MarkKind::Week, day, weekLabels ? day.toString(QStringLiteral("dd")) : QString());
        } else if (on.days) {
            drawMark(MarkKind::Day, day, day.toString(QStringLiteral("dd")));
        }
    }
}

QPolygonF arrowPolygon(double length, int axis, int tip, Qt::Orientation orientation)
{
    const double a = axis;
    const QPointF points[] = {
        { 0, a - 4 }, { length, a - 4 }, { length, a - 7 }, { length + tip, a },
        { length, a + 7 }, { length, a + 4 }, { 0, a + 4 },
    };
    QPolygonF polygon;
    for (const QPointF &p : points)
        polygon << (orientation == Qt::Horizontal ? p : QPointF(p.y(), p.x()));
    return polygon;
}

QPolygonF arrowShadowPolygon(double length, int axis, int tip, Qt::Orientation orientation)
{
    QPolygonF polygon = arrowPolygon(length, axis, tip, orientation);
    const QPointF across = orientation == Qt::Horizontal ? QPointF(0, shadowOffset) : QPointF(shadowOffset, 0);
    for (int i = 0; i < polygon.size(); ++i) {
        const bool tail = i == 0 || i == polygon.size() - 1;
        polygon[i] += tail ? across : QPointF(shadowOffset, shadowOffset);
    }
    return polygon;
}

void drawArrow(QPainter *painter, int axis, double length, int tip, Qt::Orientation orientation,
               const QSet<int> &flags)
{
    const QPen savedPen = painter->pen();
    painter->setPen(Qt::NoPen);
    if (flags.contains(TLChartOptions::ArrowShadow)) {
        painter->setBrush(QBrush(arrowShadowColor, Qt::SolidPattern));
        painter->drawPolygon(arrowShadowPolygon(length, axis, tip, orientation), Qt::OddEvenFill);
    }
    painter->setBrush(QBrush(arrowColor, Qt::SolidPattern));
    painter->drawPolygon(arrowPolygon(length, axis, tip, orientation), Qt::OddEvenFill);
    painter->setPen(savedPen);
}

QPen markPen(MarkKind kind, const QPainter *painter)
{
    const bool wide = kind == MarkKind::Year || kind == MarkKind::Month;
    QPen pen(kind == MarkKind::Year || kind == MarkKind::Week ? Qt::DashDotLine : Qt::DotLine);
    // A pen built from a style alone used to be one device pixel wide
    // (width 0); Qt 6 gives it width 1. On paper the thinnest line a
    // device draws would vanish: the screen's pixel is printed enlarged.
    if (wide)
        pen.setWidth(2);
    else
        pen.setWidth(painter && drawsCommands(painter) ? 1 : 0);
    return pen;
}

}
