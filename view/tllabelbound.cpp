#include "view/tllabelbound.h"

#include "view/tllabelhtml.h"
#include "view/tllabellayout.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

// What QTextDocument puts around a label, in pixels, and the width of a
// tab stop.
constexpr double documentMargin = 4.0;
constexpr double tabWidth = 80.0;

QSize heldToMaxBox(double width, double height, std::optional<int> span)
{
    const double widest = std::max(span.value_or(0), TLLabelLayout::MaxBoxExtent);
    return QSize(int(std::min(std::ceil(width) + 1, widest)),
                 int(std::min(std::ceil(height) + 1, double(TLLabelLayout::MaxBoxExtent))));
}

// A word as the greedy wrap meets it: the spaces before it, its width, and
// whether it begins a line of its own.
struct Word
{
    double spaces = 0;
    double width = 0;
    quint32 characters = 0;
    bool startsLine = false;
};

// The lines a greedy wrap at width makes at most of words each at least as
// wide as the laid-out ones: it cannot break where the layout does not,
// so every line of its own ends no later than the layout's. A word no
// line holds may take a line per character.
double wrappedLines(const QVarLengthArray<Word, 128> &words, quint32 hardLines, double width)
{
    const double fits = width - 1;
    double lines = hardLines;
    double used = 0;
    for (const Word &word : words) {
        const double added = word.startsLine ? word.spaces + word.width : used + word.spaces + word.width;
        if (added <= fits) {
            used = added;
            continue;
        }
        if (!word.startsLine)
            lines += 1;
        if (word.width <= fits) {
            used = word.width;
        } else {
            lines += word.characters;
            used = fits;
        }
    }
    return lines;
}

// After these, a space is no line break opportunity.
bool opensText(char32_t c)
{
    return c == '(' || c == '[' || c == '{' || c == 0xA1 || c == 0xBF || c == 0x201A || c == 0x201E;
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
    std::vector<float> advances = std::vector<float>(size_t(TLLabelHtml::plainCount()), -1.0f);
    double lineHeight = 0.0;
    double lowestLine = std::numeric_limits<double>::max();

    float advance(char32_t c)
    {
        const char32_t measured = TLLabelHtml::isSpace(c) ? U' ' : c;
        float &known = advances[size_t(TLLabelHtml::plainIndex(measured))];
        if (known < 0) {
            known = 0;
            for (const QFontMetricsF &face : metrics)
                known = std::max(known, float(face.horizontalAdvance(QChar(char16_t(measured)))));
            // Kerning may widen a pair, and positions round on the way.
            known *= 1.02f;
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
    const auto matches = [&](const Faces &known) {
        return known.sizes == sizes && known.weight == weight && known.families.size() == families.size()
            && std::equal(families.begin(), families.end(), known.families.begin(),
                          [](QStringView a, const QString &b) { return a == b; });
    };
    // Labels of one chart mostly name the same fonts.
    if (lastFaces && matches(*lastFaces))
        return *lastFaces;
    size_t key = qHashMulti(0, sizes[0], sizes[1], sizes[2], sizes[3], weight);
    for (QStringView family : families)
        key = qHashMulti(key, family);
    const auto [first, last] = faces.equal_range(key);
    for (auto found = first; found != last; ++found) {
        if (matches(**found)) {
            lastFaces = found->get();
            return **found;
        }
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
    for (const QString &family : std::as_const(measuredFamilies)) {
        for (bool pixels : { false, true }) {
            const double size = sizes[pixels ? 3 : 1];
            if (size > 0 && size < std::numeric_limits<double>::max()) {
                const QFontMetricsF face(sized(family, size, pixels));
                made->lowestLine = std::min(made->lowestLine, std::floor(face.ascent() + face.descent()) - 1);
            }
        }
    }
    if (made->lowestLine == std::numeric_limits<double>::max())
        made->lowestLine = 0;
    lastFaces = made.get();
    return **faces.insert(key, made);
}

std::optional<TLLabelBound::Measure> TLLabelBound::measure(const QString &html)
{
    TLLabelHtml reader(html);
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
    const float lowestLine = float(face.lowestLine * (reader.shrunk ? 0.5 : 1.0));
    m.sideRoom = float(reader.side);
    m.verticalRoom = float(reader.vertical);

    float widestLine = 0;  // between two hard line breaks
    quint32 linesOfText = 0;
    double line = 0;
    Word word;
    double spaces = 0;
    bool startsLine = true;
    char32_t previous = 0;
    bool started = false; // the layout has shown something
    bool blockEnded = false;
    bool textOpensBlock = false;
    bool textInLine = false;
    QVarLengthArray<Word, 128> words;
    const auto endWord = [&] {
        if (word.characters > 0) {
            m.widestWord = std::max(m.widestWord, float(word.width));
            word.startsLine = startsLine;
            words.append(word);
            startsLine = false;
        }
        word = Word();
    };
    const auto endLine = [&] {
        endWord();
        widestLine = std::max(widestLine, float(line));
        m.textWidth += float(line);
        line = 0;
        spaces = 0;
        previous = 0;
        startsLine = true;
        ++m.hardLines;
    };
    // Text apart from the text before it by a block or <br> is on a line
    // of its own, whatever the width.
    const auto endLineOfText = [&] {
        endLine();
        linesOfText += textInLine ? 1 : 0;
        textInLine = false;
    };
    // Where the layout may break a line or not, the text runs on in the
    // widths, words and lines of text; the line it may add is counted.
    const auto mayEndLine = [&] { ++m.hardLines; };
    // A character that may be a space or nothing widens the word it is in.
    bool joinsWords = false;
    bool spaceKept = false;
    bool afterKeptSpace = false;
    // Kept spaces that end a line take room the ideal width leaves out; a
    // line break after more of them than the 10 added may wrap on its own.
    double keptSpaces = 0;
    quint32 breaksAfterSpaces = 0;
    const auto noteBreakAfterSpaces = [&] { breaksAfterSpaces += keptSpaces > 9 ? 1 : 0; };
    const auto joinWords = [&](char32_t c) {
        const double advance = face.advance(c);
        line += advance;
        word.width += advance;
        ++word.characters;
        ++m.characters;
        return advance;
    };
    for (const char32_t c : std::as_const(reader.text)) {
        switch (c) {
        case TLLabelHtml::BlockStart:
            if (textInLine)
                endLineOfText();
            else if (started)
                mayEndLine();
            started = true;
            blockEnded = textOpensBlock = false;
            continue;
        case TLLabelHtml::BlockEnd:
            blockEnded = textOpensBlock = true;
            continue;
        case TLLabelHtml::InlineStart:
            // Until a block starts, the text of each element opened after
            // a block's end may start a block of its own, and the next
            // block starts anew.
            textOpensBlock = textOpensBlock || blockEnded;
            started = started || blockEnded;
            continue;
        case TLLabelHtml::BodyStart:
            if (started)
                mayEndLine();
            // The body's block may take in the text either side.
            textInLine = false;
            continue;
        case TLLabelHtml::KeptSpace:
            started = true;
            spaceKept = true;
            continue;
        case TLLabelHtml::MayVanish:
            joinsWords = true;
            continue;
        case TLLabelHtml::TextNewline: {
            // A kept newline may start a line; or the parser takes it for a
            // space, or drops it, and the text either side runs on.
            noteBreakAfterSpaces();
            mayEndLine();
            started = true;
            joinWords(' ');
            continue;
        }
        default:
            break;
        }
        const bool space = TLLabelHtml::isSpace(c);
        // A <br> is an element of its own.
        textOpensBlock = textOpensBlock || (blockEnded && c == TLLabelHtml::LineBreak);
        if (textOpensBlock && !space) {
            mayEndLine();
            textOpensBlock = false;
        }
        if (c == TLLabelHtml::LineBreak) {
            noteBreakAfterSpaces();
            endLineOfText();
            started = true;
            blockEnded = false;
            continue;
        }
        // A kept space takes room in the line it ends, where other spaces
        // hang out of it.
        const bool kept = std::exchange(spaceKept, false);
        const bool mayVanish = std::exchange(joinsWords, false);
        if (kept || mayVanish) {
            const double advance = joinWords(c);
            // White space the layout does not keep shows only after text.
            started = started || kept || !space;
            afterKeptSpace = afterKeptSpace || !mayVanish;
            keptSpaces += kept ? advance : 0.0;
            continue;
        }
        keptSpaces = 0;
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
        if (spaces > 0 || afterKeptSpace) {
            if (previous && !opensText(previous) && QChar::isLetterOrNumber(c)) {
                endWord();
                word.spaces = spaces;
            } else {
                word.width += spaces;
            }
            spaces = 0;
            afterKeptSpace = false;
        }
        word.width += advance;
        ++word.characters;
        previous = c;
    }
    endLineOfText();
    --m.hardLines;

    // Without a span the document wraps at the wrap width, then narrows to
    // sqrt(5/3 x height x width) of that (never wider), widens once more
    // to sqrt(2 x height x width) if that came out too tall, and takes its
    // ideal width plus 10. It is never narrower than the first narrowing,
    // but adjustSize ends laying out at exactly the ideal width it found,
    // where a widest line whose last glyph overhangs no longer fits and
    // wraps once more: a line more.
    const double side = 2 * documentMargin + m.sideRoom;
    const double overflow = side + m.widestWord + m.widestSpaces + 1;
    const auto height = [&m](double lines) { return lines * m.lineHeight + m.verticalRoom + 2 * documentMargin; };
    const double wrap = wrapWidth;
    const double tallestAtWrap = height(wrappedLines(words, m.hardLines, wrap - side));
    const double lowestAtWrap = linesOfText * lowestLine + 2 * documentMargin;
    const double widestAtWrap = std::max(wrap, overflow);
    const double narrowest = std::min(std::floor(std::sqrt(5.0 * lowestAtWrap * wrap / 3.0)) - 1, wrap);
    const double firstWidest = std::min(std::ceil(std::sqrt(5.0 * tallestAtWrap * widestAtWrap / 3.0)) + 1, wrap);
    const double linesAtNarrowest = wrappedLines(words, m.hardLines, narrowest - side);
    const double tallest = height(linesAtNarrowest);
    const double secondWidest = std::ceil(std::sqrt(2.0 * tallest * std::max(firstWidest, overflow))) + 1;
    const double chosen = std::min(std::max(firstWidest, secondWidest), wrap);
    const double ideal = std::min(chosen, widestLine + side + 1);
    m.ownBox = heldToMaxBox(std::max(ideal, overflow) + 10, height(linesAtNarrowest + 1 + breaksAfterSpaces),
                            std::nullopt);
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
    return span ? heldToMaxBox(std::max(double(*span), std::ceil(overflow)), height(lines(*span)), span)
                : m.ownBox;
}
