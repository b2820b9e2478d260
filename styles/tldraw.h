#ifndef TLDRAW_H
#define TLDRAW_H

#include <QtGlobal>
#include <QColor>
#include <QDate>
#include <QPolygonF>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QBrush;
class QPainter;
class QPen;
class QRect;
class QTextDocument;
struct TLItem;
template <typename T> class QSet;

// Drawing shared by the three chart styles: item boxes with their labels,
// item date labels, the day scan that places date marks, and the time arrow.
namespace TLDraw {

enum class MarkKind { Year, Month, Week, Day };

// The comparisons a style's scan uses: 365 x dayWidth > year,
// 30 x dayWidth > month, 7 x dayWidth >= week, dayWidth >= weekLabel for a
// week label, dayWidth >= day; lastDay says whether the end date is scanned.
struct MarkThresholds
{
    double year;
    double month;
    double week;
    double weekLabel;
    double day;
    bool lastDay;
};

// Days counted from the chart start; the scan reports only marks inside it,
// while deciding them exactly as a scan of the whole range would.
struct DayWindow
{
    qint64 first;
    qint64 last;
};

// The days, counted from the chart start at pixel origin, whose marks can
// reach the pixels from low to high along the time axis; none when the day
// width is not positive or no day up to lastDay is in reach.
std::optional<DayWindow> daysInReach(double low, double high, double origin, double dayWidth, double lastDay);

using MarkDrawer = std::function<void(MarkKind kind, const QDate &day, const QString &label)>;

// Draws a box of size w x h at (x, y) filled with fill and carrying the laid
// out document. With decorations allowed, ItemShadow adds a shadow and
// RoundEdges the rounded form, which repaints the (w + 10) x (h + 6) area
// at (x, y) with the chart background first. Only the part inside the
// painter's visible area is rendered, and the label only inside shown, the
// part of the drawing left to be seen (all of it where shown is null).
void drawItemBox(QPainter *painter, const QRect &widgetRect, const QBrush &background, int x, int y, int w, int h,
                 const QColor &fill, QTextDocument *document, const QSet<int> &flags, bool decorations,
                 const QRect &shown = QRect());

// Draws the item of a style whose time runs left to right: the box with
// its laid-out label, and under MarkItems its date below it and, when the
// end date's x2 lies to the right of the box's start, the end date. The
// painter's font is kept.
void drawHorizontalItem(QPainter *painter, const QRect &widgetRect, const QBrush &background, const TLItem &item,
                        const QRect &box, int x2, QTextDocument *label, const QSet<int> &flags, bool decorations,
                        const QRect &shown = QRect());

// Draws one or two date texts in a 6 point font on the baseline under a box
// whose top is y and height h. The font stays on the painter.
void drawItemDates(QPainter *painter, int y, int h, const QString &first, int firstX,
                   const QString &second = QString(), int secondX = 0);

// Walks the days after start and reports at most one mark per day.
void scanDateMarks(const QDate &start, const QDate &end, double dayWidth, const QSet<int> &flags,
                   const MarkThresholds &thresholds, const MarkDrawer &drawMark,
                   std::optional<DayWindow> window = std::nullopt);

// The seven arrow points around the axis, and the same points as offset for
// the shadow. length is (days of the range) x dayWidth.
QPolygonF arrowPolygon(double length, int axis, int tip, Qt::Orientation orientation);
QPolygonF arrowShadowPolygon(double length, int axis, int tip, Qt::Orientation orientation);
void drawArrow(QPainter *painter, int axis, double length, int tip, Qt::Orientation orientation,
               const QSet<int> &flags);

// The pen of a mark: hairlines on the screen, as wide as a pixel of the
// chart where the painter records drawing commands.
QPen markPen(MarkKind kind, const QPainter *painter = nullptr);

}

#endif
