#ifndef TLCHARTLAYOUT_H
#define TLCHARTLAYOUT_H

#include "view/tlitemindex.h"
#include "view/tllabelcache.h"

#include <QList>
#include <QMargins>
#include <QObject>
#include <QRect>

#include <functional>
#include <optional>

class QAbstractItemModel;
class QPoint;
class TLRichText;

// Where a chart's items go and what their labels look like laid out, kept
// between paints: the boxes of all items (TLItemIndex) and the laid-out
// labels of those drawn lately (TLLabelCache). It follows the model by
// itself; the chart asks which rows a paint or a click needs and gets their
// boxes and labels.
//
// A label is laid out when something first needs it: a paint or a click
// lays out only the labels whose bound reaches what it looks at, and a
// paint leaves out the boxes hidden under later ones.
class TLChartLayout : public QObject
{
    Q_OBJECT

public:
    // The part of a row's drawing that paints every pixel of it opaquely,
    // given its box: what lies under it there cannot be seen.
    using CoverFunction = std::function<QRect(int row, const QRect &box)>;

    explicit TLChartLayout(TLItemIndex::FrameFunction frame, QObject *parent = nullptr);
    ~TLChartLayout() override;

    void setModel(const QAbstractItemModel *model);
    // The axis time runs along in the boxes; a chart without one places no
    // items.
    void setTimeAxis(std::optional<Qt::Orientation> axis);
    // The view parameters changed: every frame is placed anew.
    void invalidateFrames();
    // How far the drawing of an item reaches beyond its box.
    void setDrawingReach(const QMargins &reach);

    bool placesItems() const;
    int rowCount() const;
    // The box of a row (w x h), and its hit box, 10 wider and 5 taller.
    QRect box(int row);
    QRect hitBox(int row);
    // The label of a row laid out for drawing.
    TLRichText *label(int row);

    // A row to paint, and the part of area its drawing can be seen in.
    struct ShownRow
    {
        int row;
        QRect part;
    };

    // The rows, in ascending order, whose drawing meets area; with covers
    // given, without those whose drawing there lies wholly under the covers
    // of later rows, as a paint that draws rows in that order hides them.
    QList<ShownRow> rowsToPaint(const QRect &area, const CoverFunction &opaqueCover = {});
    // The rows, in ascending order, whose hit box contains point.
    QList<int> rowsAt(const QPoint &point);

    // The widest year of any item date, in characters.
    int yearCharacters();

signals:
    // The items changed: whatever shows them needs a repaint.
    void itemsChanged();

private:
    // Lays a label out in the scratch document, which becomes the row's
    // document for drawing if keepDocument says so.
    TLLabelSize layOutInScratch(int row, std::optional<int> span);
    TLItemIndex::LabelLayout labelLayout(bool keepDocument);
    QString textOf(int row) const;

    const QAbstractItemModel *model = nullptr;
    std::optional<Qt::Orientation> timeAxis;
    TLLabelCache labels;
    TLItemIndex index;
    QMargins drawingReach;
};

#endif
