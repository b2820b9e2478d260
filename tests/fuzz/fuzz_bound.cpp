// libFuzzer target for the bound on a label's box: any label the pass
// bounds, laid out without a span or at the span the input names, takes a
// box no larger than its bound. The input is a big-endian 32-bit span (0
// for none) followed by the label as UTF-8, as for the label home.

#include "labelinput.h"
#include "model/tlrichtext.h"
#include "view/tllabelbound.h"
#include "view/tllabellayout.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

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
    // Spans as the chart makes them: a day's width up to some screens.
    const std::optional<int> span =
        input->number <= 0 ? std::nullopt : std::optional<int>(1 + input->number % 5000);
    const QString &html = input->html;

    static TLRichText document;
    static TLLabelBound bound(document.defaultFont());
    const std::optional<TLLabelBound::Measure> measure = bound.measure(html);
    if (!measure)
        return 0;
    const QSize box = TLLabelLayout::layOut(&document, html, span);
    const QSize most = bound.boxBound(*measure, span);
    if (box.width() > most.width() || box.height() > most.height()) {
        fprintf(stderr, "fuzz_bound: a box of %d x %d beyond its bound of %d x %d at span %d\n", box.width(),
                box.height(), most.width(), most.height(), span.value_or(-1));
        abort();
    }
    return 0;
}
