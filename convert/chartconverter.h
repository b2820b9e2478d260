#ifndef CHARTCONVERTER_H
#define CHARTCONVERTER_H

#include "model/tlfileresult.h"

#include <QDate>
#include <QPageSize>
#include <QString>

#include <optional>

struct TLDocument;

// Turns a chart (.vrk) or a table (.csv) into a picture of the chart (.svg,
// .pdf or .png) or into either format. It reads with the window's readers,
// and draws with the window's painting, as printing draws: labels and marks
// stay text and lines. It needs no window and no display.
class ChartConverter
{
public:
    struct Options
    {
        QString input;
        QString output;
        std::optional<int> style;
        std::optional<QDate> from;
        std::optional<QDate> to;
        // Image pixels for each pixel of the chart, in a PNG.
        double scale = 1.0;
        // A PDF on a page of this size, the chart fitted as printing fits
        // it; without one, a page the size of the chart.
        std::optional<QPageSize> page;
        bool landscape = false;
        // Whether what was read of a damaged file is written all the same.
        bool partial = false;
    };

    // The exit status: done, a file failed, or the command was wrong.
    enum Status { Done = 0, FileFailed = 1, Misused = 2 };

    explicit ChartConverter(const Options &options);

    Status run();
    // What went wrong, in one line naming the file.
    QString error() const;

private:
    enum class Format { Chart, Table, Svg, Pdf, Png };
    static std::optional<Format> formatOf(const QString &path);

    Status fail(Status status, const QString &path, const QString &reason);
    Status read(TLDocument *document);
    TLFileResult write(const TLDocument &document, Format format);

    Options options;
    QString message;
};

#endif
