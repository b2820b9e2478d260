#ifndef TLINE_H
#define TLINE_H

#include "view/tlitemrects.h"

#include <QBrush>
#include <QColor>
#include <QDate>
#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QWidget>

#include <memory>
#include <optional>

class QAbstractItemModel;
class QContextMenuEvent;
class QDrag;
class QImage;
class QMouseEvent;
class QPainter;
class QTextDocument;
class QTimer;
class TLItemIndex;
class TLLabelCache;
struct TLItemFrame;
struct TLLabelSize;

// The chart widget: holds the view parameters, maps dates and rows to
// pixels and reads the items from a table model. The styles derive from it
// and do all the drawing.
class TLine : public QWidget
{
    Q_OBJECT

public:
    enum DisplayFlag {
        MarkDays,
        MarkWeeks,
        MarkMonths,
        MarkYears,
        MarkEnds,
        MarkItems,
        ArrowShadow,
        ItemShadow,
        RoundEdges
    };

    enum BackgroundMode { NoBackground, SolidBackground, DiagonalGradient, VerticalGradient, ImageBackground };

    // The largest picture of the chart a drag carries, in device pixels
    // (16 megapixels, 64 MB). A larger chart is dragged as its visible part.
    static constexpr qint64 MaxDragPixels = qint64(4096) * 4096;

    // Up to this many items, every paint finds all items that reach it at
    // once; above it, a paint on the screen leaves items whose labels are not
    // laid out yet and which start far before the view to the background.
    static constexpr int SmallChart = 256;

    explicit TLine(QWidget *parent = nullptr);
    ~TLine() override;

    void setRange(const QDate &start, const QDate &end);
    void setModel(QAbstractItemModel *model);
    void setDisplayFlags(const QSet<int> &flags);
    int bgMode() const;

    // Labels still to be laid out in the background.
    Q_INVOKABLE int pendingLayouts();

signals:
    void itemClicked(int row);
    void itemDelete(int row);
    void backgroundClicked();

public slots:
    void setDayWidth(double w);
    void setDayWidth(int w);
    void setPosHeight(double h);
    void setPosHeight(int h);
    void setStart(const QDate &s);
    void setEnd(const QDate &e);
    virtual void recalcSize();
    void setMaxPos(int m);
    void setMarkEnds(bool on);
    void setMarkEnds(int state);
    void setMarkItems(int state);
    void setMarkItems(bool on);
    void setTPos(int t);
    void setBg(const QBrush &brush);
    void setBgMode(int mode);
    void setBgColors(const QList<QColor> &colors);
    void updateBg();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

    // Runs the drag to its end; the result is not looked at.
    virtual void execDrag(QDrag *drag);

    virtual void paint(QPainter *painter);
    virtual int dateToX(const QDate &date) const;
    virtual int posToY(int pos) const;
    virtual void paintItem(QPainter *painter, int row);
    virtual QPoint itemPoint(const QDate &date, int pos) const;

    // The axis time runs along in the style's item boxes; none for a widget
    // that places no items.
    virtual std::optional<Qt::Orientation> timeAxis() const;
    // Where the box of an item goes before its label is laid out: at the
    // item's anchor, as wide as its span when its end lies to the right.
    virtual TLItemFrame itemFrame(const QDate &date, int pos, const QDate &endDate) const;

    // Paints, in row order, every item that can reach what the painter
    // paints.
    void paintItems(QPainter *painter);
    // The label of a row laid out for drawing, with the box it goes in.
    QTextDocument *itemLabel(int row, QRect *box);

    QDate start;
    QDate end;
    double dayWidth;
    double posHeight;
    int maxPos;
    int tPos;
    bool markEnds;
    bool markItems;
    QAbstractItemModel *model;
    QBrush bg;
    TLItemRects itemRects;
    QList<QColor> bgColors;
    int backgroundMode;
    QPoint dragStartPos;
    QSet<int> displayFlags;

private:
    void setFlag(DisplayFlag flag, bool on);
    QList<int> itemsAt(const QPoint &pos);
    int topItemAt(const QPoint &pos);
    QImage dragPicture(const QPoint &pos);
    TLItemIndex *placedItems();
    QRect hitBox(int row);
    TLLabelSize measureLabel(int row, int span);
    QMargins drawingReach(QPainter *painter);
    int deferBand() const;
    void measureInBackground();
    void showLateLabel(const QRect &box);
    void moveItems();
    void updateOpaquePainting();

    std::unique_ptr<TLItemIndex> index;
    std::unique_ptr<TLLabelCache> labels;
    QTimer *backgroundMeasure = nullptr;
    // Whether a label measured now is about to be drawn.
    bool keepMeasured = false;
    QMargins lastReach;
    // The part of the screen a paint is drawing while it lays out labels.
    QRect screenPaintArea;
};

#endif
