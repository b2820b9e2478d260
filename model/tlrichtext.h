#ifndef TLRICHTEXT_H
#define TLRICHTEXT_H

#include <QTextDocument>

class QString;
class QUrl;

// The one place where an item label becomes a text document. Labels come
// from files people receive, so the document loads nothing from outside
// (no files, no network, no working directory; only images inlined as
// data: URLs) and every length, width and font size in the HTML is held to
// a sane maximum before anything is laid out.
class TLRichText : public QTextDocument
{
    Q_OBJECT

public:
    // Far above anything a person sets in a label, far below what makes
    // the text layout run for minutes or overflow.
    static constexpr double MaxLength = 1000.0;       // margins, paddings, spacings, borders, px
    static constexpr double MaxFontPointSize = 500.0;
    static constexpr int MaxFontPixelSize = 700;
    static constexpr double MaxExtent = 4000.0;       // widths and heights of images, frames, columns, px
    static constexpr int MaxIndent = 20;              // indent levels
    static constexpr double MaxLineHeight = 1000.0;   // percent or px
    static constexpr double MaxSpacing = 1000.0;      // letter spacing percent, word spacing px
    // Every table cell costs the layout work, and each table inside a
    // table doubles it for its content (a column span alone makes
    // thousands of cells). Tables nested deeper than this, or beyond this
    // many cells in a label, a cell counting twice per level it is nested,
    // keep their text and lose the table.
    static constexpr int MaxTableDepth = 4;
    static constexpr int MaxTableCells = 2000;
    // The parser makes a cell for every column a span reaches before
    // anything can be clamped, so spans are held in the HTML itself.
    static constexpr int MaxColumnSpan = 100;
    // The text layout computes in 26.6 fixed point and wraps past 2^25 px.
    static constexpr int MaxTextWidth = 1 << 24;
    // Nor does it return from documents some eight million pixels tall: a
    // label that could grow beyond MaxHeight is shown as the start of its
    // plain text, which stays below it.
    static constexpr double MaxHeight = 1 << 22;
    static constexpr int MaxPlainCharacters = 50000;

    explicit TLRichText(QObject *parent = nullptr);

    // setHtml with column spans held to MaxColumnSpan, then the clamping.
    void setLabel(const QString &html);

    // Holds every length, font size and table depth of a document to the
    // maxima above;
    // for documents that are not a TLRichText, such as a text editor's.
    static void clampFormats(QTextDocument *document);

    // The HTML with column spans held to MaxColumnSpan, for every parser
    // that reads a label, such as an editor's paste.
    static QString capColumnSpans(const QString &html);

    // What a label reads as plain text.
    static QString plainText(const QString &html);

    // A width that the text layout can take.
    static double layoutWidth(double width);

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};

#endif
