#include "convert/chartconverter.h"

#include "model/tlcsv.h"
#include "model/tldocument.h"
#include "model/tlinputfile.h"
#include "model/tlitemmodel.h"
#include "model/tlsavefile.h"
#include "styles/tlstylefactory.h"
#include "view/chartrenderer.h"
#include "view/tline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QSvgGenerator>

#include <memory>

namespace {

TLFileResult drawingFailed()
{
    return TLFileResult(TLFileResult::WriteFailed, QStringLiteral("the picture could not be drawn"));
}

// The resolution the chart's pixels have on the screen, which a picture
// of them keeps.
int chartDpi()
{
    return QPicture().logicalDpiX();
}

}

ChartConverter::ChartConverter(const Options &options)
    : options(options)
{
}

QString ChartConverter::error() const
{
    return message;
}

std::optional<ChartConverter::Format> ChartConverter::formatOf(const QString &path)
{
    const QString ending = QFileInfo(path).suffix();
    if (ending == QLatin1String("vrk"))
        return Format::Chart;
    if (ending == QLatin1String("csv"))
        return Format::Table;
    if (ending == QLatin1String("svg"))
        return Format::Svg;
    if (ending == QLatin1String("pdf"))
        return Format::Pdf;
    if (ending == QLatin1String("png"))
        return Format::Png;
    return std::nullopt;
}

ChartConverter::Status ChartConverter::fail(Status status, const QString &path, const QString &reason)
{
    message = QDir::toNativeSeparators(path) + QLatin1String(": ") + reason;
    return status;
}

ChartConverter::Status ChartConverter::run()
{
    const std::optional<Format> format = formatOf(options.output);
    if (!format)
        return fail(Misused, options.output, QStringLiteral("unknown ending; the output ends in .svg, .pdf, .png, .csv or .vrk"));
    TLDocument document;
    if (const Status status = read(&document); status != Done)
        return status;
    if (options.style)
        document.style = *options.style;
    if (options.from)
        document.start = *options.from;
    if (options.to)
        document.end = *options.to;
    if (const TLFileResult written = write(document, *format); !written)
        return fail(FileFailed, options.output, written.reason(options.output));
    return Done;
}

// Read as a window just started reads it: a table shows its items with the
// settings the window starts with, over the range it gives them.
ChartConverter::Status ChartConverter::read(TLDocument *document)
{
    const std::optional<Format> format = formatOf(options.input);
    if (format != Format::Chart && format != Format::Table)
        return fail(Misused, options.input, QStringLiteral("unknown ending; the input ends in .vrk or .csv"));
    QFile file(options.input);
    TLFileResult result = TLInputFile::open(&file);
    if (result && format == Format::Chart) {
        result = TLDocument::read(&file, document);
        // An older chart is shown with the switches it knows nothing of as
        // a window starts with them.
        static_cast<TLChartState &>(*document) = document->settingsOver(TLChartState::initial());
    } else if (result) {
        QFile demoFile(QStringLiteral(":demo.vrk"));
        TLDocument demo;
        if (!demoFile.open(QIODevice::ReadOnly) || !TLDocument::read(&demoFile, &demo))
            return fail(FileFailed, demoFile.fileName(), QStringLiteral("the built-in settings cannot be read"));
        static_cast<TLChartState &>(*document) = demo.settingsOver(TLChartState::initial());
        result = TLCsv::readDocument(&file, &document->items);
        TLCsv::chartRange(document->items, &document->start, &document->end);
    }
    if (!result.hasDocument())
        return fail(FileFailed, options.input, result.reason(options.input));
    if (!result && !options.partial)
        return fail(FileFailed, options.input,
                    result.reason(options.input) + QLatin1Char(' ') + QStringLiteral("Give --partial to convert what was read."));
    return Done;
}

TLFileResult ChartConverter::write(const TLDocument &document, Format format)
{
    if (format == Format::Chart)
        return TLSaveFile::write(options.output, [&document](QIODevice *device) { return document.write(device); });
    if (format == Format::Table)
        return TLSaveFile::write(
            options.output, [&document](QIODevice *device) { return TLCsv::write(device, document.items); },
            QIODevice::WriteOnly | QIODevice::Text);

    TLItemModel model;
    model.appendItems(document.items);
    const std::unique_ptr<TLine> chart(TLStyleFactory::create(document.style));
    chart->setModel(&model);
    chart->setState(document);
    const ChartRenderer renderer(chart.get());
    if (renderer.isEmpty())
        return TLFileResult(TLFileResult::WriteFailed, QStringLiteral("the chart has no area to draw"));

    switch (format) {
    case Format::Png:
        if (!renderer.withinBudget(options.scale))
            return TLFileResult(TLFileResult::WriteFailed,
                                QStringLiteral("the chart is %1 × %2 pixels at scale %3, more than the %4 megapixels an image "
                                   "may have")
                                    .arg(renderer.size().width())
                                    .arg(renderer.size().height())
                                    .arg(options.scale)
                                    .arg(ChartRenderer::pixelBudget / 1'000'000));
    {
        const QImage image = renderer.toImage(options.scale);
        if (image.isNull())
            return TLFileResult(TLFileResult::WriteFailed, QStringLiteral("there is not enough memory for the image"));
        return TLSaveFile::writePng(options.output, image);
    }
    case Format::Svg:
        return TLSaveFile::write(options.output, [&renderer, this](QIODevice *device) {
            QSvgGenerator svg;
            svg.setOutputDevice(device);
            svg.setSize(renderer.size());
            svg.setViewBox(QRect(QPoint(), renderer.size()));
            svg.setResolution(chartDpi());
            svg.setTitle(QFileInfo(options.input).completeBaseName());
            QPainter painter;
            if (!painter.begin(&svg))
                return drawingFailed();
            renderer.paint(&painter, 1.0);
            return painter.end() ? TLFileResult() : drawingFailed();
        });
    default:
        return TLSaveFile::write(options.output, [&renderer, this](QIODevice *device) {
            QPdfWriter pdf(device);
            pdf.setCreator(QStringLiteral("zelvaro-convert"));
            pdf.setTitle(QFileInfo(options.input).completeBaseName());
            pdf.setResolution(1200);
            if (options.page) {
                pdf.setPageSize(*options.page);
                pdf.setPageOrientation(options.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
            } else {
                pdf.setPageMargins(QMarginsF());
                pdf.setPageSize(QPageSize(QSizeF(renderer.size()) * 72.0 / chartDpi(), QPageSize::Point));
            }
            QPainter painter;
            if (!painter.begin(&pdf))
                return drawingFailed();
            const QSize page(pdf.width(), pdf.height());
            // A page of the chart's own size takes it whole; another fits it
            // as printing does.
            const double factor = options.page
                ? ChartRenderer::printFactor(page, renderer.size())
                : std::min(double(page.width()) / renderer.size().width(),
                           double(page.height()) / renderer.size().height());
            renderer.paint(&painter, factor);
            return painter.end() ? TLFileResult() : drawingFailed();
        });
    }
}
