#include "view/tline.h"

#include "model/tlitem.h"
#include "model/tlrichtext.h"
#include "styles/tldraw.h"
#include "view/tlgeometry.h"
#include "view/tlitemindex.h"
#include "view/tllabelcache.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QBackingStore>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QDrag>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QTimer>

#include <algorithm>
#include <cmath>

using TLGeometry::daysBetween;
using TLGeometry::truncate;

namespace {

// How long the background measuring keeps the event loop at a time.
const int measureSliceMs = 8;

}

TLine::TLine(QWidget *parent)
    : QWidget(parent)
    , dayWidth(0.0)
    , posHeight(0.0)
    , maxPos(0)
    , tPos(0)
    , markEnds(false)
    , markItems(false)
    , model(nullptr)
    , bg(Qt::white, Qt::SolidPattern)
    , itemRects([this] { return qsizetype(placedItems() ? index->rowCount() : 0); },
                [this](qsizetype row) { return hitBox(int(row)); })
    , backgroundMode(NoBackground)
    , displayFlags({ MarkDays, MarkWeeks, MarkMonths, MarkYears, ArrowShadow, ItemShadow, RoundEdges })
    , index(std::make_unique<TLItemIndex>(
          [this](const QDate &date, int pos, const QDate &endDate) { return itemFrame(date, pos, endDate); },
          [this](int row, int span) { return measureLabel(row, span); },
          [this](const QRect &box) { showLateLabel(box); }))
    , labels(std::make_unique<TLLabelCache>())
    , backgroundMeasure(new QTimer(this))
{
    backgroundMeasure->setSingleShot(true);
    backgroundMeasure->setInterval(0);
    connect(backgroundMeasure, &QTimer::timeout, this, &TLine::measureInBackground);
    const QDate today = QDate::currentDate();
    // Virtual calls from a constructor reach TLine's own recalcSize, which
    // only refreshes the background and schedules a repaint.
    setRange(today, today.addDays(31));
    dayWidth = 10.0;
    posHeight = 100.0;
    maxPos = 2;
    tPos = 2;
    setMinimumSize(truncate((daysBetween(start, end) + 1) * dayWidth + 10.0), truncate(maxPos * posHeight));
}

TLine::~TLine() = default;

void TLine::setRange(const QDate &s, const QDate &e)
{
    start = s;
    end = e;
    moveItems();
    recalcSize();
}

void TLine::setModel(QAbstractItemModel *m)
{
    if (model)
        disconnect(model, nullptr, this, nullptr);
    model = m;
    index->setModel(m);
    labels->clear();
    if (model) {
        connect(model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                    index->changeRows(topLeft.row(), bottomRight.row());
                    labels->dropRows(topLeft.row(), bottomRight.row());
                });
        connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
            index->insertRows(first, last);
            labels->insertRows(first, last);
        });
        connect(model, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int first, int last) {
            index->removeRows(first, last);
            labels->removeRows(first, last);
        });
        // Rows that change all at once or move have no boxes yet.
        const auto forgetItems = [this] {
            index->reset();
            labels->clear();
            update();
        };
        connect(model, &QAbstractItemModel::modelReset, this, forgetItems);
        connect(model, &QAbstractItemModel::layoutChanged, this, forgetItems);
        connect(model, &QAbstractItemModel::rowsMoved, this, forgetItems);
        connect(model, &QAbstractItemModel::dataChanged, this, qOverload<>(&QWidget::update));
        connect(model, &QAbstractItemModel::rowsInserted, this, qOverload<>(&QWidget::update));
        connect(model, &QAbstractItemModel::rowsRemoved, this, qOverload<>(&QWidget::update));
        connect(model, &QObject::destroyed, this, [this] { setModel(nullptr); });
    }
    update();
}

void TLine::setDisplayFlags(const QSet<int> &flags)
{
    displayFlags = flags;
    update();
}

int TLine::bgMode() const
{
    return backgroundMode;
}

void TLine::setDayWidth(double w)
{
    dayWidth = w;
    moveItems();
    recalcSize();
}

void TLine::setDayWidth(int w)
{
    dayWidth = w / 100.0;
    moveItems();
    recalcSize();
}

void TLine::setPosHeight(double h)
{
    posHeight = h;
    moveItems();
    recalcSize();
}

void TLine::setPosHeight(int h)
{
    posHeight = h;
    moveItems();
    recalcSize();
}

void TLine::setStart(const QDate &s)
{
    start = s;
    moveItems();
    recalcSize();
}

void TLine::setEnd(const QDate &e)
{
    end = e;
    moveItems();
    recalcSize();
}

void TLine::recalcSize()
{
    updateBg();
    update();
}

void TLine::setMaxPos(int m)
{
    maxPos = m;
    recalcSize();
}

void TLine::setFlag(DisplayFlag flag, bool on)
{
    if (on)
        displayFlags.insert(flag);
    else
        displayFlags.remove(flag);
}

void TLine::setMarkEnds(bool on)
{
    markEnds = on;
    setFlag(MarkEnds, on);
    recalcSize();
}

void TLine::setMarkEnds(int state)
{
    setMarkEnds(state == Qt::Checked);
}

void TLine::setMarkItems(int state)
{
    setMarkItems(state == Qt::Checked);
}

void TLine::setMarkItems(bool on)
{
    markItems = on;
    setFlag(MarkItems, on);
    recalcSize();
}

void TLine::setTPos(int t)
{
    tPos = t;
    moveItems();
    update();
}

void TLine::setBg(const QBrush &brush)
{
    bg = brush;
    updateOpaquePainting();
}

void TLine::setBgMode(int mode)
{
    backgroundMode = mode;
    updateBg();
    update();
}

void TLine::setBgColors(const QList<QColor> &colors)
{
    bgColors = colors;
    updateBg();
    update();
}

void TLine::updateBg()
{
    if (bgColors.isEmpty())
        return;
    const bool gradient = backgroundMode == DiagonalGradient || backgroundMode == VerticalGradient;
    if (gradient && bgColors.size() < 3)
        return;

    const QRect r = rect();
    switch (backgroundMode) {
    case SolidBackground:
        bg = QBrush(bgColors.at(0), Qt::SolidPattern);
        break;
    case DiagonalGradient: {
        QLinearGradient g(QPointF(r.topLeft()), QPointF(r.bottomRight()));
        g.setColorAt(0.0, bgColors.at(1));
        g.setColorAt(0.5, bgColors.at(2));
        g.setColorAt(1.0, bgColors.at(1));
        bg = QBrush(g);
        break;
    }
    case VerticalGradient: {
        QLinearGradient g(QPointF(r.topLeft()), QPointF(r.bottomLeft()));
        g.setColorAt(0.0, bgColors.at(1));
        g.setColorAt(1.0, bgColors.at(2));
        bg = QBrush(g);
        break;
    }
    default:
        break;
    }
    updateOpaquePainting();
}

// A style covers all of itself with an opaque background, so that a scroll
// moves what is painted and paints only what comes into view.
void TLine::updateOpaquePainting()
{
    const bool textureMissing = bg.style() == Qt::TexturePattern && bg.texture().isNull();
    setAttribute(Qt::WA_OpaquePaintEvent, timeAxis().has_value() && bg.isOpaque() && !textureMissing);
}

void TLine::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragStartPos = event->position().toPoint();
}

void TLine::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Every box under the pointer, collected before the first signal opens
    // a dialog whose event loop may repaint the chart.
    const QList<int> rows = itemsAt(event->position().toPoint());
    for (int row : rows)
        emit itemClicked(row);
}

void TLine::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint pos = event->position().toPoint();
    if ((pos - dragStartPos).manhattanLength() < QApplication::startDragDistance())
        return;

    QDrag *drag = new QDrag(this);
    QMimeData *mimeData = new QMimeData;
    const int row = topItemAt(pos);
    if (row < 0 || !model) {
        mimeData->setImageData(dragPicture(pos));
    } else {
        const QString html = model->index(row, TLItem::TextColumn).data(Qt::DisplayRole).toString();
        mimeData->setText(TLRichText::plainText(html));
        mimeData->setHtml(html);
    }
    drag->setMimeData(mimeData);
    execDrag(drag);
}

void TLine::contextMenuEvent(QContextMenuEvent *event)
{
    const int row = topItemAt(event->pos());
    if (row < 0) {
        emit backgroundClicked();
        return;
    }
    QMenu menu(this);
    QAction *edit = menu.addAction(tr("edit..."));
    QAction *remove = menu.addAction(tr("delete"));
    QAction *chosen = menu.exec(event->globalPos());
    if (chosen == edit)
        emit itemClicked(row);
    else if (chosen == remove)
        emit itemDelete(row);
}

void TLine::execDrag(QDrag *drag)
{
    drag->exec(Qt::CopyAction | Qt::MoveAction);
}

// Every row whose hit box contains pos, in ascending order.
QList<int> TLine::itemsAt(const QPoint &pos)
{
    TLItemIndex *items = placedItems();
    if (!items)
        return {};
    return items->rowsMeeting(QRect(pos, QSize(1, 1)), QMargins(0, 0, 10, 5));
}

// The item painted last at pos, which is the one on top, or -1.
int TLine::topItemAt(const QPoint &pos)
{
    const QList<int> rows = itemsAt(pos);
    return rows.isEmpty() ? -1 : rows.last();
}

// The whole chart, or, when that is above the budget, the part on the
// screen; and never more than the budget, taken around pos.
QImage TLine::dragPicture(const QPoint &pos)
{
    const double ratio = devicePixelRatioF();
    auto overBudget = [ratio](const QRect &r) {
        return double(r.width()) * ratio * double(r.height()) * ratio > double(MaxDragPixels);
    };
    QRect part = rect();
    if (overBudget(part)) {
        const QRect visible = visibleRegion().boundingRect();
        if (!visible.isEmpty())
            part = visible;
    }
    if (overBudget(part)) {
        const int side = int(std::sqrt(double(MaxDragPixels)) / ratio);
        QRect around(0, 0, side, side);
        around.moveCenter(pos);
        part &= around;
    }
    return grab(part).toImage();
}

void TLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(&painter);
}

void TLine::paint(QPainter *)
{
}

int TLine::dateToX(const QDate &date) const
{
    return truncate(daysBetween(start, date) * dayWidth + 5.0);
}

int TLine::posToY(int pos) const
{
    return truncate(pos * posHeight);
}

void TLine::paintItem(QPainter *, int)
{
}

QPoint TLine::itemPoint(const QDate &date, int pos) const
{
    return QPoint(dateToX(date), posToY(pos));
}

std::optional<Qt::Orientation> TLine::timeAxis() const
{
    return std::nullopt;
}

TLItemFrame TLine::itemFrame(const QDate &date, int pos, const QDate &endDate) const
{
    const int x1 = dateToX(date);
    const int x2 = dateToX(endDate);
    return { QPoint(x1, posToY(pos)), x1 < x2 ? TLGeometry::pixel(double(x2) - double(x1)) : -1, -1 };
}

int TLine::pendingLayouts()
{
    return backgroundMeasure->isActive() ? index->unmeasuredCount() : 0;
}

// The index of the boxes, when this widget places items and has a model.
TLItemIndex *TLine::placedItems()
{
    const std::optional<Qt::Orientation> axis = timeAxis();
    if (!axis || !model)
        return nullptr;
    index->setTimeAxis(*axis);
    return index.get();
}

QRect TLine::hitBox(int row)
{
    TLItemIndex *items = placedItems();
    if (!items || row < 0 || row >= items->rowCount())
        return QRect();
    const QRect box = items->box(row);
    return QRect(box.topLeft(), QSize(box.width() + 10, box.height() + 5));
}

void TLine::moveItems()
{
    index->moveFrames();
}

TLLabelSize TLine::measureLabel(int row, int span)
{
    const QString text = model->index(row, TLItem::TextColumn).data().toString();
    TLRichText *document = labels->measure();
    std::optional<int> width;
    if (span >= 0)
        width = span;
    const QSize size = TLDraw::layoutItemText(document, text, width);
    const TLLabelSize label { size, document->textWidth() };
    if (keepMeasured)
        labels->keepMeasure(row);
    return label;
}

QTextDocument *TLine::itemLabel(int row, QRect *box)
{
    TLItemIndex *items = placedItems();
    if (!items || row < 0 || row >= model->rowCount())
        return nullptr;
    const bool keeping = std::exchange(keepMeasured, true);
    const TLLabelSize label = items->label(row);
    keepMeasured = keeping;
    *box = items->box(row);
    const QString text = model->index(row, TLItem::TextColumn).data().toString();
    return labels->document(row, text, label.width);
}

// How far the drawing of an item reaches beyond its box: the rounded form
// and the shadow 10 right and 6 down, the date labels below the box from 9
// left of it (an end date at its span's end, 10 left of it) to a label's
// width right of it.
QMargins TLine::drawingReach(QPainter *painter)
{
    QMargins reach(0, 0, 10, 6);
    if (displayFlags.contains(MarkItems)) {
        QFont font = painter->font();
        font.setPointSize(6);
        const QFontMetrics metrics(font);
        int advance = 0;
        for (const QChar c : QStringLiteral("0123456789/- "))
            advance = std::max(advance, metrics.horizontalAdvance(c));
        const int characters = 2 * (6 + index->yearCharacters()) + 3;
        const int slack = 2;
        reach.setLeft(9 + slack);
        reach.setRight(std::max(reach.right(), characters * advance + slack));
        reach.setBottom(std::max(reach.bottom(), truncate(1.3 * metrics.height()) + metrics.descent() + 1 + slack));
    }
    return reach;
}

// How far before the view a label not laid out yet is looked at on the
// screen: beyond the widest label seen so far and the width up to which a
// label's lines are wrapped.
int TLine::deferBand() const
{
    const int wrapped = QFontMetrics(labels->measure()->defaultFont()).horizontalAdvance(QLatin1Char('x')) * 80;
    return std::max(index->widestLabel(), wrapped) + lastReach.right() + lastReach.bottom();
}

void TLine::paintItems(QPainter *painter)
{
    TLItemIndex *items = placedItems();
    if (!items)
        return;
    const QRect area = TLDraw::visibleArea(painter, rect());
    if (area.isEmpty())
        return;
    lastReach = drawingReach(painter);
    // A paint on the screen is corrected by the background measuring; a
    // picture taken of the chart (an export, a print, a drag) or a small
    // chart is exact at once.
    QBackingStore *screen = window()->backingStore();
    const bool toScreen = isVisible() && screen && painter->paintEngine()
        && painter->paintEngine()->paintDevice() == screen->paintDevice();
    const bool onScreen =
        toScreen && items->rowCount() > SmallChart && visibleRegion().boundingRect().contains(area);
    keepMeasured = true;
    screenPaintArea = toScreen ? area : QRect();
    const QList<int> rows = items->rowsMeeting(area, lastReach, onScreen ? deferBand() : -1);
    screenPaintArea = QRect();
    for (int row : rows)
        paintItem(painter, row);
    keepMeasured = false;
    labels->trim(int(rows.size()));
    if (onScreen && items->unmeasuredCount() > 0)
        backgroundMeasure->start();
}

// Lays out labels not measured yet a slice at a time.
void TLine::measureInBackground()
{
    TLItemIndex *items = placedItems();
    if (!items || !isVisible())
        return;
    items->measureSome(visibleRegion().boundingRect(), QDeadlineTimer(measureSliceMs));
    if (items->unmeasuredCount() > 0)
        backgroundMeasure->start();
}

// A label laid out only now was not drawn by the paints before: a paint on
// the screen leaves out labels far before the view until they are laid out.
// Whoever lays one out (the background, a hit test, a picture of the chart, the
// paint of a scroll step), the part of the view it reaches is painted again.
void TLine::showLateLabel(const QRect &box)
{
    if (!isVisible())
        return;
    const QRect visible = visibleRegion().boundingRect();
    const QRect drawn = box.marginsAdded(lastReach);
    if (!drawn.intersects(visible))
        return;
    const QRegion missed = QRegion(drawn & visible) - screenPaintArea;
    if (!missed.isEmpty())
        update(missed);
}
