// Draws the 150 by 102 pixel pictures of the three chart styles
// (TLine1.png, TLine2.png, TLine3.png) into the folder given on the command
// line. Each is a small chart drawn by the style itself at twice the size and
// scaled down; TLine1@2x.png and the others, for scaled displays, are the
// same charts drawn on a surface of twice the pixels and scaled down alike.
// Usage: makepictures <images folder>

#include "model/tlitemmodel.h"
#include "styles/tline1.h"
#include "styles/tline2.h"
#include "styles/tline3.h"

#include <QApplication>
#include <QColor>
#include <QDate>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QLocale>
#include <QPixmap>
#include <QTextStream>

#include <memory>

namespace {

const QSize pictureSize(150, 102);

void addItem(TLItemModel *model, const QDate &date, int pos, const QString &text, const QColor &color,
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

struct Chart
{
    QDate start;
    QDate end;
    double dayWidth;
    double posHeight;
    int maxPos;
    int tPos;
};

bool writePicture(TLine *timeline, TLItemModel *model, const Chart &chart, const QString &path)
{
    timeline->setModel(model);
    timeline->setRange(chart.start, chart.end);
    timeline->setDayWidth(chart.dayWidth);
    timeline->setPosHeight(chart.posHeight);
    timeline->setMaxPos(chart.maxPos);
    timeline->setTPos(chart.tPos);
    timeline->setDisplayFlags({ TLine::MarkDays, TLine::MarkWeeks, TLine::MarkMonths, TLine::MarkYears,
                                TLine::MarkEnds, TLine::ArrowShadow, TLine::ItemShadow, TLine::RoundEdges });
    timeline->setBgColors({ Qt::white, Qt::white, QColor(120, 150, 255) });
    timeline->setBgMode(TLine::VerticalGradient);

    const QImage full = timeline->grab().toImage();
    if (full.size() != pictureSize * 2) {
        QTextStream(stderr) << path << ": chart is " << full.width() << "x" << full.height() << "\n";
        return false;
    }
    QImage sharp(pictureSize * 4, full.format());
    sharp.setDevicePixelRatio(2.0);
    sharp.fill(Qt::transparent);
    timeline->render(&sharp);
    sharp.setDevicePixelRatio(1.0);
    const QString sharpPath = QString(path).replace(QLatin1String(".png"), QLatin1String("@2x.png"));
    return full.scaled(pictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(path)
        && sharp.scaled(pictureSize * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(sharpPath);
}

}

int main(int argc, char **argv)
{
    // The pictures must not depend on the desktop they are made on.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: makepictures <images folder>\n";
        return 2;
    }
    QLocale::setDefault(QLocale::c());
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    const QDir dir(QString::fromLocal8Bit(argv[1]));

    TLItemModel model;
    addItem(&model, QDate(2006, 10, 4), 0, QStringLiteral("<p>Projekt<br/>Start</p>"), QColor("#a3a3a3"));
    addItem(&model, QDate(2006, 10, 8), 2, QStringLiteral("<p>Bericht</p>"), QColor("#ffff00"), QDate(2006, 10, 13));
    addItem(&model, QDate(2006, 10, 16), 0, QStringLiteral("<p>Ende</p>"), QColor("#e0e0e0"));

    bool ok = true;
    {
        // 20 days of 14.5 pixels and 3 rows of 68: 300 x 204, the arrow one row down.
        TLine1 timeline;
        ok &= writePicture(&timeline, &model, { QDate(2006, 10, 4), QDate(2006, 10, 23), 14.5, 68.0, 3, 10 },
                           dir.filePath(QStringLiteral("TLine1.png")));
    }
    {
        // 15 days of 13 pixels after the 105 pixel margin, 3 rows under the heading.
        TLine2 timeline;
        ok &= writePicture(&timeline, &model, { QDate(2006, 10, 4), QDate(2006, 10, 18), 13.0, 51.34, 3, 10 },
                           dir.filePath(QStringLiteral("TLine2.png")));
    }
    {
        // 3 columns of 83.34 pixels beside the arrow, 20 days of 9.7 pixels.
        TLine3 timeline;
        ok &= writePicture(&timeline, &model, { QDate(2006, 10, 4), QDate(2006, 10, 23), 9.7, 83.34, 3, 2 },
                           dir.filePath(QStringLiteral("TLine3.png")));
    }
    return ok ? 0 : 1;
}
