#ifndef TLITEMINDEX_H
#define TLITEMINDEX_H

#include <QDate>
#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>

class QAbstractItemModel;
class QDeadlineTimer;

// Where a style puts an item before its label is laid out: the box's
// top-left corner, the width its label is laid out at when the item's span
// fixes it (-1: the label's own width), and a height that replaces the
// label's (-1: none).
struct TLItemFrame
{
    QPoint topLeft;
    int span = -1;
    int height = -1;
};

// A laid-out label: its size as the box takes it, and the exact width the
// text was laid out at, so that the same layout can be made again.
struct TLLabelSize
{
    QSize size;
    double width = 0.0;
};

// The boxes of a chart's items without drawing them. Per row it keeps the
// item's frame and its label's laid-out size, each built on first need and
// dropped when the row changes (the size also when the span it was laid out
// at changes); an index of the rows ordered along the time axis, with the
// furthest reach of each block of rows, finds the rows that can meet an
// area without looking at the others.
class TLItemIndex
{
public:
    using FrameFunction = std::function<TLItemFrame(const QDate &date, int pos, const QDate &endDate)>;
    using MeasureFunction = std::function<TLLabelSize(int row, int span)>;
    // Told of every label laid out, with the box it gives its item.
    using MeasuredFunction = std::function<void(const QRect &box)>;

    TLItemIndex(FrameFunction frame, MeasureFunction measure, MeasuredFunction measured);

    void setModel(const QAbstractItemModel *model);
    void setTimeAxis(Qt::Orientation axis);

    // Model changes and view changes.
    void changeRows(int first, int last);
    void insertRows(int first, int last);
    void removeRows(int first, int last);
    void reset();
    void moveFrames();

    int rowCount() const;
    // The box of a row (w x h, without the margins of its hit box), with its
    // label laid out if it was not yet.
    QRect box(int row);
    TLLabelSize label(int row);
    bool isMeasured(int row) const;

    // The rows, in ascending order, whose box grown by reach meets area.
    // Rows whose label is not laid out yet are laid out as they are needed,
    // except, when deferBeyond is not negative, those whose box starts more
    // than deferBeyond pixels before the area along either axis and whose
    // known extent does not reach it: those are left out until they are
    // measured.
    QList<int> rowsMeeting(const QRect &area, const QMargins &reach, int deferBeyond = -1);

    // The furthest a measured label without a span reaches along either
    // axis so far.
    int widestLabel() const;
    // The widest year of any date, in characters.
    int yearCharacters();

    int unmeasuredCount();
    // Lays out labels not yet measured, those whose box starts nearest
    // before the end of near along the time axis first, until the deadline.
    void measureSome(const QRect &near, const QDeadlineTimer &deadline);

private:
    struct Row
    {
        QDate date;
        QDate endDate;
        int pos = 0;
        TLItemFrame frame;
        TLLabelSize label;
        // The span the label was laid out at; the size holds while the
        // frame keeps it. -2: not laid out.
        int measuredSpan = -2;
        bool stale = true;
    };

    static constexpr int BlockSize = 64;
    static constexpr int NotMeasured = -2;

    bool measured(const Row &row) const { return row.measuredSpan == row.frame.span; }
    void ensure();
    void readRow(int row);
    void sortRows();
    void placeRows();
    void buildBlocks();
    void measure(int row);
    // Whether row is a row, laid out if it was not yet.
    bool measureIfNeeded(int row);
    QSize boxSize(const Row &row) const;
    int lead(const Row &row) const;
    int cross(const Row &row) const;
    // How far the box reaches along the time axis for sure, and whether
    // that is all of it.
    int knownLength(const Row &row, bool *exact) const;
    void noteMeasured(int row);

    FrameFunction frameOf;
    MeasureFunction measureLabel;
    MeasuredFunction labelMeasured;
    const QAbstractItemModel *model = nullptr;
    Qt::Orientation timeAxis = Qt::Horizontal;

    QList<Row> rows;
    // Row numbers ordered along the time axis, the position of each row in
    // that order, and the leading coordinate of each entry.
    QList<int> order;
    QList<int> rankOf;
    QList<int> leads;
    // Per block of BlockSize entries of the order: the furthest known end
    // along the time axis, and the entries whose end is not known yet.
    QList<qint64> blockEnds;
    QList<int> blockUnknown;

    bool staleRows = true;
    bool staleOrder = true;
    bool staleFrames = true;
    int unmeasured = 0;
    int widest = 0;
    int yearChars = 4;
};

#endif
