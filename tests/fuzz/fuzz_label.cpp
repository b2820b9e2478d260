// libFuzzer target for the label home: any label, laid out at any width
// and painted, finishes in bounded time. The input is a big-endian 32-bit
// width followed by the label as UTF-8.

#include "model/tlrichtext.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Far above what a label takes on a loaded machine, far below "minutes".
constexpr qint64 TimeLimitMs = 3000;

}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Broken inline images make the image readers talk on every run.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const double width = qFromBigEndian<qint32>(data);
    const QString html = QString::fromUtf8(reinterpret_cast<const char *>(data) + 4, qsizetype(size - 4));

    QElapsedTimer timer;
    timer.start();
    TLRichText document;
    document.setLabel(html);
    document.setTextWidth(TLRichText::layoutWidth(width));
    const QSizeF laidOut = document.size();
    document.adjustSize();
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    document.drawContents(&painter, QRectF(0, 0, 64, 64));
    painter.end();

    const qint64 elapsed = timer.elapsed();
    if (elapsed > TimeLimitMs) {
        fprintf(stderr, "fuzz_label: %lld ms for a label laid out at %g px (%g x %g)\n",
                static_cast<long long>(elapsed), width, laidOut.width(), laidOut.height());
        abort();
    }
    return 0;
}
