#include "view/chartrenderer.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPicture>
#include <QRegion>
#include <QWidget>

#include <algorithm>
#include <cmath>

ChartRenderer::ChartRenderer(QWidget *chart, qint64 bandPixels)
    : chart(chart)
    , bandPixels(std::max<qint64>(bandPixels, 1))
{
}

QSize ChartRenderer::size() const
{
    return chart->size();
}

bool ChartRenderer::isEmpty() const
{
    return chart->size().isEmpty();
}

bool ChartRenderer::withinBudget(double scale) const
{
    return scale > 0.0 && std::ceil(chart->width() * scale) * std::ceil(chart->height() * scale) <= double(pixelBudget);
}

QList<QRect> ChartRenderer::bands() const
{
    QList<QRect> result;
    if (isEmpty())
        return result;
    const int width = chart->width();
    const int height = chart->height();
    const int step = int(std::clamp<qint64>(bandPixels / width, 1, height));
    for (int top = 0; top < height; top += step)
        result.append(QRect(0, top, width, std::min(step, height - top)));
    return result;
}

QImage ChartRenderer::toImage(double scale) const
{
    if (isEmpty() || !withinBudget(scale))
        return QImage();
    // The format and transparent start of a grab, so that a chart that
    // leaves pixels unpainted exports them as a grab shows them.
    QImage image(int(std::ceil(chart->width() * scale)), int(std::ceil(chart->height() * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    for (const QRect &band : bands())
        chart->render(&image, band.topLeft(), QRegion(band));
    return image;
}

void ChartRenderer::paint(QPainter *painter, double factor) const
{
    if (!(factor > 0.0))
        return;
    // QWidget::render into a printer goes through a pixmap at the widget's
    // size, which the printer would enlarge; and a chart painting straight
    // onto a printer sizes its point-sized fonts for the printer's
    // resolution. A recorded picture keeps the screen's fonts and replays as
    // drawing commands, scaled by the ratio of the device's resolution to
    // the screen's, which is undone here. Each band is clipped, so that its
    // background fill leaves the bands before it alone.
    const QPaintDevice *device = painter->device();
    for (const QRect &band : bands()) {
        QPicture picture;
        chart->render(&picture, band.topLeft(), QRegion(band));
        painter->save();
        painter->scale(factor, factor);
        painter->setClipRect(band, Qt::IntersectClip);
        painter->scale(double(picture.logicalDpiX()) / device->logicalDpiX(),
                       double(picture.logicalDpiY()) / device->logicalDpiY());
        painter->drawPicture(0, 0, picture);
        painter->restore();
    }
}

double ChartRenderer::printFactor(const QSize &page, const QSize &chart)
{
    if (chart.isEmpty() || page.isEmpty())
        return 0.0;
    const int whole = std::min(page.width() / chart.width(), page.height() / chart.height());
    if (whole >= 1)
        return whole;
    return std::min(double(page.width()) / chart.width(), double(page.height()) / chart.height());
}
