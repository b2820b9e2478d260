#include "view/tlitemindex.h"

#include "model/tlitem.h"
#include "model/tldatetext.h"
#include "view/tlgeometry.h"

#include <QAbstractItemModel>
#include <QDeadlineTimer>
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

TLItemIndex::TLItemIndex(FrameFunction frame)
    : frameOf(std::move(frame))
{
}

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

void TLItemIndex::buildBlocks()
{
    const int n = order.size();
    const int blocks = (n + BlockSize - 1) / BlockSize;
    blockEnds.fill(std::numeric_limits<qint64>::min(), blocks);
    blockUnknown.fill(0, blocks);
    withoutLabel = 0;
    for (int k = 0; k < n; ++k) {
        const Row &row = rows.at(order.at(k));
        const int block = k / BlockSize;
        if (!hasCurrentLabel(row)) {
            ++withoutLabel;
            ++blockUnknown[block];
        }
        bool exact = false;
        const int length = knownLength(row, &exact);
        if (exact)
            blockEnds[block] = std::max(blockEnds.at(block), qint64(timeStarts.at(k)) + length);
    }
}

int TLItemIndex::timeStart(const Row &row) const
{
    return timeAxis == Qt::Horizontal ? row.frame.topLeft.x() : row.frame.topLeft.y();
}

int TLItemIndex::crossStart(const Row &row) const
{
    return timeAxis == Qt::Horizontal ? row.frame.topLeft.y() : row.frame.topLeft.x();
}

QSize TLItemIndex::boxSize(const Row &row) const
{
    const QSize label = row.label ? row.label->size.size : QSize();
    return QSize(label.width(), row.frame.fixedHeight.value_or(label.height()));
}

int TLItemIndex::knownLength(const Row &row, bool *exact) const
{
    if (hasCurrentLabel(row)) {
        *exact = true;
        const QSize size = boxSize(row);
        return timeAxis == Qt::Horizontal ? size.width() : size.height();
    }
    // A span is the least width of a box: a label that does not fit it
    // makes the box wider. A fixed height is all of the box's height.
    if (timeAxis == Qt::Vertical && row.frame.fixedHeight) {
        *exact = true;
        return *row.frame.fixedHeight;
    }
    *exact = false;
    return timeAxis == Qt::Horizontal ? std::max(row.frame.span.value_or(0), 0) : 0;
}

void TLItemIndex::layOutRow(int r, const LabelLayout &layOut)
{
    Row &row = rows[r];
    row.label = LabelAtSpan { layOut(r, row.frame.span), row.frame.span };
    if (!row.frame.span)
        widest = std::max(widest, row.label->size.size.width());
    if (!row.frame.fixedHeight)
        widest = std::max(widest, row.label->size.size.height());
    recordLabel(r);
}

void TLItemIndex::recordLabel(int r)
{
    const int k = placeInOrder.at(r);
    const int block = k / BlockSize;
    --withoutLabel;
    --blockUnknown[block];
    bool exact = false;
    const int length = knownLength(rows.at(r), &exact);
    blockEnds[block] = std::max(blockEnds.at(block), qint64(timeStarts.at(k)) + length);
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

QList<int> TLItemIndex::rowsMeeting(const QRect &area, const QMargins &reach, std::optional<int> deferBeyond,
                                    const LabelLayout &layOut)
{
    update();
    QList<int> found;
    if (rows.isEmpty() || area.isEmpty())
        return found;

    // Along the time axis (t) and across it (c): the area's first and last
    // pixels, and how far the drawing reaches before and after a box.
    const bool horizontal = timeAxis == Qt::Horizontal;
    const qint64 t0 = horizontal ? area.left() : area.top();
    const qint64 t1 = horizontal ? area.right() : area.bottom();
    const qint64 c0 = horizontal ? area.top() : area.left();
    const qint64 c1 = horizontal ? area.bottom() : area.right();
    const int beforeT = horizontal ? reach.left() : reach.top();
    const int afterT = horizontal ? reach.right() : reach.bottom();
    const int beforeC = horizontal ? reach.top() : reach.left();
    const int afterC = horizontal ? reach.bottom() : reach.right();

    const qint64 lastStart = t1 + beforeT;
    const int end = int(std::upper_bound(timeStarts.cbegin(), timeStarts.cend(), lastStart,
                                         [](qint64 value, int start) { return value < start; })
                        - timeStarts.cbegin());
    for (int block = 0; block * BlockSize < end; ++block) {
        if (blockUnknown.at(block) == 0 && blockEnds.at(block) - 1 + afterT < t0)
            continue;
        const int blockEnd = std::min(end, (block + 1) * BlockSize);
        for (int k = block * BlockSize; k < blockEnd; ++k) {
            const int r = order.at(k);
            const Row &row = rows.at(r);
            const qint64 across = crossStart(row);
            if (across - beforeC > c1)
                continue;
            if (!hasCurrentLabel(row)) {
                bool exact = false;
                const qint64 reachT = qint64(timeStarts.at(k)) + knownLength(row, &exact) - 1 + afterT;
                if (exact && reachT < t0)
                    continue;
                if (deferBeyond && (reachT < t0 - *deferBeyond || across - 1 + afterC < c0 - *deferBeyond))
                    continue;
                layOutRow(r, layOut);
            }
            const QRect drawn = QRect(row.frame.topLeft, boxSize(row)).marginsAdded(reach);
            if (drawn.intersects(area))
                found.append(r);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

int TLItemIndex::widestLabel() const
{
    return widest;
}

int TLItemIndex::yearCharacters()
{
    update();
    return yearChars;
}

int TLItemIndex::rowsWithoutLabelSize()
{
    update();
    return withoutLabel;
}

void TLItemIndex::layOutNear(const QRect &near, const QDeadlineTimer &deadline, const LabelLayout &layOut)
{
    update();
    const int n = order.size();
    if (withoutLabel == 0 || n == 0)
        return;
    const int nearEnd = timeAxis == Qt::Horizontal ? near.right() : near.bottom();
    const int end = int(std::upper_bound(timeStarts.cbegin(), timeStarts.cend(), nearEnd) - timeStarts.cbegin());
    const int blocks = blockUnknown.size();
    const int firstBlock = std::clamp(end - 1, 0, n - 1) / BlockSize;
    // From the block at the end of the area down to the first, then from
    // the last block down to the one after it.
    for (int step = 0; step < blocks && withoutLabel > 0; ++step) {
        const int block = (firstBlock - step + blocks) % blocks;
        if (blockUnknown.at(block) == 0)
            continue;
        const int first = block * BlockSize;
        for (int k = std::min(n, first + BlockSize) - 1; k >= first; --k) {
            const int r = order.at(k);
            if (hasCurrentLabel(rows.at(r)))
                continue;
            layOutRow(r, layOut);
            if (deadline.hasExpired())
                return;
        }
    }
}
