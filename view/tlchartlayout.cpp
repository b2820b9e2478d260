#include "view/tlchartlayout.h"

#include "model/tlitem.h"
#include "model/tlrichtext.h"
#include "view/tllabellayout.h"

#include <QAbstractItemModel>
#include <QDeadlineTimer>
#include <QFontMetrics>
#include <QPoint>
#include <QRegion>
#include <QTimer>

#include <algorithm>

namespace {

// How long laying out in idle time keeps the event loop at a time.
const int idleSliceMs = 8;

}

TLChartLayout::TLChartLayout(TLItemIndex::FrameFunction frame, QObject *parent)
    : QObject(parent)
    , index(std::move(frame))
    , idleLayout(new QTimer(this))
{
    idleLayout->setSingleShot(true);
    idleLayout->setInterval(0);
    connect(idleLayout, &QTimer::timeout, this, &TLChartLayout::layOutInIdleTime);
}

TLChartLayout::~TLChartLayout() = default;

void TLChartLayout::setModel(const QAbstractItemModel *m)
{
    if (model)
        disconnect(model, nullptr, this, nullptr);
    model = m;
    index.setModel(m);
    labels.clear();
    if (!model)
        return;
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                index.changeRows(topLeft.row(), bottomRight.row());
                labels.dropRows(topLeft.row(), bottomRight.row());
                emit itemsChanged();
            });
    connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        index.insertRows(first, last);
        labels.insertRows(first, last);
        emit itemsChanged();
    });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int first, int last) {
        index.removeRows(first, last);
        labels.removeRows(first, last);
        emit itemsChanged();
    });
    // Rows that change all at once or move have no boxes yet.
    const auto forgetItems = [this] {
        index.reset();
        labels.clear();
        emit itemsChanged();
    };
    connect(model, &QAbstractItemModel::modelReset, this, forgetItems);
    connect(model, &QAbstractItemModel::layoutChanged, this, forgetItems);
    connect(model, &QAbstractItemModel::rowsMoved, this, forgetItems);
}

void TLChartLayout::setTimeAxis(std::optional<Qt::Orientation> axis)
{
    timeAxis = axis;
    if (axis)
        index.setTimeAxis(*axis);
}

void TLChartLayout::invalidateFrames()
{
    index.invalidateFrames();
}

void TLChartLayout::setDrawingReach(const QMargins &reach)
{
    drawingReach = reach;
}

bool TLChartLayout::placesItems() const
{
    return timeAxis && model;
}

int TLChartLayout::rowCount() const
{
    return placesItems() ? index.rowCount() : 0;
}

QString TLChartLayout::textOf(int row) const
{
    return model->index(row, TLItem::TextColumn).data().toString();
}

// Lays a label out in the scratch document, which becomes the row's
// document when the label is about to be drawn, and notes the row.
TLItemIndex::LabelLayout TLChartLayout::labelLayout(Purpose purpose, QList<int> *laidOut)
{
    return [this, purpose, laidOut](int row, std::optional<int> span) {
        TLRichText *document = labels.scratch();
        const QSize size = TLLabelLayout::layOut(document, textOf(row), span);
        const TLLabelSize label { size, document->textWidth() };
        if (purpose != Purpose::HitTest)
            labels.keepScratch(row);
        laidOut->append(row);
        return label;
    };
}

// Whoever lays a label out (idle time, a hit test, a picture of the chart,
// the paint of a scroll step), the paints before did not draw it, and the
// part it reaches outside what is being painted now is told.
void TLChartLayout::reportLate(const QList<int> &rows, const QRect &painted)
{
    QList<int> none;
    const TLItemIndex::LabelLayout laidOutAlready = labelLayout(Purpose::HitTest, &none);
    for (int row : rows) {
        const QRegion missed = QRegion(index.box(row, laidOutAlready).marginsAdded(drawingReach)) - painted;
        if (!missed.isEmpty())
            emit labelLaidOutLate(missed);
    }
}

QRect TLChartLayout::box(int row)
{
    if (!placesItems() || row < 0 || row >= index.rowCount())
        return QRect();
    QList<int> laidOut;
    const QRect found = index.box(row, labelLayout(Purpose::HitTest, &laidOut));
    reportLate(laidOut, QRect());
    return found;
}

QRect TLChartLayout::hitBox(int row)
{
    if (!placesItems() || row < 0 || row >= index.rowCount())
        return QRect();
    const QRect found = box(row);
    return QRect(found.topLeft(), QSize(found.width() + 10, found.height() + 5));
}

TLRichText *TLChartLayout::label(int row)
{
    if (!placesItems() || row < 0 || row >= model->rowCount())
        return nullptr;
    QList<int> laidOut;
    const TLLabelSize size = index.labelSize(row, labelLayout(Purpose::Picture, &laidOut));
    reportLate(laidOut, QRect());
    return labels.document(row, textOf(row), size.width);
}

// How far before the area a label not laid out yet is looked at on the
// screen: beyond the widest label seen so far and the width up to which a
// label's lines are wrapped.
int TLChartLayout::deferBand()
{
    const int wrapped = QFontMetrics(labels.scratch()->defaultFont()).horizontalAdvance(QLatin1Char('x')) * 80;
    return std::max(index.widestLabel(), wrapped) + drawingReach.right() + drawingReach.bottom();
}

QList<int> TLChartLayout::rowsToPaint(const QRect &area, Purpose purpose)
{
    if (!placesItems() || area.isEmpty())
        return {};
    const bool deferring = purpose == Purpose::ScreenPaint && index.rowCount() > SmallChart;
    QList<int> laidOut;
    const QList<int> rows = index.rowsMeeting(area, drawingReach,
                                              deferring ? std::optional<int>(deferBand()) : std::nullopt,
                                              labelLayout(purpose, &laidOut));
    reportLate(laidOut, purpose == Purpose::ScreenPaint ? area : QRect());
    labels.markUsed(rows);
    labels.trim(int(rows.size()));
    if (deferring && index.rowsWithoutLabelSize() > 0) {
        lastScreenArea = area;
        idleLayout->start();
    }
    return rows;
}

QList<int> TLChartLayout::rowsAt(const QPoint &point)
{
    if (!placesItems())
        return {};
    QList<int> laidOut;
    const QList<int> rows =
        index.rowsMeeting(QRect(point, QSize(1, 1)), QMargins(0, 0, 10, 5), std::nullopt,
                          labelLayout(Purpose::HitTest, &laidOut));
    reportLate(laidOut, QRect());
    return rows;
}

int TLChartLayout::yearCharacters()
{
    return index.yearCharacters();
}

int TLChartLayout::pendingLayouts()
{
    return idleLayout->isActive() ? index.rowsWithoutLabelSize() : 0;
}

void TLChartLayout::stopIdleLayout()
{
    idleLayout->stop();
}

void TLChartLayout::layOutInIdleTime()
{
    if (!placesItems())
        return;
    QList<int> laidOut;
    index.layOutNear(lastScreenArea, QDeadlineTimer(idleSliceMs), labelLayout(Purpose::HitTest, &laidOut));
    reportLate(laidOut, QRect());
    if (index.rowsWithoutLabelSize() > 0)
        idleLayout->start();
}
