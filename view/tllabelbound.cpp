#include "view/tllabelbound.h"

#include "model/tlrichtext.h"
#include "view/tllabellayout.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// What QTextDocument puts around a label and after <p>, in pixels, and the
// width of a level of -qt-block-indent and of a tab stop.
constexpr double documentMargin = 4.0;
constexpr double paragraphMargin = 12.0;
constexpr double indentWidth = 40.0;
constexpr double tabWidth = 80.0;

// The characters the pass measures: Latin, Greek, Cyrillic and common
// punctuation, which no shaping widens, each with its place in a table.
constexpr std::array<std::pair<char32_t, char32_t>, 4> plainRanges { {
    { 0x20, 0x250 }, { 0x370, 0x530 }, { 0x2000, 0x2070 }, { 0x20A0, 0x20D0 } } };

int plainIndex(char32_t c)
{
    if (c >= 0x20 && c < 0x250)
        return int(c - 0x20);
    int offset = 0;
    for (const auto &[first, end] : plainRanges) {
        if (c >= first && c < end)
            return offset + int(c - first);
        offset += int(end - first);
    }
    return -1;
}

constexpr int plainCount()
{
    int count = 0;
    for (const auto &range : plainRanges)
        count += int(range.second - range.first);
    return count;
}

// The pass keeps the label's text and its breaks as a list of characters;
// the breaks take values no character has.
enum : char32_t {
    BlockStart = 0x110000,
    BlockEnd,
    LineBreak,   // <br>: a new line in the same block
    TextNewline, // a newline kept by pre-wrap, or U+2028/U+2029
};

QSize heldToMaxBox(double width, double height, std::optional<int> span)
{
    const double widest = std::max(span.value_or(0), TLLabelLayout::MaxBoxExtent);
    return QSize(int(std::min(std::ceil(width) + 1, widest)),
                 int(std::min(std::ceil(height) + 1, double(TLLabelLayout::MaxBoxExtent))));
}

bool isSpace(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// After these, a space is no line break opportunity.
bool opensText(char32_t c)
{
    return c == '(' || c == '[' || c == '{' || c == 0xA1 || c == 0xBF || c == 0x201A || c == 0x201E;
}

// Tag, attribute and property names are ASCII, compared without case.
bool equals(QStringView text, const char *word)
{
    qsizetype i = 0;
    for (; word[i]; ++i) {
        if (i >= text.size())
            return false;
        char16_t c = text[i].unicode();
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        if (c != char16_t(word[i]))
            return false;
    }
    return i == text.size();
}

bool isOneOf(QStringView text, std::initializer_list<const char *> words)
{
    return std::any_of(words.begin(), words.end(), [text](const char *word) { return equals(text, word); });
}

// The style rules Qt writes at the head of every document it saves; they
// change no size but keep newlines in paragraphs.
constexpr std::array<const char *, 4> qtRules { {
    "p, li { white-space: pre-wrap; }",
    "hr { height: 1px; border-width: 0; }",
    "li.unchecked::marker { content: \"\\2610\"; }",
    "li.checked::marker { content: \"\\2612\"; }",
} };

// The first pass over a label: its text and breaks, and the fonts, margins
// and indents its tags name.
class Reader
{
public:
    explicit Reader(const QString &html)
        : html(html)
    {
    }

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
    bool readTag();
    bool readAttributes(QStringView attributes, bool paragraph);
    bool readStyle(QStringView style, bool paragraph, bool *styled);
    bool readStyleSheet();
    bool readEntity();
    void addText(char32_t c);

    const QString &html;
    qsizetype at = 0;
    bool newlinesBreak = false;
    int paragraphs = 0;
};

bool pixelsOf(QStringView value, double *pixels)
{
    value = value.trimmed();
    if (value.endsWith(QLatin1String("px"), Qt::CaseInsensitive))
        value.chop(2);
    bool number = false;
    *pixels = value.toDouble(&number);
    return number && std::isfinite(*pixels) && *pixels >= 0.0;
}

void Reader::addText(char32_t c)
{
    if (c == 0x2028 || c == 0x2029 || (c == '\n' && newlinesBreak && paragraphs > 0))
        text.append(TextNewline);
    else
        text.append(c);
}

bool Reader::readStyle(QStringView style, bool paragraph, bool *styled)
{
    std::optional<double> top;
    std::optional<double> bottom;
    double left = 0.0;
    double right = 0.0;
    double indent = 0.0;
    double blockIndent = 0.0;
    for (QStringView declaration : style.tokenize(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype colon = declaration.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            if (!declaration.trimmed().isEmpty())
                return false;
            continue;
        }
        const QStringView name = declaration.first(colon).trimmed();
        const QStringView value = declaration.sliced(colon + 1).trimmed();
        double length = 0.0;
        if (equals(name, "font-size")) {
            bool number = false;
            if (value.endsWith(QLatin1String("pt"), Qt::CaseInsensitive)) {
                const double points =
                    std::clamp(value.chopped(2).toDouble(&number), 1.0, TLRichText::MaxFontPointSize);
                maxPoints = std::max(maxPoints, points);
                minPoints = std::min(minPoints, points);
            } else if (value.endsWith(QLatin1String("px"), Qt::CaseInsensitive)) {
                const double pixels =
                    std::clamp(value.chopped(2).toDouble(&number), 1.0, double(TLRichText::MaxFontPixelSize));
                maxPixels = std::max(maxPixels, pixels);
                minPixels = std::min(minPixels, pixels);
            }
            if (!number)
                return false;
        } else if (equals(name, "font-family")) {
            for (QStringView family : value.tokenize(QLatin1Char(','), Qt::SkipEmptyParts)) {
                family = family.trimmed();
                if (family.size() >= 2 && (family.front() == QLatin1Char('\'') || family.front() == QLatin1Char('"')))
                    family = family.sliced(1, family.size() - 2);
                families.append(family);
            }
        } else if (equals(name, "font-weight")) {
            bool number = false;
            const int named = equals(value, "bold") ? 700 : equals(value, "normal") ? 400 : value.toInt(&number);
            if (!number && named == 0)
                return false;
            weight = std::max(weight, named);
        } else if (equals(name, "margin-top") || equals(name, "margin-bottom")) {
            if (!pixelsOf(value, &length))
                return false;
            (equals(name, "margin-top") ? top : bottom) = length;
        } else if (equals(name, "margin-left") || equals(name, "margin-right")) {
            if (!pixelsOf(value, &length))
                return false;
            (equals(name, "margin-left") ? left : right) = length;
        } else if (equals(name, "margin")) {
            // Each side takes the largest length given, which is more than any.
            double largest = 0.0;
            for (QStringView part : value.tokenize(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                if (!pixelsOf(part, &length))
                    return false;
                largest = std::max(largest, length);
            }
            top = bottom = largest;
            left = right = largest;
        } else if (equals(name, "text-indent")) {
            if (!pixelsOf(value, &indent))
                return false;
        } else if (equals(name, "-qt-block-indent")) {
            bool number = false;
            blockIndent = std::clamp(value.toInt(&number), 0, TLRichText::MaxIndent) * indentWidth;
            if (!number)
                return false;
        } else if (equals(name, "white-space")) {
            if (equals(value, "pre-wrap"))
                newlinesBreak = true;
            else if (!equals(value, "normal"))
                return false;
        } else if (equals(name, "vertical-align")) {
            shrunk = true;
        } else if (!isOneOf(name, { "font-style", "color", "background-color", "text-decoration", "text-align",
                                    "-qt-paragraph-type" })) {
            return false;
        }
    }
    const auto clampLength = [](double length) { return std::min(length, TLRichText::MaxLength); };
    side = std::max(side, clampLength(left) + clampLength(right) + clampLength(indent) + blockIndent);
    const double margin = paragraph ? paragraphMargin : 0.0;
    vertical += clampLength(top.value_or(margin)) + clampLength(bottom.value_or(margin));
    *styled = true;
    return true;
}

bool Reader::readAttributes(QStringView attributes, bool paragraph)
{
    bool styled = false;
    qsizetype a = 0;
    while (a < attributes.size()) {
        while (a < attributes.size() && !attributes.at(a).isLetter())
            ++a;
        const qsizetype nameStart = a;
        while (a < attributes.size() && (attributes.at(a).isLetterOrNumber() || attributes.at(a) == QLatin1Char('-')))
            ++a;
        const QStringView name = attributes.sliced(nameStart, a - nameStart);
        while (a < attributes.size() && attributes.at(a).isSpace())
            ++a;
        QStringView value;
        if (a < attributes.size() && attributes.at(a) == QLatin1Char('=')) {
            ++a;
            while (a < attributes.size() && attributes.at(a).isSpace())
                ++a;
            const QChar quote = a < attributes.size() ? attributes.at(a) : QChar();
            if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
                const qsizetype close = attributes.indexOf(quote, a + 1);
                if (close < 0)
                    return false;
                value = attributes.sliced(a + 1, close - a - 1);
                a = close + 1;
            } else {
                const qsizetype valueStart = a;
                while (a < attributes.size() && !attributes.at(a).isSpace())
                    ++a;
                value = attributes.sliced(valueStart, a - valueStart);
            }
        }
        if (equals(name, "style")) {
            if (!readStyle(value, paragraph, &styled))
                return false;
        } else if (equals(name, "face")) {
            families.append(value);
        } else if (equals(name, "size") || equals(name, "class")) {
            return false;
        }
    }
    if (paragraph && !styled)
        vertical += 2 * paragraphMargin;
    return true;
}

// The head of a document Qt saved holds its own rules; any other rule
// could size the text anyhow.
bool Reader::readStyleSheet()
{
    const qsizetype end = html.indexOf(QLatin1String("</style"), at, Qt::CaseInsensitive);
    if (end < 0)
        return false;
    const QStringView rules = QStringView(html).sliced(at, end - at);
    qsizetype r = 0;
    while (r < rules.size()) {
        if (rules.at(r).isSpace()) {
            ++r;
            continue;
        }
        const QStringView rest = rules.sliced(r);
        const auto rule = std::find_if(qtRules.begin(), qtRules.end(),
                                       [rest](const char *qtRule) { return rest.startsWith(QLatin1String(qtRule)); });
        if (rule == qtRules.end())
            return false;
        if (rule == qtRules.begin())
            newlinesBreak = true;
        r += qsizetype(qstrlen(*rule));
    }
    at = end;
    return true;
}

bool Reader::readTag()
{
    const qsizetype start = at + 1;
    if (start >= html.size())
        return false;
    const QStringView rest = QStringView(html).sliced(start);
    if (rest.startsWith(QLatin1String("!--"))) {
        const qsizetype end = html.indexOf(QLatin1String("-->"), start);
        at = end < 0 ? html.size() : end + 3;
        return true;
    }
    const QChar first = html.at(start);
    if (!first.isLetter() && first != QLatin1Char('/') && first != QLatin1Char('!') && first != QLatin1Char('?')) {
        addText('<');
        ++at;
        return true;
    }
    const qsizetype end = html.indexOf(QLatin1Char('>'), start);
    if (end < 0)
        return false;
    at = end + 1;
    if (first == QLatin1Char('!') || first == QLatin1Char('?'))
        return true;
    const bool closing = first == QLatin1Char('/');
    qsizetype i = closing ? start + 1 : start;
    const qsizetype nameStart = i;
    while (i < end && html.at(i).isLetterOrNumber())
        ++i;
    const QStringView name = QStringView(html).sliced(nameStart, i - nameStart);
    const QStringView attributes = QStringView(html).sliced(i, end - i);

    if (equals(name, "br")) {
        text.append(LineBreak);
        return true;
    }
    if (equals(name, "style"))
        return closing || readStyleSheet();
    const bool paragraph = equals(name, "p");
    const bool block = paragraph || equals(name, "div");
    if (block) {
        text.append(closing ? BlockEnd : BlockStart);
        paragraphs = std::max(0, paragraphs + (paragraph ? (closing ? -1 : 1) : 0));
    } else if (isOneOf(name, { "sub", "sup", "small" })) {
        shrunk = true;
    } else if (!isOneOf(name, { "span", "b", "strong", "i", "em", "u", "s", "strike", "del", "ins", "a", "font",
                                "html", "head", "body", "meta", "title" })) {
        return false;
    }
    return closing || readAttributes(attributes, paragraph);
}

// An entity stands for one character; one the pass does not know ends
// the bound, a lone ampersand is text.
bool Reader::readEntity()
{
    const qsizetype end = html.indexOf(QLatin1Char(';'), at);
    if (end < 0 || end - at > 10) {
        addText('&');
        ++at;
        return true;
    }
    const QStringView name = QStringView(html).sliced(at + 1, end - at - 1);
    char32_t c = 0;
    if (name.startsWith(QLatin1Char('#'))) {
        bool number = false;
        const bool hex = name.size() > 1 && (name.at(1) == QLatin1Char('x') || name.at(1) == QLatin1Char('X'));
        c = char32_t(name.sliced(hex ? 2 : 1).toUInt(&number, hex ? 16 : 10));
        if (!number)
            return false;
    } else {
        static const std::array<std::pair<const char *, char32_t>, 6> known { {
            { "amp", '&' }, { "lt", '<' }, { "gt", '>' }, { "quot", '"' }, { "apos", '\'' }, { "nbsp", 0xA0 } } };
        const auto entity = std::find_if(known.begin(), known.end(),
                                         [name](const auto &entry) { return name == QLatin1String(entry.first); });
        if (entity == known.end())
            return false;
        c = entity->second;
    }
    if (!isSpace(c) && plainIndex(c) < 0)
        return false;
    addText(c);
    at = end + 1;
    return true;
}

bool Reader::read()
{
    if (html.size() > TLRichText::MaxHtmlLength)
        return false;
    while (at < html.size()) {
        const QChar c = html.at(at);
        if (c == QLatin1Char('<')) {
            if (!readTag())
                return false;
        } else if (c == QLatin1Char('&')) {
            if (!readEntity())
                return false;
        } else if (isSpace(c.unicode()) || plainIndex(c.unicode()) >= 0) {
            if (c.unicode() == 0xAD) // a soft hyphen adds a glyph where it breaks
                return false;
            addText(c.unicode());
            ++at;
        } else {
            return false;
        }
    }
    return true;
}

}

// The fonts a label's text can take: every family it names at its largest
// sizes, in both weights and both slants, each character measured in the
// widest of them as it is first met.
struct TLLabelBound::Faces
{
    QStringList families;
    std::array<double, 4> sizes; // largest and least points and pixels
    int weight = 0;

    std::vector<QFontMetricsF> metrics;
    std::vector<float> advances = std::vector<float>(size_t(plainCount()), -1.0f);
    double lineHeight = 0.0;
    double lowestLine = std::numeric_limits<double>::max();

    float advance(char32_t c)
    {
        const char32_t measured = isSpace(c) ? U' ' : c;
        float &known = advances[size_t(plainIndex(measured))];
        if (known < 0) {
            known = 0;
            for (const QFontMetricsF &face : metrics)
                known = std::max(known, float(face.horizontalAdvance(QChar(char16_t(measured)))));
        }
        return c == '\t' ? std::max(known, float(tabWidth)) : known;
    }
};

TLLabelBound::TLLabelBound(const QFont &documentFont)
    : font(documentFont)
    , wrapWidth(QFontMetrics(documentFont).horizontalAdvance(QLatin1Char('x')) * 80)
{
}

TLLabelBound::~TLLabelBound() = default;

TLLabelBound::Faces &TLLabelBound::facesFor(const QVarLengthArray<QStringView, 4> &families,
                                           const std::array<double, 4> &sizes, int weight)
{
    size_t key = qHashMulti(0, sizes[0], sizes[1], sizes[2], sizes[3], weight);
    for (QStringView family : families)
        key = qHashMulti(key, family);
    const auto matches = [&](const Faces &known) {
        return known.sizes == sizes && known.weight == weight && known.families.size() == families.size()
            && std::equal(families.begin(), families.end(), known.families.begin(),
                          [](QStringView a, const QString &b) { return a == b; });
    };
    const auto [first, last] = faces.equal_range(key);
    for (auto found = first; found != last; ++found) {
        if (matches(**found))
            return **found;
    }

    auto made = std::make_shared<Faces>();
    made->sizes = sizes;
    made->weight = weight;
    for (QStringView family : families)
        made->families.append(family.toString());
    QStringList measuredFamilies = made->families;
    measuredFamilies.append(QString());
    const auto sized = [this](const QString &family, double size, bool pixels) {
        QFont face = font;
        if (!family.isEmpty())
            face.setFamilies({ family });
        if (pixels)
            face.setPixelSize(std::max(1, int(std::ceil(size))));
        else
            face.setPointSizeF(size);
        return face;
    };
    for (const QString &family : std::as_const(measuredFamilies)) {
        for (bool pixels : { false, true }) {
            const double size = sizes[pixels ? 2 : 0];
            if (!(size > 0))
                continue;
            for (int faceWeight : { int(QFont::Normal), weight }) {
                for (bool italic : { false, true }) {
                    QFont face = sized(family, size, pixels);
                    face.setWeight(QFont::Weight(faceWeight));
                    face.setItalic(italic);
                    made->metrics.emplace_back(face);
                    made->lineHeight = std::max(made->lineHeight, std::ceil(made->metrics.back().lineSpacing()) + 1);
                }
            }
        }
    }
    for (bool pixels : { false, true }) {
        const double size = sizes[pixels ? 3 : 1];
        if (size > 0 && size < std::numeric_limits<double>::max()) {
            const QFontMetricsF face(sized(QString(), size, pixels));
            made->lowestLine = std::min(made->lowestLine, std::floor(face.ascent() + face.descent()) - 1);
        }
    }
    if (made->lowestLine == std::numeric_limits<double>::max())
        made->lowestLine = 0;
    return **faces.insert(key, made);
}

std::optional<TLLabelBound::Measure> TLLabelBound::measure(const QString &html)
{
    Reader reader(html);
    if (!reader.read())
        return std::nullopt;
    if (font.pointSizeF() > 0) {
        reader.maxPoints = std::max(reader.maxPoints, font.pointSizeF());
        reader.minPoints = std::min(reader.minPoints, font.pointSizeF());
    } else {
        reader.maxPixels = std::max(reader.maxPixels, double(font.pixelSize()));
        reader.minPixels = std::min(reader.minPixels, double(font.pixelSize()));
    }
    Faces &face = facesFor(reader.families, { reader.maxPoints, reader.minPoints, reader.maxPixels, reader.minPixels },
                           reader.weight);

    Measure m;
    // Sub- and superscripts and smaller text lower some lines and raise
    // others; a family the label names may fall back to taller fonts.
    m.lineHeight = float(face.lineHeight * (reader.shrunk ? 2.0 : 1.0) * (reader.families.isEmpty() ? 1.0 : 1.25));
    m.lowestLine = float(face.lowestLine * (reader.shrunk ? 0.5 : 1.0));
    m.sideRoom = float(reader.side);
    m.verticalRoom = float(reader.vertical);

    double line = 0;
    double word = 0;
    double spaces = 0;
    char32_t previous = 0;
    bool started = false;
    bool afterBlock = false;
    bool textInLine = false;
    const auto endWord = [&] {
        m.widestWord = std::max(m.widestWord, float(word));
        word = 0;
    };
    const auto endLine = [&] {
        endWord();
        m.widestLine = std::max(m.widestLine, float(line));
        m.textWidth += float(line);
        line = 0;
        spaces = 0;
        previous = 0;
        ++m.hardLines;
    };
    // Text apart from the text before it by a block or <br> is on a line
    // of its own, whatever the width.
    const auto endLineOfText = [&] {
        endLine();
        m.linesOfText += textInLine ? 1 : 0;
        textInLine = false;
    };
    for (const char32_t c : std::as_const(reader.text)) {
        if (c == BlockStart) {
            if (started)
                endLineOfText();
            started = true;
            afterBlock = false;
            continue;
        }
        if (c == BlockEnd) {
            afterBlock = true;
            continue;
        }
        if (c == TextNewline) {
            endLine();
            continue;
        }
        const bool space = isSpace(c);
        if (afterBlock && !space) {
            endLineOfText();
            afterBlock = false;
        }
        if (c == LineBreak) {
            endLineOfText();
            started = true;
            continue;
        }
        const double advance = face.advance(c);
        line += advance;
        ++m.characters;
        if (space) {
            spaces += advance;
            m.widestSpaces = std::max(m.widestSpaces, float(spaces));
            continue;
        }
        started = true;
        textInLine = true;
        if (spaces > 0) {
            if (previous && !opensText(previous) && QChar::isLetterOrNumber(c))
                endWord();
            else
                word += spaces;
            spaces = 0;
        }
        word += advance;
        previous = c;
    }
    endLineOfText();
    --m.hardLines;
    return m;
}

QSize TLLabelBound::boxBound(const Measure &m, std::optional<int> span) const
{
    const double side = 2 * documentMargin + m.sideRoom;
    // A line holds at least one word, which the line may be too narrow for;
    // spaces at its end hang out.
    const double overflow = side + m.widestWord + m.widestSpaces + 1;
    // A greedy wrap ends a line where the next word, with the spaces before
    // it, does not fit, or inside a word that fits no line: every line but
    // the last of a hard line is fuller than the width less a word and its
    // spaces. Where no word fits, every line still holds a character.
    const auto lines = [&m, side](double textWidth) {
        const double fullerThan = textWidth - side - m.widestWord - m.widestSpaces - 1;
        const double byWords = fullerThan > 0 ? std::floor(m.hardLines + m.textWidth / fullerThan)
                                              : std::numeric_limits<double>::max();
        return std::min(byWords, double(m.hardLines) + m.characters);
    };
    const auto height = [&m](double lineCount) {
        return lineCount * m.lineHeight + m.verticalRoom + 2 * documentMargin;
    };
    if (span) {
        return heldToMaxBox(std::max(double(*span), std::ceil(overflow)), height(lines(*span)), span);
    }

    // Without a span the document wraps at the wrap width, then narrows to
    // sqrt(5/3 x height x width) of that (never wider), widens once more
    // to sqrt(2 x height x width) if that came out too tall, and takes its
    // ideal width plus 10; it is never narrower than the first narrowing.
    const double wrap = wrapWidth;
    const double tallestAtWrap = height(lines(wrap));
    const double lowestAtWrap = m.linesOfText * m.lowestLine + 2 * documentMargin;
    const double widestAtWrap = std::max(wrap, overflow);
    const double narrowest = std::min(std::floor(std::sqrt(5.0 * lowestAtWrap * wrap / 3.0)) - 1, wrap);
    const double firstWidest = std::min(std::ceil(std::sqrt(5.0 * tallestAtWrap * widestAtWrap / 3.0)) + 1, wrap);
    const double tallest = height(lines(narrowest));
    const double secondWidest = std::ceil(std::sqrt(2.0 * tallest * std::max(firstWidest, overflow))) + 1;
    const double chosen = std::min(std::max(firstWidest, secondWidest), wrap);
    const double ideal = std::min(chosen, m.widestLine + side + 1);
    return heldToMaxBox(std::max(ideal, overflow) + 10, tallest, span);
}
