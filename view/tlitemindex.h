#ifndef TLITEMINDEX_H
#define TLITEMINDEX_H

#include <QDate>
#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>

class QAbstractItemModel;
class QDeadlineTimer;

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
// item's frame and its label's size, each built on first need and dropped
// when the row changes (the size also when the span it was laid out at
// changes); the rows ordered along the time axis, with the furthest reach of
// each block of rows, find the rows that can meet an area without looking
// at the others.
//
// The index lays out no label itself: a query that needs a label's size
// asks the LabelLayout it is given, and keeps the answer.
class TLItemIndex
{
public:
    using FrameFunction = std::function<TLItemFrame(const QDate &date, int pos, const QDate &endDate)>;
    using LabelLayout = std::function<TLLabelSize(int row, std::optional<int> span)>;

    explicit TLItemIndex(FrameFunction frame);

    void setModel(const QAbstractItemModel *model);
    void setTimeAxis(Qt::Orientation axis);

    // Model changes, and view changes that move every frame.
    void changeRows(int first, int last);
    void insertRows(int first, int last);
    void removeRows(int first, int last);
    void reset();
    void invalidateFrames();

    int rowCount() const;
    bool hasLabelSize(int row) const;
    // The box of a row (w x h, without the margins of its hit box), and its
    // label's size, laid out through layOut if it was not yet.
    QRect box(int row, const LabelLayout &layOut);
    TLLabelSize labelSize(int row, const LabelLayout &layOut);

    // The rows, in ascending order, whose box grown by reach meets area.
    // Labels not laid out yet are laid out as they are needed, except, with
    // deferBeyond, those whose box starts more than that many pixels before
    // the area along either axis and whose known extent does not reach it:
    // those are left out until they are laid out.
    QList<int> rowsMeeting(const QRect &area, const QMargins &reach, std::optional<int> deferBeyond,
                           const LabelLayout &layOut);

    // The furthest a label without a span reaches along either axis so far.
    int widestLabel() const;
    // The widest year of any date, in characters.
    int yearCharacters();

    int rowsWithoutLabelSize();
    // Lays out labels not laid out yet, those whose box starts nearest
    // before the end of near along the time axis first, until the deadline.
    void layOutNear(const QRect &near, const QDeadlineTimer &deadline, const LabelLayout &layOut);

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
        TLItemFrame frame;
        // The label as last laid out; its size holds while the frame keeps
        // the span it was laid out at.
        std::optional<LabelAtSpan> label;
        bool stale = true;
    };

    static constexpr int BlockSize = 64;

    static bool hasCurrentLabel(const Row &row) { return row.label && row.label->span == row.frame.span; }
    void update();
    void readRow(int row);
    void sortByDate();
    void orderAlongTimeAxis();
    void buildBlocks();
    void layOutRow(int row, const LabelLayout &layOut);
    // Whether row is a row, its label laid out if it was not yet.
    bool ensureLabel(int row, const LabelLayout &layOut);
    QSize boxSize(const Row &row) const;
    int timeStart(const Row &row) const;
    int crossStart(const Row &row) const;
    // How far the box reaches along the time axis for sure, and whether
    // that is all of it.
    int knownLength(const Row &row, bool *exact) const;
    void recordLabel(int row);

    FrameFunction frameOf;
    const QAbstractItemModel *model = nullptr;
    Qt::Orientation timeAxis = Qt::Horizontal;

    QList<Row> rows;
    // Row numbers ordered along the time axis, the place of each row in that
    // order, and the coordinate where each entry's box starts along it.
    QList<int> order;
    QList<int> placeInOrder;
    QList<int> timeStarts;
    // Per block of BlockSize entries of the order: the furthest known end
    // along the time axis, and the entries whose end is not known yet.
    QList<qint64> blockEnds;
    QList<int> blockUnknown;

    bool staleRows = true;
    bool staleOrder = true;
    bool staleFrames = true;
    int withoutLabel = 0;
    int widest = 0;
    int yearChars = 4;
};

#endif
