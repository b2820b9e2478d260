#ifndef TLCHARTLAYOUT_H
#define TLCHARTLAYOUT_H

#include "view/tlitemindex.h"
#include "view/tllabelcache.h"

#include <QList>
#include <QMargins>
#include <QObject>
#include <QRect>

#include <optional>

class QAbstractItemModel;
class QPoint;
class QRegion;
class QTimer;
class TLRichText;

// Where a chart's items go and what their labels look like laid out, kept
// between paints: the boxes of all items (TLItemIndex) and the laid-out
// labels of those drawn lately (TLLabelCache). It follows the model by
// itself; the chart asks which rows a paint or a click needs and gets their
// boxes and labels.
//
// A label is laid out when something first needs it. A paint on the screen
// of a large chart leaves out labels whose boxes start far before it and
// lays them out a slice at a time when the program is idle; whenever a label
// is laid out later than the paints that could have shown it, the chart is
// told which part it reaches.
class TLChartLayout : public QObject
{
    Q_OBJECT

public:
    // What rows are looked for: a paint on the screen may leave labels far
    // before it to idle time; a picture of the chart (an export, a print, a
    // drag) is exact at once. Labels laid out for either are kept for
    // drawing; a hit test only measures them.
    enum class Purpose { ScreenPaint, Picture, HitTest };

    // Up to this many items, a paint on the screen is exact at once too.
    static constexpr int SmallChart = 256;

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

    // The rows, in ascending order, whose drawing meets area.
    QList<int> rowsToPaint(const QRect &area, Purpose purpose);
    // The rows, in ascending order, whose hit box contains point.
    QList<int> rowsAt(const QPoint &point);

    // The widest year of any item date, in characters.
    int yearCharacters();
    // Labels still to be laid out in idle time.
    int pendingLayouts();
    // The chart is not shown: no more layouts in idle time.
    void stopIdleLayout();

signals:
    // The items changed: whatever shows them needs a repaint.
    void itemsChanged();
    // A label was laid out after the paints that could have drawn it; this
    // is the part of the chart it reaches that they may have missed.
    void labelLaidOutLate(const QRegion &missed);

private:
    TLItemIndex::LabelLayout labelLayout(Purpose purpose, QList<int> *laidOut);
    void reportLate(const QList<int> &rows, const QRect &painted);
    int deferBand();
    void layOutInIdleTime();
    QString textOf(int row) const;

    const QAbstractItemModel *model = nullptr;
    std::optional<Qt::Orientation> timeAxis;
    TLItemIndex index;
    TLLabelCache labels;
    QMargins drawingReach;
    QTimer *idleLayout = nullptr;
    // Where the last paint on the screen was, which idle time lays out near.
    QRect lastScreenArea;
};

#endif
