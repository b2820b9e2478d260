#ifndef TLINE_H
#define TLINE_H

#include <QBrush>
#include <QColor>
#include <QDate>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QWidget>

class QAbstractItemModel;
class QContextMenuEvent;
class QDrag;
class QImage;
class QMouseEvent;
class QPainter;

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

    explicit TLine(QWidget *parent = nullptr);

    void setRange(const QDate &start, const QDate &end);
    void setModel(QAbstractItemModel *model);
    void setDisplayFlags(const QSet<int> &flags);
    int bgMode() const;

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
    QList<QRect> itemRects;
    QList<QColor> bgColors;
    int backgroundMode;
    QPoint dragStartPos;
    QSet<int> displayFlags;

private:
    void setFlag(DisplayFlag flag, bool on);
    int topItemAt(const QPoint &pos) const;
    QImage dragPicture(const QPoint &pos);
};

#endif
