#ifndef TLRICHTEXT_H
#define TLRICHTEXT_H

#include <QTextDocument>

#include <memory>

class QString;
class QTextCursor;
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
    // Some two hundred pages of text; the largest table a label keeps
    // (MaxTableCells), as the editor writes it, takes some 350 KB. Longer
    // labels are no labels a person made: they are shown as the start of
    // their plain text, and the HTML parser never sees them.
    static constexpr qsizetype MaxHtmlLength = 1 << 19;
    // The HTML parser and the layout look at every element around each one
    // they take, so elements nested deeper than this, and list items beyond
    // this many in a label (each costs a pass over its list), keep their
    // text and lose their tags.
    static constexpr int MaxNesting = 32;
    static constexpr int MaxListItems = 1000;
    // The parser matches every tag, and every element around it with each
    // of its attributes, against each style rule the label brings: tags
    // beyond this much matching in a label keep their text and lose the tag.
    static constexpr qint64 MaxParseWork = 2000000;
    // The pixels decoded for the inline images of one document: one image
    // of the largest size a label shows. Images beyond it stay blank.
    static constexpr qint64 MaxImagePixels = qint64(MaxExtent) * qint64(MaxExtent);

    explicit TLRichText(QObject *parent = nullptr);
    ~TLRichText() override;

    // setHtml of the bounded HTML, then the clamping.
    void setLabel(const QString &html);

    // Inserts a label's HTML at the cursor, bounded and parsed as a label
    // is (images through the cursor's document), then clamps that document;
    // for an editor's paste.
    static void insertLabel(QTextCursor *cursor, const QString &html);

    void clear() override;

    // Holds every length, font size and table depth of a document to the
    // maxima above;
    // for documents that are not a TLRichText, such as a text editor's.
    static void clampFormats(QTextDocument *document);

    // The HTML with column spans, nesting, list items and parse work held
    // to their maxima, or for a label longer than MaxHtmlLength the start
    // of its plain text; for every parser that reads a label, such as an
    // editor's paste. One pass, whatever the label.
    static QString boundHtml(const QString &html);

    // What a label reads as plain text.
    static QString plainText(const QString &html);

    // A width that the text layout can take.
    static double layoutWidth(double width);

protected:
    QVariant loadResource(int type, const QUrl &name) override;

private:
    struct Images;
    std::unique_ptr<Images> images;
};

#endif
