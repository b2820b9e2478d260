#include "view/tlitemindex.h"

#include "model/tlitem.h"
#include "model/tlitemmodel.h"
#include "model/tldatetext.h"
#include "view/tlgeometry.h"
#include "view/tllabellayout.h"

#include <QAbstractItemModel>
#include <QFont>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

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
        labels.remove(row);
        measures.remove(row);
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
    shiftRows(first, count);
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
    for (int row = first; row <= last; ++row) {
        labels.remove(row);
        measures.remove(row);
    }
    shiftRows(last + 1, -count);
    staleOrder = true;
}

// Rows from first on move by rows; what is kept of them moves along.
void TLItemIndex::shiftRows(int first, int by)
{
    const auto shifted = [first, by](auto *kept) {
        std::remove_reference_t<decltype(*kept)> moved;
        for (auto it = kept->cbegin(); it != kept->cend(); ++it)
            moved.insert(it.key() >= first ? it.key() + by : it.key(), it.value());
        *kept = std::move(moved);
    };
    shifted(&labels);
    shifted(&measures);
}

void TLItemIndex::reset()
{
    rows.clear();
    labels.clear();
    measures.clear();
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
    const TLItem item = TLItemModel::item(model, r);
    if (item.date != row.date)
        staleOrder = true;
    row.date = item.date;
    row.pos = item.pos;
    row.endDate = item.endDate;
    row.frame = frameOf(row.date, row.pos, row.endDate);
    labels.remove(r);
    measures.remove(r);
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

// By day, and rows of a day in their order.
void TLItemIndex::sortByDate()
{
    std::vector<std::pair<qint64, int>> keys(size_t(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        keys[size_t(row)] = { TLGeometry::julianDay(rows.at(row).date), row };
    std::sort(keys.begin(), keys.end());
    order.resize(rows.size());
    for (int k = 0; k < rows.size(); ++k)
        order[k] = keys[size_t(k)].second;
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
        const int block = k / BlockSize;
        const qint64 reached = qint64(timeStarts.at(k)) + timeLength(reachableSize(order.at(k)));
        blockEnds[block] = std::max(blockEnds.at(block), reached);
    }
}

void TLItemIndex::measureBlock(int block)
{
    if (blockMeasured.at(block))
        return;
    qint64 end = std::numeric_limits<qint64>::min();
    const int last = std::min<int>(order.size(), (block + 1) * BlockSize);
    for (int k = block * BlockSize; k < last; ++k) {
        const int row = order.at(k);
        if (!currentLabel(row) && !measures.contains(row))
            measures.insert(row, bound.measure(TLItemModel::item(model, row).text));
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

const TLItemIndex::LabelAtSpan *TLItemIndex::currentLabel(int row) const
{
    const auto kept = labels.constFind(row);
    return kept != labels.cend() && kept->span == rows.at(row).frame.span ? &*kept : nullptr;
}

QSize TLItemIndex::boxSize(int row, const QSize &label) const
{
    return QSize(label.width(), rows.at(row).frame.fixedHeight.value_or(label.height()));
}

QSize TLItemIndex::reachableSize(int row) const
{
    if (const LabelAtSpan *label = currentLabel(row))
        return boxSize(row, label->size.size);
    const TLItemFrame &frame = rows.at(row).frame;
    const auto measure = measures.constFind(row);
    if (measure != measures.cend() && *measure)
        return boxSize(row, bound.boxBound(**measure, frame.span));
    const int largest = TLLabelLayout::MaxBoxExtent;
    return boxSize(row, QSize(std::max(frame.span.value_or(0), largest), largest));
}

const TLItemIndex::LabelAtSpan *TLItemIndex::ensureLabel(int row, const LabelLayout &layOut)
{
    update();
    if (row < 0 || row >= rows.size())
        return nullptr;
    if (const LabelAtSpan *label = currentLabel(row))
        return label;
    const std::optional<int> span = rows.at(row).frame.span;
    measures.remove(row);
    return &*labels.insert(row, LabelAtSpan { layOut(row, span), span });
}

TLLabelSize TLItemIndex::labelSize(int row, const LabelLayout &layOut)
{
    const LabelAtSpan *label = ensureLabel(row, layOut);
    return label ? label->size : TLLabelSize();
}

QRect TLItemIndex::box(int row, const LabelLayout &layOut)
{
    const LabelAtSpan *label = ensureLabel(row, layOut);
    return label ? QRect(rows.at(row).frame.topLeft, boxSize(row, label->size.size)) : QRect();
}

QRect TLItemIndex::reachableBox(int row)
{
    update();
    if (row < 0 || row >= rows.size())
        return QRect();
    measureBlock(placeInOrder.at(row) / BlockSize);
    return QRect(rows.at(row).frame.topLeft, reachableSize(row));
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
            const int row = order.at(k);
            if (QRect(rows.at(row).frame.topLeft, reachableSize(row)).marginsAdded(reach).intersects(area))
                found.append(row);
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
