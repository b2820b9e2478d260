#include "view/tlbackground.h"

#include "model/tlchartoptions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QLinearGradient>
#include <QPointF>
#include <QRect>
#include <QString>

std::optional<QBrush> TLBackground::brush(int mode, const QList<QColor> &colors, const QRect &rect)
{
    switch (mode) {
    case TLChartOptions::SolidBackground:
        if (colors.isEmpty())
            return std::nullopt;
        return QBrush(colors.at(0), Qt::SolidPattern);
    case TLChartOptions::DiagonalGradient: {
        if (colors.size() < 3)
            return std::nullopt;
        QLinearGradient gradient(QPointF(rect.topLeft()), QPointF(rect.bottomRight()));
        gradient.setColorAt(0.0, colors.at(1));
        gradient.setColorAt(0.5, colors.at(2));
        gradient.setColorAt(1.0, colors.at(1));
        return QBrush(gradient);
    }
    case TLChartOptions::VerticalGradient: {
        if (colors.size() < 3)
            return std::nullopt;
        QLinearGradient gradient(QPointF(rect.topLeft()), QPointF(rect.bottomLeft()));
        gradient.setColorAt(0.0, colors.at(1));
        gradient.setColorAt(1.0, colors.at(2));
        return QBrush(gradient);
    }
    default:
        return std::nullopt;
    }
}

QImage TLBackground::readImage(const QString &path, QString *error)
{
    QString reason;
    QImage image;
    if (path.isEmpty()) {
        reason = QCoreApplication::translate("TLBackground", "No file is named");
    } else if (const QFileInfo info(path); info.exists() && !info.isFile()) {
        reason = QCoreApplication::translate("TLBackground", "Not a regular file");
    } else {
        QImageReader reader(path);
        image = reader.read();
        if (image.isNull())
            reason = reader.errorString();
    }
    if (error)
        *error = reason;
    return image;
}
