// Draws the program's icons and placeholder pictures into images/: each
// toolbar and window icon also at twice its size as name@2x.png, which Qt
// picks for scaled displays, and the application icon for the desktop's
// icon theme as appicon/zelvaro-<size>.png.
// Usage: makeicons <images folder>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

const QColor outline(40, 44, 52);

QImage canvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void page(QPainter &p, const QRectF &r, const QColor &fill = QColor(250, 250, 246))
{
    QPainterPath path;
    const qreal fold = r.width() * 0.3;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(outline, 1.5));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void plus(QPainter &p, const QPointF &c, qreal s, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(c, s, s);
    p.setPen(QPen(Qt::white, s * 0.35, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - s * 0.55, c.y()), QPointF(c.x() + s * 0.55, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - s * 0.55), QPointF(c.x(), c.y() + s * 0.55));
}

void timelineArrow(QPainter &p, qreal y, qreal x0, qreal x1)
{
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    QPolygonF arrow;
    arrow << QPointF(x0, y - 2) << QPointF(x1 - 5, y - 2) << QPointF(x1 - 5, y - 5) << QPointF(x1, y)
          << QPointF(x1 - 5, y + 5) << QPointF(x1 - 5, y + 2) << QPointF(x0, y + 2);
    p.drawPolygon(arrow);
}

void drawNew(QPainter &p)
{
    page(p, QRectF(6, 3, 19, 26));
    plus(p, QPointF(23, 23), 7, QColor(46, 139, 87));
}

void drawOpen(QPainter &p)
{
    p.setPen(QPen(outline, 1.5));
    p.setBrush(QColor(214, 168, 72));
    p.drawRoundedRect(QRectF(3, 7, 24, 20), 2, 2);
    p.setBrush(QColor(240, 200, 104));
    QPolygonF front;
    front << QPointF(3, 27) << QPointF(8, 13) << QPointF(30, 13) << QPointF(26, 27);
    p.drawPolygon(front);
}

void drawSave(QPainter &p)
{
    p.setPen(QPen(outline, 1.5));
    p.setBrush(QColor(52, 101, 164));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 3, 3);
    p.setBrush(QColor(238, 238, 236));
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(QColor(52, 101, 164));
    p.drawRect(QRectF(18, 6, 3, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 17, 16, 11));
}

void drawSaveImage(QPainter &p)
{
    p.setPen(QPen(outline, 1.5));
    p.setBrush(QColor(173, 216, 230));
    p.drawRect(QRectF(3, 6, 26, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(252, 233, 79));
    p.drawEllipse(QPointF(22, 12), 3, 3);
    p.setBrush(QColor(78, 154, 6));
    QPolygonF hills;
    hills << QPointF(4, 25) << QPointF(12, 14) << QPointF(18, 21) << QPointF(21, 18) << QPointF(28, 25);
    p.drawPolygon(hills);
}

void drawPrint(QPainter &p)
{
    p.setPen(QPen(outline, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(QColor(136, 138, 133));
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.setPen(QPen(outline, 1));
    p.drawLine(QPointF(11, 23), QPointF(21, 23));
    p.drawLine(QPointF(11, 26), QPointF(19, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(115, 210, 22));
    p.drawEllipse(QPointF(25, 15.5), 1.5, 1.5);
}

void drawQuit(QPainter &p)
{
    const QColor red(204, 0, 0);
    p.setPen(QPen(red, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 7, 20, 20), 120 * 16, 300 * 16);
    p.drawLine(QPointF(16, 4), QPointF(16, 15));
}

void drawNewItem(QPainter &p)
{
    timelineArrow(p, 25, 2, 30);
    p.setPen(QPen(outline, 1.2));
    p.setBrush(QColor(255, 255, 0));
    p.drawRect(QRectF(4, 5, 17, 12));
    p.setPen(QPen(outline, 1));
    p.drawLine(QPointF(7, 9), QPointF(17, 9));
    p.drawLine(QPointF(7, 13), QPointF(14, 13));
    plus(p, QPointF(24, 12), 6.5, QColor(46, 139, 87));
}

void drawBackground(QPainter &p)
{
    QLinearGradient g(0, 4, 0, 28);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(32, 74, 135));
    p.setPen(QPen(outline, 1.5));
    p.setBrush(g);
    p.drawRect(QRectF(4, 4, 24, 24));
    timelineArrow(p, 16, 6, 26);
}

void drawCopy(QPainter &p)
{
    page(p, QRectF(4, 3, 16, 20));
    page(p, QRectF(12, 9, 16, 20));
}

void drawCut(QPainter &p)
{
    p.setPen(QPen(QColor(136, 138, 133), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 4), QPointF(21, 20));
    p.drawLine(QPointF(22, 4), QPointF(11, 20));
    p.setPen(QPen(outline, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(9, 24), 4.5, 4.5);
    p.drawEllipse(QPointF(23, 24), 4.5, 4.5);
}

void drawPaste(QPainter &p)
{
    p.setPen(QPen(outline, 1.5));
    p.setBrush(QColor(193, 125, 17));
    p.drawRoundedRect(QRectF(5, 5, 20, 24), 2, 2);
    p.setBrush(QColor(186, 189, 182));
    p.drawRoundedRect(QRectF(10, 2, 10, 6), 1.5, 1.5);
    page(p, QRectF(13, 12, 15, 18));
}

// On a 64 unit grid. minimumLine keeps the lines at least one pixel wide
// when the logo is drawn small.
void drawLogo(QPainter &p, qreal minimumLine = 0.0)
{
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(114, 159, 207));
    p.setPen(QPen(outline, std::max(2.0, minimumLine)));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    QPolygonF arrow;
    arrow << QPointF(6, 40) << QPointF(48, 40) << QPointF(48, 35) << QPointF(58, 43) << QPointF(48, 51)
          << QPointF(48, 46) << QPointF(6, 46);
    p.drawPolygon(arrow);
    p.setPen(QPen(outline, std::max(1.5, minimumLine)));
    p.setBrush(QColor(255, 255, 0));
    p.drawRect(QRectF(10, 10, 20, 12));
    p.setBrush(QColor(163, 163, 163));
    p.drawRect(QRectF(30, 22, 22, 10));
}

void drawWindowLogo(QPainter &p)
{
    drawLogo(p);
}

// Stands in for a picture of a chart until the styles draw their own.
void drawPlaceholder(QPainter &p, int number)
{
    p.fillRect(QRect(0, 0, 150, 102), Qt::white);
    p.setPen(outline);
    p.drawRect(QRect(0, 0, 149, 101));
    p.drawText(QRect(0, 0, 150, 102), Qt::AlignCenter, QStringLiteral("Typ %1").arg(number));
}

bool writeImage(const QDir &dir, const QString &name, int size, qreal scale,
                const std::function<void(QPainter &)> &draw)
{
    QImage image = canvas(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    draw(painter);
    painter.end();
    return image.save(dir.filePath(name));
}

// name.png at its size and name@2x.png drawn at twice the size.
bool writeIcon(const QDir &dir, const QString &name, int size, const std::function<void(QPainter &)> &draw)
{
    const QString sharp = QString(name).replace(QLatin1String(".png"), QLatin1String("@2x.png"));
    return writeImage(dir, name, size, 1.0, draw) && writeImage(dir, sharp, 2 * size, 2.0, draw);
}

bool writeAppIcons(const QDir &dir)
{
    if (!dir.mkpath(QStringLiteral("appicon")))
        return false;
    bool ok = true;
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        const qreal scale = size / 64.0;
        ok &= writeImage(dir, QStringLiteral("appicon/zelvaro-%1.png").arg(size), size, scale,
                         [scale](QPainter &p) { drawLogo(p, 1.0 / scale); });
    }
    return ok;
}

}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: makeicons <images folder>\n";
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = writeIcon(dir, "logo.png", 64, drawWindowLogo);
    ok &= writeIcon(dir, "new.png", 32, drawNew);
    ok &= writeIcon(dir, "open.png", 32, drawOpen);
    ok &= writeIcon(dir, "save.png", 32, drawSave);
    ok &= writeIcon(dir, "saveimg.png", 32, drawSaveImage);
    ok &= writeIcon(dir, "print.png", 32, drawPrint);
    ok &= writeIcon(dir, "quit.png", 32, drawQuit);
    ok &= writeIcon(dir, "nitem.png", 32, drawNewItem);
    ok &= writeIcon(dir, "cbackground.png", 32, drawBackground);
    ok &= writeIcon(dir, "copy.png", 32, drawCopy);
    ok &= writeIcon(dir, "cut.png", 32, drawCut);
    ok &= writeIcon(dir, "paste.png", 32, drawPaste);
    ok &= writeAppIcons(dir);
    if (argc > 2 && QByteArray(argv[2]) == "--placeholders") {
        for (int n = 1; n <= 3; ++n) {
            QImage image(150, 102, QImage::Format_ARGB32);
            QPainter painter(&image);
            drawPlaceholder(painter, n);
            painter.end();
            ok &= image.save(dir.filePath(QStringLiteral("TLine%1.png").arg(n)));
        }
    }
    return ok ? 0 : 1;
}
