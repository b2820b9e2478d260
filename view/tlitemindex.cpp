#include "view/tlitemindex.h"

#include "model/tlitem.h"
#include "view/tlgeometry.h"

#include <QAbstractItemModel>
#include <QDeadlineTimer>
#include <QVariant>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <numeric>

namespace {

int yearLength(const QDate &date)
{
    if (date.isNull())
        return 0;
    int year = date.year();
    int length = year < 0 ? 2 : 1;
    for (year = std::abs(year); year >= 10; year /= 10)
        ++length;
    return length;
}

}

TLItemIndex::TLItemIndex(FrameFunction frame, MeasureFunction measure, MeasuredFunction measured)
    : frameOf(std::move(frame))
    , measureLabel(std::move(measure))
    , labelMeasured(std::move(measured))
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
        rows[row].measuredSpan = NotMeasured;
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

void TLItemIndex::moveFrames()
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
    row.measuredSpan = NotMeasured;
    row.stale = false;
    yearChars = std::max({ yearChars, yearLength(row.date), yearLength(row.endDate) });
}

// Everything the queries read is brought up to date here, once after any
// number of changes.
void TLItemIndex::ensure()
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
        sortRows();
        staleOrder = false;
    }
    placeRows();
}

void TLItemIndex::sortRows()
{
    QList<qint64> days(rows.size());
    for (int row = 0; row < rows.size(); ++row)
        days[row] = TLGeometry::julianDay(rows.at(row).date);
    order.resize(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&days](int a, int b) { return days.at(a) < days.at(b); });
}

// The leading coordinates follow the dates in every style, one way or the
// other; a geometry that breaks that order is sorted by coordinate instead.
void TLItemIndex::placeRows()
{
    const int n = order.size();
    leads.resize(n);
    for (int k = 0; k < n; ++k)
        leads[k] = lead(rows.at(order.at(k)));
    if (!std::is_sorted(leads.cbegin(), leads.cend())) {
        if (std::is_sorted(leads.crbegin(), leads.crend())) {
            std::reverse(order.begin(), order.end());
            std::reverse(leads.begin(), leads.end());
        } else {
            std::stable_sort(order.begin(), order.end(),
                             [this](int a, int b) { return lead(rows.at(a)) < lead(rows.at(b)); });
            for (int k = 0; k < n; ++k)
                leads[k] = lead(rows.at(order.at(k)));
        }
    }
    rankOf.resize(n);
    for (int k = 0; k < n; ++k)
        rankOf[order.at(k)] = k;
    buildBlocks();
}

void TLItemIndex::buildBlocks()
{
    const int n = order.size();
    const int blocks = (n + BlockSize - 1) / BlockSize;
    blockEnds.fill(std::numeric_limits<qint64>::min(), blocks);
    blockUnknown.fill(0, blocks);
    unmeasured = 0;
    for (int k = 0; k < n; ++k) {
        const Row &row = rows.at(order.at(k));
        const int block = k / BlockSize;
        if (!measured(row)) {
            ++unmeasured;
            ++blockUnknown[block];
        }
        bool exact = false;
        const int length = knownLength(row, &exact);
        if (exact)
            blockEnds[block] = std::max(blockEnds.at(block), qint64(leads.at(k)) + length);
    }
}

int TLItemIndex::lead(const Row &row) const
{
    return timeAxis == Qt::Horizontal ? row.frame.topLeft.x() : row.frame.topLeft.y();
}

int TLItemIndex::cross(const Row &row) const
{
    return timeAxis == Qt::Horizontal ? row.frame.topLeft.y() : row.frame.topLeft.x();
}

QSize TLItemIndex::boxSize(const Row &row) const
{
    return QSize(row.label.size.width(), row.frame.height >= 0 ? row.frame.height : row.label.size.height());
}

int TLItemIndex::knownLength(const Row &row, bool *exact) const
{
    if (measured(row)) {
        *exact = true;
        const QSize size = boxSize(row);
        return timeAxis == Qt::Horizontal ? size.width() : size.height();
    }
    // A span is the least width of a box: a label that does not fit it
    // makes the box wider. A fixed height is all of the box's height.
    if (timeAxis == Qt::Vertical && row.frame.height >= 0) {
        *exact = true;
        return row.frame.height;
    }
    *exact = false;
    return timeAxis == Qt::Horizontal ? std::max(row.frame.span, 0) : 0;
}

void TLItemIndex::measure(int r)
{
    Row &row = rows[r];
    row.label = measureLabel(r, row.frame.span);
    row.measuredSpan = row.frame.span;
    if (row.frame.span < 0)
        widest = std::max(widest, row.label.size.width());
    if (row.frame.height < 0)
        widest = std::max(widest, row.label.size.height());
    noteMeasured(r);
    labelMeasured(QRect(row.frame.topLeft, boxSize(row)));
}

void TLItemIndex::noteMeasured(int r)
{
    const int k = rankOf.at(r);
    const int block = k / BlockSize;
    --unmeasured;
    --blockUnknown[block];
    bool exact = false;
    const int length = knownLength(rows.at(r), &exact);
    blockEnds[block] = std::max(blockEnds.at(block), qint64(leads.at(k)) + length);
}

bool TLItemIndex::isMeasured(int row) const
{
    return row >= 0 && row < rows.size() && !rows.at(row).stale && measured(rows.at(row));
}

bool TLItemIndex::measureIfNeeded(int row)
{
    ensure();
    if (row < 0 || row >= rows.size())
        return false;
    if (!measured(rows.at(row)))
        measure(row);
    return true;
}

TLLabelSize TLItemIndex::label(int row)
{
    return measureIfNeeded(row) ? rows.at(row).label : TLLabelSize();
}

QRect TLItemIndex::box(int row)
{
    return measureIfNeeded(row) ? QRect(rows.at(row).frame.topLeft, boxSize(rows.at(row))) : QRect();
}

QList<int> TLItemIndex::rowsMeeting(const QRect &area, const QMargins &reach, int deferBeyond)
{
    ensure();
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

    const qint64 lastLead = t1 + beforeT;
    const int end = int(std::upper_bound(leads.cbegin(), leads.cend(), lastLead,
                                         [](qint64 value, int lead) { return value < lead; })
                        - leads.cbegin());
    for (int block = 0; block * BlockSize < end; ++block) {
        if (blockUnknown.at(block) == 0 && blockEnds.at(block) - 1 + afterT < t0)
            continue;
        const int blockEnd = std::min(end, (block + 1) * BlockSize);
        for (int k = block * BlockSize; k < blockEnd; ++k) {
            const int r = order.at(k);
            const Row &row = rows.at(r);
            const qint64 crossStart = cross(row);
            if (crossStart - beforeC > c1)
                continue;
            if (!measured(row)) {
                bool exact = false;
                const qint64 reachT = qint64(leads.at(k)) + knownLength(row, &exact) - 1 + afterT;
                if (exact && reachT < t0)
                    continue;
                if (deferBeyond >= 0
                    && (reachT < t0 - deferBeyond || crossStart - 1 + afterC < c0 - deferBeyond))
                    continue;
                measure(r);
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
    ensure();
    return yearChars;
}

int TLItemIndex::unmeasuredCount()
{
    ensure();
    return unmeasured;
}

void TLItemIndex::measureSome(const QRect &near, const QDeadlineTimer &deadline)
{
    ensure();
    const int n = order.size();
    if (unmeasured == 0 || n == 0)
        return;
    const int nearEnd = timeAxis == Qt::Horizontal ? near.right() : near.bottom();
    const int end = int(std::upper_bound(leads.cbegin(), leads.cend(), nearEnd) - leads.cbegin());
    const int blocks = blockUnknown.size();
    const int firstBlock = std::clamp(end - 1, 0, n - 1) / BlockSize;
    // From the block at the end of the area down to the first, then from
    // the last block down to the one after it.
    for (int step = 0; step < blocks && unmeasured > 0; ++step) {
        const int block = (firstBlock - step + blocks) % blocks;
        if (blockUnknown.at(block) == 0)
            continue;
        const int first = block * BlockSize;
        for (int k = std::min(n, first + BlockSize) - 1; k >= first; --k) {
            const int r = order.at(k);
            if (measured(rows.at(r)))
                continue;
            measure(r);
            if (deadline.hasExpired())
                return;
        }
    }
}
