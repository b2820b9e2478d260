#include "view/tlitemindex.h"

#include "model/tlitem.h"
#include "model/tldatetext.h"
#include "view/tlgeometry.h"
#include "view/tllabellayout.h"

#include <QAbstractItemModel>
#include <QFont>
#include <QVariant>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <numeric>

namespace {

// The characters of a year as the date labels write it.
int yearLength(const QDate &date)
{
    if (date.isNull())
        return 0;
    int length = 1;
    for (int year = std::abs(date.year()); year >= 10; year /= 10)
        ++length;
    if (date.year() < 1)
        length += int(TLDateText::beforeChristSuffix().size());
    return length;
}

}

TLItemIndex::TLItemIndex(FrameFunction frame, const QFont &labelFont)
    : frameOf(std::move(frame))
    , bound(labelFont)
{
}

TLItemIndex::~TLItemIndex() = default;

void TLItemIndex::setModel(const QAbstractItemModel *m)
{
    model = m;
    reset();
}

void TLItemIndex::setTimeAxis(Qt::Orientation axis)
{
    if (axis == timeAxis)
        return;
    timeAxis = axis;
    staleFrames = true;
}

void TLItemIndex::changeRows(int first, int last)
{
    first = std::max(first, 0);
    last = std::min<int>(last, rows.size() - 1);
    for (int row = first; row <= last; ++row) {
        rows[row].stale = true;
        rows[row].label.reset();
        rows[row].measured = false;
    }
    if (first <= last)
        staleRows = true;
}

void TLItemIndex::insertRows(int first, int last)
{
    const int count = last - first + 1;
    if (first < 0 || count < 1 || first > rows.size() || !model || rows.size() + count != model->rowCount()) {
        reset();
        return;
    }
    rows.insert(first, count, Row());
    staleRows = true;
    staleOrder = true;
}

void TLItemIndex::removeRows(int first, int last)
{
    const int count = last - first + 1;
    if (first < 0 || count < 1 || last >= rows.size() || !model || rows.size() - count != model->rowCount()) {
        reset();
        return;
    }
    rows.remove(first, count);
    staleOrder = true;
}

void TLItemIndex::reset()
{
    rows.clear();
    staleRows = true;
    staleOrder = true;
    staleFrames = true;
    yearChars = 4;
}

void TLItemIndex::invalidateFrames()
{
    staleFrames = true;
}

int TLItemIndex::rowCount() const
{
    return model ? model->rowCount() : 0;
}

void TLItemIndex::readRow(int r)
{
    Row &row = rows[r];
    const QDate date = model->index(r, TLItem::DateColumn).data().toDate();
    if (date != row.date)
        staleOrder = true;
    row.date = date;
    row.pos = model->index(r, TLItem::PosColumn).data().toInt();
    row.endDate = model->index(r, TLItem::EndDateColumn).data().toDate();
    row.frame = frameOf(row.date, row.pos, row.endDate);
    row.label.reset();
    row.measured = false;
    row.stale = false;
    yearChars = std::max({ yearChars, yearLength(row.date), yearLength(row.endDate) });
}

// Everything the queries read is brought up to date here, once after any
// number of changes.
void TLItemIndex::update()
{
    if (!model) {
        rows.clear();
        order.clear();
        return;
    }
    const int count = model->rowCount();
    if (rows.size() != count) {
        reset();
        rows.resize(count);
    }
    if (!staleRows && !staleOrder && !staleFrames)
        return;
    if (staleRows) {
        for (int row = 0; row < rows.size(); ++row) {
            if (rows.at(row).stale)
                readRow(row);
        }
        staleRows = false;
    }
    if (staleFrames) {
        for (Row &row : rows)
            row.frame = frameOf(row.date, row.pos, row.endDate);
        staleFrames = false;
    }
    if (staleOrder) {
        sortByDate();
        staleOrder = false;
    }
    orderAlongTimeAxis();
}

void TLItemIndex::sortByDate()
{
    QList<qint64> days(rows.size());
    for (int row = 0; row < rows.size(); ++row)
        days[row] = TLGeometry::julianDay(rows.at(row).date);
    order.resize(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&days](int a, int b) { return days.at(a) < days.at(b); });
}

// The coordinates where the boxes start follow the dates in every style,
// one way or the other; a geometry that breaks that order is sorted by
// coordinate instead.
void TLItemIndex::orderAlongTimeAxis()
{
    const int n = order.size();
    timeStarts.resize(n);
    for (int k = 0; k < n; ++k)
        timeStarts[k] = timeStart(rows.at(order.at(k)));
    if (!std::is_sorted(timeStarts.cbegin(), timeStarts.cend())) {
        if (std::is_sorted(timeStarts.crbegin(), timeStarts.crend())) {
            std::reverse(order.begin(), order.end());
            std::reverse(timeStarts.begin(), timeStarts.end());
        } else {
            std::stable_sort(order.begin(), order.end(),
                             [this](int a, int b) { return timeStart(rows.at(a)) < timeStart(rows.at(b)); });
            for (int k = 0; k < n; ++k)
                timeStarts[k] = timeStart(rows.at(order.at(k)));
        }
    }
    placeInOrder.resize(n);
    for (int k = 0; k < n; ++k)
        placeInOrder[order.at(k)] = k;
    buildBlocks();
}

// Before its label is measured, a row reaches as far as its span or the
// largest box of any label; measuring a block of rows draws its end in.
void TLItemIndex::buildBlocks()
{
    const int n = order.size();
    const int blocks = (n + BlockSize - 1) / BlockSize;
    blockEnds.fill(std::numeric_limits<qint64>::min(), blocks);
    blockMeasured.fill(false, blocks);
    for (int k = 0; k < n; ++k) {
        const Row &row = rows.at(order.at(k));
        const int block = k / BlockSize;
        blockEnds[block] = std::max(blockEnds.at(block), qint64(timeStarts.at(k)) + timeLength(reachableSize(row)));
    }
}

void TLItemIndex::measureBlock(int block)
{
    if (blockMeasured.at(block))
        return;
    qint64 end = std::numeric_limits<qint64>::min();
    const int last = std::min<int>(order.size(), (block + 1) * BlockSize);
    for (int k = block * BlockSize; k < last; ++k) {
        Row &row = rows[order.at(k)];
        if (!row.measured) {
            row.measure = bound.measure(model->index(order.at(k), TLItem::TextColumn).data().toString());
            row.measured = true;
        }
        end = std::max(end, qint64(timeStarts.at(k)) + timeLength(reachableSize(row)));
    }
    blockEnds[block] = end;
    blockMeasured[block] = true;
}

int TLItemIndex::timeStart(const Row &row) const
{
    return timeAxis == Qt::Horizontal ? row.frame.topLeft.x() : row.frame.topLeft.y();
}

int TLItemIndex::timeLength(const QSize &size) const
{
    return timeAxis == Qt::Horizontal ? size.width() : size.height();
}

QSize TLItemIndex::boxSize(const Row &row) const
{
    const QSize label = row.label ? row.label->size.size : QSize();
    return QSize(label.width(), row.frame.fixedHeight.value_or(label.height()));
}

QSize TLItemIndex::reachableSize(const Row &row) const
{
    if (hasCurrentLabel(row))
        return boxSize(row);
    QSize size;
    if (row.measured && row.measure)
        size = bound.boxBound(*row.measure, row.frame.span);
    else
        size = QSize(std::max(row.frame.span.value_or(0), TLLabelLayout::MaxBoxExtent), TLLabelLayout::MaxBoxExtent);
    return QSize(size.width(), row.frame.fixedHeight.value_or(size.height()));
}

void TLItemIndex::layOutRow(int r, const LabelLayout &layOut)
{
    Row &row = rows[r];
    row.label = LabelAtSpan { layOut(r, row.frame.span), row.frame.span };
}

bool TLItemIndex::hasLabelSize(int row) const
{
    return row >= 0 && row < rows.size() && !rows.at(row).stale && hasCurrentLabel(rows.at(row));
}

bool TLItemIndex::ensureLabel(int row, const LabelLayout &layOut)
{
    update();
    if (row < 0 || row >= rows.size())
        return false;
    if (!hasCurrentLabel(rows.at(row)))
        layOutRow(row, layOut);
    return true;
}

TLLabelSize TLItemIndex::labelSize(int row, const LabelLayout &layOut)
{
    return ensureLabel(row, layOut) ? rows.at(row).label->size : TLLabelSize();
}

QRect TLItemIndex::box(int row, const LabelLayout &layOut)
{
    return ensureLabel(row, layOut) ? QRect(rows.at(row).frame.topLeft, boxSize(rows.at(row))) : QRect();
}

QRect TLItemIndex::reachableBox(int row)
{
    update();
    if (row < 0 || row >= rows.size())
        return QRect();
    measureBlock(placeInOrder.at(row) / BlockSize);
    return QRect(rows.at(row).frame.topLeft, reachableSize(rows.at(row)));
}

QList<int> TLItemIndex::rowsNear(const QRect &area, const QMargins &reach)
{
    update();
    QList<int> found;
    if (rows.isEmpty() || area.isEmpty())
        return found;

    // Along the time axis: the area's first and last pixels, and how far
    // the drawing reaches before and after a box.
    const bool horizontal = timeAxis == Qt::Horizontal;
    const qint64 t0 = horizontal ? area.left() : area.top();
    const qint64 t1 = horizontal ? area.right() : area.bottom();
    const int beforeT = horizontal ? reach.left() : reach.top();
    const int afterT = horizontal ? reach.right() : reach.bottom();

    const qint64 lastStart = t1 + beforeT;
    const int end = int(std::upper_bound(timeStarts.cbegin(), timeStarts.cend(), lastStart,
                                         [](qint64 value, int start) { return value < start; })
                        - timeStarts.cbegin());
    for (int block = 0; block * BlockSize < end; ++block) {
        if (blockEnds.at(block) - 1 + afterT < t0)
            continue;
        measureBlock(block);
        if (blockEnds.at(block) - 1 + afterT < t0)
            continue;
        const int blockEnd = std::min(end, (block + 1) * BlockSize);
        for (int k = block * BlockSize; k < blockEnd; ++k) {
            const int r = order.at(k);
            const Row &row = rows.at(r);
            if (QRect(row.frame.topLeft, reachableSize(row)).marginsAdded(reach).intersects(area))
                found.append(r);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

int TLItemIndex::yearCharacters()
{
    update();
    return yearChars;
}
