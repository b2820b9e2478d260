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
    // A label's box is never wider, beyond its span, nor taller than this,
    // a little more than the largest image or table column a label shows:
    // a label the size of a wall (text that must not wrap, tables of many
    // columns, pages of text) is cut at its box. So how far any item can
    // reach is known before its label is laid out.
    static constexpr int MaxBoxExtent = 4096;

    // Lays the label out in document: at the span's width, or at its ideal
    // width + 10 without one. Returns the truncated document size, held to
    // MaxBoxExtent; a span wider than the text layout takes is laid out at
    // its limit and comes back whole as the width. The document may have
    // held another label.
    static QSize layOut(TLRichText *document, const QString &text, std::optional<int> span = std::nullopt);

    // Lays the label out again at the width a layOut left in a document's
    // textWidth, with the same result.
    static void layOutAt(TLRichText *document, const QString &text, double width);

    // How many labels the two functions above have laid out in this process.
    static qint64 count();

private:
    static QSize layOutWhole(TLRichText *document, const QString &text, std::optional<int> span);
};

#endif
