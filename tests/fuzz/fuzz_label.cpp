// libFuzzer target for the label home: any label, laid out at any width
// and painted, finishes in bounded time. The input is a big-endian 32-bit
// width followed by the label as UTF-8.

#include "labelinput.h"
#include "model/tlrichtext.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Far above what a label takes on a loaded machine, far below "minutes".
constexpr qint64 TimeLimitMs = 3000;

}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    LabelInput::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<LabelInput> input = LabelInput::read(data, size);
    if (!input)
        return 0;
    const double width = input->number;
    const QString &html = input->html;

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
