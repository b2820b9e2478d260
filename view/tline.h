#ifndef TLINE_H
#define TLINE_H

#include "model/tlchartoptions.h"
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

#include <functional>
#include <optional>

class QAbstractItemModel;
class QContextMenuEvent;
class QDrag;
class QHideEvent;
class QImage;
class QMouseEvent;
class QPainter;
class QTextDocument;
class TLChartLayout;
class TLLabelPrefetch;
struct TLChartState;
struct TLItemFrame;

// The chart widget: holds the view parameters and the background, maps
// dates and rows to pixels, reads the items from a table model and turns
// mouse actions on them into signals. The styles derive from it and do all
// the drawing; where the items' boxes go and how their labels are laid out
// is kept by its layout (TLChartLayout).
class TLine : public QWidget, public TLChartOptions
{
    Q_OBJECT

public:
    // The largest picture of the chart a drag carries, in device pixels
    // (16 megapixels, 64 MB). A larger chart is dragged as its visible part.
    static constexpr qint64 MaxDragPixels = qint64(4096) * 4096;

    explicit TLine(QWidget *parent = nullptr);
    ~TLine() override;

    void setRange(const QDate &start, const QDate &end);
    void setModel(QAbstractItemModel *model);
    void setDisplayFlags(const QSet<int> &flags);
    int bgMode() const;

    // Takes every setting of the chart at once: the range, zoom, rows, arrow,
    // display flags and background, with the tiled image read from its file.
    void setState(const TLChartState &state);

    // Strips ahead of a scroll still to be laid out in idle time.
    Q_INVOKABLE int pendingLayouts() const;

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

private:
    TLine(QWidget *parent, std::optional<Qt::Orientation> timeAxis);

    // Made before the fields below, which read the layout.
    std::optional<Qt::Orientation> timeAxis;
    TLChartLayout *layout;
    TLLabelPrefetch *prefetch;

protected:
    // The styles name the axis along which time runs in their item boxes;
    // a widget made without one places no items.
    TLine(QWidget *parent, Qt::Orientation timeAxis);

    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void hideEvent(QHideEvent *event) override;

    // Runs the drag to its end; the result is not looked at.
    virtual void execDrag(QDrag *drag);

    virtual void paint(QPainter *painter);
    virtual int dateToX(const QDate &date) const;
    virtual int posToY(int pos) const;
    // Paints a row's item; its label need be drawn only inside shownPart.
    virtual void paintItem(QPainter *painter, int row, const QRect &shownPart);
    // Whether boxes take the shadow and the rounded form the display flags
    // ask for; style 2 draws plain boxes.
    virtual bool decoratesBoxes() const;
    // The part of a row's drawing, given its box, that paints every pixel
    // opaquely and so hides the rows drawn before it there: with the
    // rounded form over an opaque background, the box and its 10 x 6
    // margin; else the box where its fill is opaque.
    virtual QRect opaqueCover(int row, const QRect &box) const;
    virtual QPoint itemPoint(const QDate &date, int pos) const;

    // Where the box of an item goes before its label is laid out: at the
    // item's anchor, as wide as its span when its end lies to the right.
    virtual TLItemFrame itemFrame(const QDate &date, int pos, const QDate &endDate) const;

    // Paints, in row order, every item that can be seen in what the
    // painter paints.
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
    QString imageFileName; // the file bg was last read from
    QPoint dragStartPos;
    QSet<int> displayFlags;

private:
    void setFlag(DisplayFlag flag, bool on);
    int topItemAt(const QPoint &pos);
    QImage dragPicture(const QPoint &pos);
    QMargins drawingReach(QPainter *painter);
    // What hides the rows under a row, as the layout asks for it.
    std::function<QRect(int row, const QRect &box)> covers() const;
    void updateOpaquePainting();
    bool backgroundIsOpaque() const;
};

#endif
