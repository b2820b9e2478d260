#include "view/tline.h"

#include "model/tlitem.h"
#include "model/tlrichtext.h"
#include "view/tlgeometry.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QImage>
#include <QLinearGradient>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>

#include <cmath>

using TLGeometry::daysBetween;
using TLGeometry::truncate;

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
    , backgroundMode(NoBackground)
    , displayFlags({ MarkDays, MarkWeeks, MarkMonths, MarkYears, ArrowShadow, ItemShadow, RoundEdges })
{
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

void TLine::setRange(const QDate &s, const QDate &e)
{
    start = s;
    end = e;
    recalcSize();
}

void TLine::setModel(QAbstractItemModel *m)
{
    if (model)
        disconnect(model, nullptr, this, nullptr);
    model = m;
    if (model) {
        connect(model, &QAbstractItemModel::dataChanged, this, qOverload<>(&QWidget::update));
        connect(model, &QAbstractItemModel::rowsInserted, this, qOverload<>(&QWidget::update));
        connect(model, &QAbstractItemModel::rowsRemoved, this, qOverload<>(&QWidget::update));
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
    recalcSize();
}

void TLine::setDayWidth(int w)
{
    dayWidth = w / 100.0;
    recalcSize();
}

void TLine::setPosHeight(double h)
{
    posHeight = h;
    recalcSize();
}

void TLine::setPosHeight(int h)
{
    posHeight = h;
    recalcSize();
}

void TLine::setStart(const QDate &s)
{
    start = s;
    recalcSize();
}

void TLine::setEnd(const QDate &e)
{
    end = e;
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
    update();
}

void TLine::setBg(const QBrush &brush)
{
    bg = brush;
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
    const QPoint pos = event->position().toPoint();
    QList<int> rows;
    for (int row = 0; row < itemRects.size(); ++row) {
        if (itemRects.at(row).contains(pos))
            rows.append(row);
    }
    for (int row : std::as_const(rows))
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

// The item painted last at pos, which is the one on top, or -1.
int TLine::topItemAt(const QPoint &pos) const
{
    int row = -1;
    for (int i = 0; i < itemRects.size(); ++i) {
        if (itemRects.at(i).contains(pos))
            row = i;
    }
    return row;
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
