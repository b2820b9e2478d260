#ifndef CHARTPROBE_H
#define CHARTPROBE_H

#include "model/tlitemmodel.h"
#include "view/tline.h"

#include <QtTest>

#include <QColor>
#include <QDate>
#include <QDir>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPair>
#include <QRect>
#include <QSet>
#include <QString>

// A chart style opened up for the style tests: its hit boxes, its item
// painter, and painting on an image with an optional painter clip.
template <typename Style>
class ChartProbe : public Style
{
public:
    using Style::Style;
    using Style::itemRects;
    using Style::paintItem;

    QImage paintOn(const QSize &size, const QRect &clip = QRect())
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (!clip.isNull())
            painter.setClipRect(clip);
        this->paint(&painter);
        return image;
    }
};

inline bool isDark(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 160;
}

inline bool hasDarkPixel(const QImage &image, const QRect &area)
{
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (isDark(image, x, y))
                return true;
        }
    }
    return false;
}

// The first column of every run of adjacent columns holding a dark pixel
// between the rows top and bottom.
inline QList<int> darkColumnRuns(const QImage &image, int top, int bottom)
{
    QList<int> runs;
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool dark = hasDarkPixel(image, QRect(x, top, 1, bottom - top + 1));
        if (dark && !inRun)
            runs.append(x);
        inRun = dark;
    }
    return runs;
}

// Leftmost and rightmost columns with a dark pixel inside area.
inline QPair<int, int> darkExtent(const QImage &image, const QRect &area)
{
    int left = -1;
    int right = -1;
    for (int x = area.left(); x <= area.right(); ++x) {
        if (hasDarkPixel(image, QRect(x, area.top(), 1, area.height()))) {
            if (left < 0)
                left = x;
            right = x;
        }
    }
    return { left, right };
}

inline void addItem(TLItemModel *model, const QDate &date, int pos, const QString &text, const QColor &color,
                    const QDate &endDate = QDate())
{
    const int row = model->rowCount();
    model->insertRows(row, 1);
    model->setData(model->index(row, TLItem::DateColumn), date);
    model->setData(model->index(row, TLItem::PosColumn), pos);
    model->setData(model->index(row, TLItem::TextColumn), text);
    model->setData(model->index(row, TLItem::BackgroundColorColumn), color);
    model->setData(model->index(row, TLItem::EndDateColumn), endDate);
}

inline void setChart(TLine *chart, const QDate &start, const QDate &end, double dayWidth, double posHeight,
                     int maxPos, int tPos, const QSet<int> &flags)
{
    chart->setRange(start, end);
    chart->setDayWidth(dayWidth);
    chart->setPosHeight(posHeight);
    chart->setMaxPos(maxPos);
    chart->setTPos(tPos);
    chart->setDisplayFlags(flags);
}

// The items of the reference charts: rich text, a larger and a smaller font,
// colours, and one span.
inline void addReferenceItems(TLItemModel *model)
{
    addItem(model, QDate(2006, 10, 4), 0, QStringLiteral("<p>Projekt<br/>Start</p>"), QColor("#a3a3a3"));
    addItem(model, QDate(2006, 11, 3), 0,
            QStringLiteral("<p><span style=\"font-size:12pt\">Projekt<br/>Ende</span></p>"), QColor("#e0e0e0"));
    addItem(model, QDate(2006, 10, 19), 2,
            QStringLiteral("<p>Zwischen<span style=\"color:#ff5500\">bericht</span></p>"), QColor("#ffff00"));
    addItem(model, QDate(2006, 10, 17), 3,
            QStringLiteral("<p style=\"font-size:7pt\">Ein anderer <b><u>Bericht</u></b><br/>Ist aber auch zu "
                           "<b>machen</b> aber es ist schwerer</p>"),
            QColor("#ffffff"), QDate(2006, 10, 25));
}

// Compares image with the reference file name in the test data, or writes
// it there when ZELVARO_UPDATE_REFERENCES is 1.
inline void compareWithReference(const QImage &image, const QString &name)
{
    const QString path = QStringLiteral(ZELVARO_TEST_DATA "/") + name;
    if (qEnvironmentVariableIntValue("ZELVARO_UPDATE_REFERENCES") == 1) {
        QDir().mkpath(QStringLiteral(ZELVARO_TEST_DATA));
        QVERIFY(image.save(path));
        QSKIP("reference written");
    }
    const QImage reference(path);
    QVERIFY2(!reference.isNull(), "missing reference; run with ZELVARO_UPDATE_REFERENCES=1");
    QCOMPARE(image, reference.convertToFormat(QImage::Format_RGB32));
}

// Items at both ends of a range with odd parameters, one spanning it
// forwards and one backwards.
inline void addOddParameterItems(TLItemModel *model, const QDate &start, const QDate &end)
{
    addItem(model, start, 0, QStringLiteral("<p>first</p>"), Qt::yellow, end);
    addItem(model, start.addDays(3), 1, QStringLiteral("<p>second</p>"), Qt::yellow);
    addItem(model, end, 2, QStringLiteral("<p>last</p>"), Qt::yellow, start);
}

#endif
