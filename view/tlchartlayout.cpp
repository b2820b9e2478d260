#include "view/tlchartlayout.h"

#include "model/tlitem.h"
#include "model/tlitemmodel.h"
#include "model/tlrichtext.h"
#include "view/tllabellayout.h"

#include <QAbstractItemModel>
#include <QMargins>
#include <QPoint>
#include <QRegion>

#include <algorithm>

namespace {

// Clicks find a box with its shadow.
const QMargins HitMargins(0, 0, 10, 5);

// Whether nothing of part shows outside covered.
bool isHidden(const QRect &part, const QRegion &covered)
{
    return part.isEmpty()
        || (covered.boundingRect().contains(part) && QRegion(part).subtracted(covered).isEmpty());
}

}

TLChartLayout::TLChartLayout(TLItemIndex::FrameFunction frame, QObject *parent)
    : QObject(parent)
    , index(std::move(frame), labels.scratch()->defaultFont())
{
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
    return TLItemModel::item(model, row).text;
}

TLLabelSize TLChartLayout::layOutInScratch(int row, std::optional<int> span)
{
    TLRichText *document = labels.scratch();
    const QSize size = TLLabelLayout::layOut(document, textOf(row), span);
    return { size, document->textWidth() };
}

TLItemIndex::LabelLayout TLChartLayout::labelLayout(bool keepDocument)
{
    return [this, keepDocument](int row, std::optional<int> span) {
        const TLLabelSize label = layOutInScratch(row, span);
        if (keepDocument)
            labels.keepScratch(row);
        return label;
    };
}

QRect TLChartLayout::box(int row)
{
    if (!placesItems() || row < 0 || row >= index.rowCount())
        return QRect();
    return index.box(row, labelLayout(false));
}

QRect TLChartLayout::hitBox(int row)
{
    if (!placesItems() || row < 0 || row >= index.rowCount())
        return QRect();
    return box(row).marginsAdded(HitMargins);
}

TLRichText *TLChartLayout::label(int row)
{
    if (!placesItems() || row < 0 || row >= model->rowCount())
        return nullptr;
    const TLLabelSize size = index.labelSize(row, labelLayout(true));
    return labels.document(row, textOf(row), size.width);
}

// From the last row drawn down to the first, a row whose drawing, or
// before its label is laid out the most it can reach, lies under what the
// rows after it cover is left out. Only the labels of rows drawn are kept
// laid out for drawing.
QList<TLChartLayout::ShownRow> TLChartLayout::rowsToPaint(const QRect &area, const CoverFunction &opaqueCover)
{
    if (!placesItems() || area.isEmpty())
        return {};
    std::optional<int> inScratch;
    const TLItemIndex::LabelLayout layOut = [this, &inScratch](int row, std::optional<int> span) {
        inScratch = row;
        return layOutInScratch(row, span);
    };
    const QList<int> near = index.rowsNear(area, drawingReach);
    QList<ShownRow> shown;
    QList<int> rows;
    QRegion covered;
    for (auto it = near.crbegin(); it != near.crend(); ++it) {
        const int row = *it;
        if (opaqueCover && isHidden(index.reachableBox(row).marginsAdded(drawingReach) & area, covered))
            continue;
        const QRect box = index.box(row, layOut);
        QRect drawn = box.marginsAdded(drawingReach) & area;
        if (drawn.isEmpty())
            continue;
        if (opaqueCover) {
            if (isHidden(drawn, covered))
                continue;
            if (covered.intersects(drawn))
                drawn = (QRegion(drawn) - covered).boundingRect();
            covered += opaqueCover(row, box) & area;
        }
        if (inScratch == row)
            labels.keepScratch(row);
        shown.append({ row, drawn });
        rows.append(row);
    }
    std::reverse(shown.begin(), shown.end());
    labels.markUsed(rows);
    labels.trim(int(rows.size()));
    return shown;
}

QList<int> TLChartLayout::rowsAt(const QPoint &point)
{
    if (!placesItems())
        return {};
    const QRect spot(point, QSize(1, 1));
    const TLItemIndex::LabelLayout measureOnly = labelLayout(false);
    QList<int> rows;
    for (int row : index.rowsNear(spot, HitMargins)) {
        if (index.box(row, measureOnly).marginsAdded(HitMargins).contains(point))
            rows.append(row);
    }
    return rows;
}

int TLChartLayout::yearCharacters()
{
    return index.yearCharacters();
}
