#ifndef CHARTRENDERER_H
#define CHARTRENDERER_H

#include <QtGlobal>
#include <QList>
#include <QRect>
#include <QSize>

class QImage;
class QPainter;
class QWidget;

// Draws the whole of a chart widget, also what is scrolled out of view,
// through the widget's own paint event, in horizontal bands: no picture of
// the whole widget is ever needed, and each band bounds what the chart's
// paint allocates for itself.
class ChartRenderer
{
public:
    // The largest chart exported or printed, in pixels: its image takes
    // four bytes a pixel.
    static constexpr qint64 pixelBudget = 256'000'000;
    static constexpr qint64 defaultBandPixels = 1 << 24;

    explicit ChartRenderer(QWidget *chart, qint64 bandPixels = defaultBandPixels);

    QSize size() const;
    bool isEmpty() const;
    // Whether an image of the chart enlarged by scale stays in the budget.
    bool withinBudget(double scale = 1.0) const;

    // The chart pixel for pixel at the widget's size, or with scale image
    // pixels for each of its own; a null image when the memory for it cannot
    // be had.
    QImage toImage(double scale = 1.0) const;

    // Draws the chart with its top-left corner at the painter's origin,
    // enlarged by factor. The chart's paint reaches the painter as drawing
    // commands, not as a picture, so that lines and text come out at the
    // painter's own resolution; fonts keep their size relative to the chart
    // on any device.
    void paint(QPainter *painter, double factor) const;

    // The whole-number enlargement that fits the chart on the page, or,
    // when the chart is larger than the page, the largest reduction below 1
    // that fits it, keeping its proportions. 0 for an empty chart or page.
    static double printFactor(const QSize &page, const QSize &chart);

    QList<QRect> bands() const;

private:
    QWidget *chart;
    qint64 bandPixels;
};

#endif
