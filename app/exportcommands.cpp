// The chart as a PNG image and on paper.

#include "app/zelvaro.h"

#include "view/chartrenderer.h"
#include "model/tlsavefile.h"
#include "view/tline.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// Keeps the wait cursor up while a large chart is drawn.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

}

void Zelvaro::saveImgFile()
{
    const ChartRenderer renderer(timeline);
    if (!checkChartSize(renderer, tr("Save Image")))
        return;
    const QString chosen = askImageFileName();
    if (chosen.isEmpty())
        return;
    QString path = chosen;
    if (!path.endsWith(QLatin1String(".png")))
        path += QLatin1String(".png");
    if (!mayReplace(path, chosen))
        return;

    QString error;
    {
        const WaitCursor wait;
        const QImage image = renderer.toImage();
        if (image.isNull())
            error = tr("There is not enough memory for an image of %1 × %2 pixels.")
                        .arg(renderer.size().width())
                        .arg(renderer.size().height());
        else
            error = writePng(image, path);
    }
    if (!error.isEmpty())
        QMessageBox::warning(this, tr("Save Image"),
                             tr("The image could not be saved as %1:\n%2").arg(QDir::toNativeSeparators(path), error));
}

QString Zelvaro::askImageFileName()
{
    return QFileDialog::getSaveFileName(this, tr("Choose a file"), QDir::currentPath(), tr("Images (*.png)"));
}

// Returns the reason of a failure; a full disk leaves no broken image and
// an older image as it was.
QString Zelvaro::writePng(const QImage &image, const QString &path)
{
    const TLFileResult result = TLSaveFile::writePng(path, image);
    if (result.error() == TLFileResult::FolderNotWritable)
        return tr("The folder %1 takes no new file (%2). Choose another folder.")
            .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()), result.detail());
    return result.detail();
}

bool Zelvaro::checkChartSize(const ChartRenderer &renderer, const QString &title)
{
    if (renderer.isEmpty()) {
        QMessageBox::warning(this, title, tr("The chart has no area to draw."));
        return false;
    }
    if (!renderer.withinBudget()) {
        QMessageBox::warning(this, title,
                             tr("The chart is %1 × %2 pixels, more than the %3 megapixels that can be exported or "
                                "printed. Lower the day width to make it smaller.")
                                 .arg(renderer.size().width())
                                 .arg(renderer.size().height())
                                 .arg(ChartRenderer::pixelBudget / 1'000'000));
        return false;
    }
    return true;
}

void Zelvaro::print()
{
    const ChartRenderer renderer(timeline);
    if (!checkChartSize(renderer, tr("Print")))
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!acceptPrinter(&printer))
        return;

    const WaitCursor wait;
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString output = printer.outputFileName();
        QMessageBox::warning(this, tr("Print"),
                             output.isEmpty() ? tr("The printer %1 could not be started.").arg(printer.printerName())
                                              : tr("The chart could not be printed to %1.")
                                                    .arg(QDir::toNativeSeparators(output)));
        return;
    }
    const QSize page(printer.width(), printer.height());
    renderer.paint(&painter, ChartRenderer::printFactor(page, renderer.size()));
    painter.end();
}

bool Zelvaro::acceptPrinter(QPrinter *printer)
{
    QPrintDialog dialog(printer, this);
    return dialog.exec() == QDialog::Accepted;
}
