#ifndef TLBACKGROUND_H
#define TLBACKGROUND_H

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QList>

#include <optional>

class QRect;
class QString;

// What a chart's background is painted with, for the chart and for the
// background dialog's preview alike.
class TLBackground
{
public:
    // The brush of a solid colour or a gradient over rect, from the colour
    // list (entry 0 the solid colour, 1 and 2 the gradient's); none for the
    // modes that keep the brush there was (no background, an image) and for
    // a list too short for its mode.
    static std::optional<QBrush> brush(int mode, const QList<QColor> &colors, const QRect &rect);

    // The picture of a tiled background. Only a regular file is read: a
    // document from elsewhere may name a pipe or a device, whose reading
    // would wait for ever or never end. A null image, with the reason in
    // *error, when there is none to be had.
    static QImage readImage(const QString &path, QString *error = nullptr);
};

#endif
