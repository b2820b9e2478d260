#include "view/tline.h"

#include "model/tlchartstate.h"
#include "model/tlitem.h"
#include "model/tlitemmodel.h"
#include "model/tldatetext.h"
#include "model/tlrichtext.h"
#include "view/tlbackground.h"
#include "view/tlchartlayout.h"
#include "view/tlgeometry.h"
#include "view/tllabelprefetch.h"
#include "view/tlitemindex.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFont>
#include <QFontMetrics>
#include <QHideEvent>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QTransform>

#include <algorithm>
#include <cmath>

using TLGeometry::daysBetween;
using TLGeometry::truncate;

TLine::TLine(QWidget *parent)
    : TLine(parent, std::nullopt)
{
}

TLine::TLine(QWidget *parent, Qt::Orientation axis)
    : TLine(parent, std::optional<Qt::Orientation>(axis))
{
}

TLine::TLine(QWidget *parent, std::optional<Qt::Orientation> axis)
    : QWidget(parent)
    , timeAxis(axis)
    , layout(new TLChartLayout(
          [this](const QDate &date, int pos, const QDate &endDate) { return itemFrame(date, pos, endDate); }, this))
    , prefetch(new TLLabelPrefetch(layout, this))
    , dayWidth(0.0)
    , posHeight(0.0)
    , maxPos(0)
    , tPos(0)
    , markEnds(false)
    , markItems(false)
    , model(nullptr)
    , bg(Qt::white, Qt::SolidPattern)
    , itemRects(layout)
    , backgroundMode(NoBackground)
    , displayFlags({ MarkDays, MarkWeeks, MarkMonths, MarkYears, ArrowShadow, ItemShadow, RoundEdges })
{
    layout->setTimeAxis(timeAxis);
    connect(layout, &TLChartLayout::itemsChanged, this, qOverload<>(&QWidget::update));
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
    layout->invalidateFrames();
    recalcSize();
}

void TLine::setModel(QAbstractItemModel *m)
{
    if (model)
        disconnect(model, nullptr, this, nullptr);
    model = m;
    layout->setModel(m);
    if (model)
        connect(model, &QObject::destroyed, this, [this] { setModel(nullptr); });
    update();
}

void TLine::setState(const TLChartState &state)
{
    start = state.start;
    end = state.end;
    dayWidth = state.dayWidth;
    posHeight = state.posHeight;
    maxPos = state.maxPos;
    tPos = state.tPos;
    displayFlags = state.displayFlags;
    bgColors = state.bgColors;
    // Every zoom step and undo comes through here: the image is read when
    // it becomes the background, not again for each.
    const bool newImage = state.bgMode == ImageBackground
        && (backgroundMode != ImageBackground || state.bgFileName != imageFileName);
    backgroundMode = state.bgMode;
    if (newImage) {
        bg = QBrush(QPixmap::fromImage(TLBackground::readImage(state.bgFileName)));
        imageFileName = state.bgFileName;
    }
    layout->invalidateFrames();
    recalcSize();
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
    layout->invalidateFrames();
    recalcSize();
}

void TLine::setDayWidth(int w)
{
    dayWidth = w / 100.0;
    layout->invalidateFrames();
    recalcSize();
}

void TLine::setPosHeight(double h)
{
    posHeight = h;
    layout->invalidateFrames();
    recalcSize();
}

void TLine::setPosHeight(int h)
{
    posHeight = h;
    layout->invalidateFrames();
    recalcSize();
}

void TLine::setStart(const QDate &s)
{
    start = s;
    layout->invalidateFrames();
    recalcSize();
}

void TLine::setEnd(const QDate &e)
{
    end = e;
    layout->invalidateFrames();
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
    layout->invalidateFrames();
    update();
}

void TLine::setBg(const QBrush &brush)
{
    bg = brush;
    // A brush from elsewhere: the next image background is read afresh.
    imageFileName.clear();
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
    if (const std::optional<QBrush> brush = TLBackground::brush(backgroundMode, bgColors, rect()))
        bg = *brush;
    updateOpaquePainting();
}

// An image that could not be read leaves what lies beneath the chart.
bool TLine::backgroundIsOpaque() const
{
    const bool textureMissing = bg.style() == Qt::TexturePattern && bg.texture().isNull();
    return bg.isOpaque() && !textureMissing;
}

// A style covers all of itself with an opaque background, so that a scroll
// moves what is painted and paints only what comes into view.
void TLine::updateOpaquePainting()
{
    setAttribute(Qt::WA_OpaquePaintEvent, timeAxis.has_value() && backgroundIsOpaque());
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
    const QList<int> rows = layout->rowsAt(event->position().toPoint());
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
        // Receivers parse it: they get it bounded as any label is.
        mimeData->setHtml(TLRichText::boundHtml(html));
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

// The item painted last at pos, which is the one on top, or -1.
int TLine::topItemAt(const QPoint &pos)
{
    const QList<int> rows = layout->rowsAt(pos);
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
    if (timeAxis && isVisible())
        prefetch->prepareAround(visibleRegion().boundingRect(), rect(), *timeAxis, covers());
}

void TLine::hideEvent(QHideEvent *event)
{
    prefetch->stop();
    QWidget::hideEvent(event);
}

int TLine::pendingLayouts() const
{
    return prefetch->stripsLeft();
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

void TLine::paintItem(QPainter *, int, const QRect &)
{
}

QPoint TLine::itemPoint(const QDate &date, int pos) const
{
    return QPoint(dateToX(date), posToY(pos));
}

TLItemFrame TLine::itemFrame(const QDate &date, int pos, const QDate &endDate) const
{
    const int x1 = dateToX(date);
    const int x2 = dateToX(endDate);
    TLItemFrame frame { QPoint(x1, posToY(pos)), std::nullopt, std::nullopt };
    if (x1 < x2)
        frame.span = TLGeometry::pixel(double(x2) - double(x1));
    return frame;
}

QTextDocument *TLine::itemLabel(int row, QRect *box)
{
    QTextDocument *label = layout->label(row);
    if (label)
        *box = layout->box(row);
    return label;
}

// How far the drawing of an item reaches beyond its box: the rounded form
// and the shadow 10 right and 6 down, the date labels below the box from 9
// left of it (an end date at its span's end, 10 left of it) to a label's
// width right of it.
QMargins TLine::drawingReach(QPainter *painter)
{
    const bool decorated =
        decoratesBoxes() && (displayFlags.contains(ItemShadow) || displayFlags.contains(RoundEdges));
    QMargins reach = decorated ? QMargins(0, 0, 10, 6) : QMargins();
    if (displayFlags.contains(MarkItems)) {
        QFont font = painter->font();
        font.setPointSize(6);
        const QFontMetrics metrics(font);
        int advance = 0;
        for (const QChar c : QStringLiteral("0123456789/- ") + TLDateText::beforeChristSuffix())
            advance = std::max(advance, metrics.horizontalAdvance(c));
        const int characters = 2 * (6 + layout->yearCharacters()) + 3;
        const int slack = 2;
        reach.setLeft(9 + slack);
        reach.setRight(std::max(reach.right(), characters * advance + slack));
        reach.setBottom(std::max(reach.bottom(), truncate(1.3 * metrics.height()) + metrics.descent() + 1 + slack));
    }
    return reach;
}

std::function<QRect(int row, const QRect &box)> TLine::covers() const
{
    return [this](int row, const QRect &box) { return opaqueCover(row, box) & rect(); };
}

bool TLine::decoratesBoxes() const
{
    return true;
}

QRect TLine::opaqueCover(int row, const QRect &box) const
{
    if (decoratesBoxes() && displayFlags.contains(RoundEdges)) {
        return backgroundIsOpaque() ? box.adjusted(0, 0, 10, 6) : QRect();
    }
    return TLItemModel::item(model, row).backgroundColor.alpha() == 255 ? box : QRect();
}

void TLine::paintItems(QPainter *painter)
{
    const QRect area = TLGeometry::visibleArea(painter, rect());
    layout->setDrawingReach(drawingReach(painter));
    // Where the painter puts pixels unscaled, a cover hides what lies under
    // it pixel for pixel, and what it hides need not be drawn at all.
    const QTransform toDevice = painter->deviceTransform();
    const QPaintEngine *engine = painter->paintEngine();
    const bool coversHide = engine && engine->type() == QPaintEngine::Raster
        && toDevice.type() <= QTransform::TxTranslate && toDevice.dx() == std::floor(toDevice.dx())
        && toDevice.dy() == std::floor(toDevice.dy());
    for (const TLChartLayout::ShownRow &shown :
         layout->rowsToPaint(area, coversHide ? covers() : TLChartLayout::CoverFunction()))
        paintItem(painter, shown.row, shown.part);
}
