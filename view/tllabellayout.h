#ifndef TLLABELLAYOUT_H
#define TLLABELLAYOUT_H

#include <QtGlobal>
#include <QSize>

#include <optional>

class QString;
class TLRichText;

// Lays an item's rich-text label out for its box: at the width of the
// item's span, or at the label's own width without one. Every layout of a
// label on the chart goes through here, and is counted.
class TLLabelLayout
{
public:
    // Lays the label out in document: at the span's width, or at its ideal
    // width + 10 without one. Returns the truncated document size; a span
    // wider than the text layout takes is laid out at its limit and comes
    // back whole as the width. The document may have held another label.
    static QSize layOut(TLRichText *document, const QString &text, std::optional<int> span = std::nullopt);

    // Lays the label out again at the width a layOut left in a document's
    // textWidth, with the same result.
    static void layOutAt(TLRichText *document, const QString &text, double width);

    // How many labels the two functions above have laid out in this process.
    static qint64 count();
};

#endif
