#ifndef TLITEMINDEX_H
#define TLITEMINDEX_H

#include "view/tllabelbound.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>

class QAbstractItemModel;
class QFont;

// Where a style puts an item before its label is laid out: the box's
// top-left corner, the width its label is laid out at when the item's span
// fixes it, and a height that replaces the label's when the span fixes that.
struct TLItemFrame
{
    QPoint topLeft;
    std::optional<int> span;
    std::optional<int> fixedHeight;
};

// A laid-out label: its size as the box takes it, and the exact width the
// text was laid out at, so that the same layout can be made again.
struct TLLabelSize
{
    QSize size;
    double width = 0.0;
};

// The boxes of a chart's items without drawing them. Per row it keeps the
// item's frame, the bound its label's HTML puts on its size and its
// laid-out size, each built on first need and dropped when the row changes
// (the size also when the span it was laid out at changes). The rows are
// ordered along the time axis, with the furthest any box of a block of rows
// can reach, so that the rows that can meet an area are found without
// looking at the others, and only the labels whose bound reaches it need a
// layout.
//
// The index lays out no label itself: a query that needs a label's size
// asks the LabelLayout it is given, and keeps the answer.
class TLItemIndex
{
public:
    using FrameFunction = std::function<TLItemFrame(const QDate &date, int pos, const QDate &endDate)>;
    using LabelLayout = std::function<TLLabelSize(int row, std::optional<int> span)>;

    // Labels are measured in labelFont where they name no other.
    TLItemIndex(FrameFunction frame, const QFont &labelFont);
    ~TLItemIndex();

    void setModel(const QAbstractItemModel *model);
    void setTimeAxis(Qt::Orientation axis);

    // Model changes, and view changes that move every frame.
    void changeRows(int first, int last);
    void insertRows(int first, int last);
    void removeRows(int first, int last);
    void reset();
    void invalidateFrames();

    int rowCount() const;
    // The box of a row (w x h, without the margins of its hit box), and its
    // label's size, laid out through layOut if it was not yet.
    QRect box(int row, const LabelLayout &layOut);
    TLLabelSize labelSize(int row, const LabelLayout &layOut);
    // The box of a row where its label is laid out, else the largest box
    // its label can take.
    QRect reachableBox(int row);

    // The rows, in ascending order, whose box grown by reach can meet area:
    // those laid out whose box does, and those not laid out yet whose
    // reachable box does. Lays out nothing.
    QList<int> rowsNear(const QRect &area, const QMargins &reach);

    // The widest year of any date, in characters.
    int yearCharacters();

private:
    struct LabelAtSpan
    {
        TLLabelSize size;
        std::optional<int> span;
    };

    struct Row
    {
        QDate date;
        QDate endDate;
        int pos = 0;
        bool stale = true;
        TLItemFrame frame;
    };

    static constexpr int BlockSize = 64;

    void update();
    void readRow(int row);
    void sortByDate();
    void orderAlongTimeAxis();
    void buildBlocks();
    void measureBlock(int block);
    void shiftRows(int first, int by);
    // The row's label as laid out at its span, if it was.
    const LabelAtSpan *currentLabel(int row) const;
    // The row's label, laid out if it was not yet; none for no row.
    const LabelAtSpan *ensureLabel(int row, const LabelLayout &layOut);
    QSize boxSize(int row, const QSize &label) const;
    // The largest box a row can have: laid out, bound by its measure, or
    // bound by its span and the largest box of any label.
    QSize reachableSize(int row) const;
    int timeStart(const Row &row) const;
    int timeLength(const QSize &size) const;

    FrameFunction frameOf;
    TLLabelBound bound;
    const QAbstractItemModel *model = nullptr;
    Qt::Orientation timeAxis = Qt::Horizontal;

    QList<Row> rows;
    // Of the rows that needed them: the label as last laid out, whose size
    // holds while the frame keeps the span it was laid out at, and what the
    // label's HTML says of its size (none where it cannot say). Most rows
    // of a large chart never need either.
    QHash<int, LabelAtSpan> labels;
    QHash<int, std::optional<TLLabelBound::Measure>> measures;
    // Row numbers ordered along the time axis, the place of each row in that
    // order, and the coordinate where each entry's box starts along it.
    QList<int> order;
    QList<int> placeInOrder;
    QList<int> timeStarts;
    // Per block of BlockSize entries of the order: the furthest any box
    // reaches along the time axis, and whether its labels are measured.
    QList<qint64> blockEnds;
    QList<bool> blockMeasured;

    bool staleRows = true;
    bool staleOrder = true;
    bool staleFrames = true;
    int yearChars = 4;
};

#endif
