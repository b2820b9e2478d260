#include "view/tllabellayout.h"

#include "model/tlrichtext.h"
#include "view/tlgeometry.h"

#include <QSizeF>
#include <QString>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

static_assert(TLLabelLayout::MaxBoxExtent > TLRichText::MaxExtent);

namespace {

qint64 layouts = 0;

// A laid-out label is drawn again and again; its lines keep the shaped
// glyphs of their layout instead of shaping the text anew for each paint.
void keepShapedText(QTextDocument *document)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        block.layout()->setCacheEnabled(true);
}

QSize heldToMaxBox(const QSize &size, std::optional<int> span)
{
    return QSize(std::min(size.width(), std::max(span.value_or(0), TLLabelLayout::MaxBoxExtent)),
                 std::min(size.height(), TLLabelLayout::MaxBoxExtent));
}

}

QSize TLLabelLayout::layOut(TLRichText *document, const QString &text, std::optional<int> span)
{
    return heldToMaxBox(layOutWhole(document, text, span), span);
}

QSize TLLabelLayout::layOutWhole(TLRichText *document, const QString &text, std::optional<int> span)
{
    using TLGeometry::truncate;
    ++layouts;
    // An emptied document takes its width before the label, so that the
    // label is laid out once at the width it is measured at.
    document->clear();
    if (span) {
        const double width = double(*span);
        document->setLabel(text);
        keepShapedText(document);
        document->setTextWidth(TLRichText::layoutWidth(width));
        const QSizeF size = document->size();
        // A span beyond what the text layout takes keeps its width; only its
        // text is laid out narrower.
        if (width > TLRichText::layoutWidth(width))
            return QSize(*span, truncate(size.height()));
        return QSize(truncate(size.width()), truncate(size.height()));
    }
    document->setTextWidth(-1);
    document->setLabel(text);
    document->adjustSize();
    keepShapedText(document);
    document->setTextWidth(TLRichText::layoutWidth(document->idealWidth() + 10.0));
    const QSizeF size = document->size();
    return QSize(truncate(size.width()), truncate(size.height()));
}

void TLLabelLayout::layOutAt(TLRichText *document, const QString &text, double width)
{
    ++layouts;
    document->clear();
    document->setTextWidth(-1);
    document->setLabel(text);
    keepShapedText(document);
    document->setTextWidth(width);
}

qint64 TLLabelLayout::count()
{
    return layouts;
}
