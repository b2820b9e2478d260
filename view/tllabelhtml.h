#ifndef TLLABELHTML_H
#define TLLABELHTML_H

#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <limits>

// What one pass over a label's HTML reads for the bound on its size: its
// text and breaks, and the fonts, margins and indents its tags name. It
// reads only what Qt's rich text draws without surprises; anything else
// (an element or style it does not know, a character of a script whose
// shaping can widen it) fails the pass.
class TLLabelHtml
{
public:
    // The text keeps its breaks as characters no text has.
    enum : char32_t {
        BlockStart = 0x110000,
        BlockEnd,
        LineBreak,   // <br>: a new line in the same block
        TextNewline, // a newline kept by pre-wrap, or U+2028/U+2029
        BodyStart,   // <html>, <head>, <body>: a new block after text
    };

    // The characters the pass measures: Latin, Greek, Cyrillic and common
    // punctuation, which no shaping widens, each with its place in a table.
    static int plainIndex(char32_t c);
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
    bool noteOpened(QStringView name, QStringView attributes, bool holds);
    void noteClosed(QStringView name);
    bool readTag();
    bool readAttributes(QStringView attributes, bool paragraph);
    bool readStyle(QStringView style, bool paragraph, bool *styled);
    bool readStyleSheet();
    bool readEntity();
    void addText(char32_t c);

    const QString &html;
    qsizetype at = 0;
    // Newlines break lines in paragraphs by the rule Qt saves, anywhere
    // by a style of white-space: pre-wrap.
    bool newlinesInParagraphs = false;
    bool newlinesInText = false;
    int paragraphs = 0;
    struct Held
    {
        QStringView name;
        qint64 around;
    };
    QVarLengthArray<Held, 16> held;
    qint64 parseWork = 0;
    qint64 styleRules = 0;
};

#endif
