#ifndef TLLABELHTML_H
#define TLLABELHTML_H

#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <limits>

// What one pass over a label's HTML reads for the bound on its size: its
// text and breaks, and the fonts, margins and indents its tags name. It
// reads only what Qt's rich text draws without surprises; anything else
// (an element or style it does not know, tags in another shape than Qt's
// own documents, a character of a script whose shaping can widen it)
// fails the pass.
class TLLabelHtml
{
public:
    // The text keeps its breaks as characters no text has. Only <br> and
    // a block opened after text always break; after a block's end or at a
    // body's start the parser may start a block or run the text on.
    enum : char32_t {
        BlockStart = 0x110000,
        BlockEnd,
        LineBreak,   // <br>: a new line in the same block
        TextNewline, // a newline kept by pre-wrap, or U+2028/U+2029
        BodyStart,   // <html>, <head>, <body>
        InlineStart, // <b>, <span> and the like
        KeptSpace,   // before a space pre-wrap keeps, so the layout shows it
        MayVanish,   // before a character the parser may drop, which so
                     // joins the words either side or not
    };

    // The characters the pass measures: Latin, Greek, Cyrillic and common
    // punctuation, which no shaping widens, each with its place in a table.
    static int plainIndex(char32_t c);
    static bool isPlain(char32_t c);
    static int plainCount();
    static bool isSpace(char32_t c);

    explicit TLLabelHtml(const QString &html);

    bool read();

    QVarLengthArray<char32_t, 512> text;
    double maxPoints = 0.0;
    double minPoints = std::numeric_limits<double>::max();
    double maxPixels = 0.0;
    double minPixels = std::numeric_limits<double>::max();
    int weight = 700;
    QVarLengthArray<QStringView, 4> families;
    bool shrunk = false; // sub, sup, small or a raised baseline
    double side = 0.0;
    double vertical = 0.0;

private:
    bool noteOpened(QStringView name, QStringView attributes, bool holds, bool block);
    bool keepsShape(QStringView name, bool closing, bool closedAtOnce) const;
    bool inHead() const;
    bool mayShow(char32_t c) const;
    bool readTag();
    bool readAttributes(QStringView attributes, bool paragraph);
    bool readStyle(QStringView style, bool paragraph, bool *styled);
    bool readStyleSheet();
    bool readEntity();
    bool addText(char32_t c, bool mayVanish);
    bool loneBetweenTags(qsizetype from, qsizetype to, char32_t c) const;
    void eatSpaceAfterDeclaration();

    const QString &html;
    // A <meta name="qrichtext"> anywhere sets the parser's edit mode for
    // the whole label.
    const bool editMode;
    qsizetype at = 0;
    // Newlines break lines in paragraphs by the rule Qt saves, anywhere
    // by a style of white-space: pre-wrap.
    bool newlinesInParagraphs = false;
    bool newlinesInText = false;
    // The parser drops the white space after a comment or declaration.
    qsizetype eatenUntil = 0;
    qsizetype afterElementNotInline = -1;
    int paragraphs = 0;
    struct Held
    {
        QStringView name;
        qint64 around;
        bool block;
        double side = 0.0; // its margins and indents with those around it
    };
    double elementSide = 0.0;
    bool shown = false; // anything the layout shows, a block or a line
    bool bodySeen = false;
    bool ended = false; // the body or the document closed
    QVarLengthArray<Held, 16> held;
    qint64 parseWork = 0;
    qint64 styleRules = 0;
};

#endif
