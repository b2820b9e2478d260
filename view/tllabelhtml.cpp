#include "view/tllabelhtml.h"

#include "model/tlhtmlreader.h"
#include "model/tlrichtext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

// What QTextDocument puts after <p>, and the width of a level of
// -qt-block-indent, in pixels.
constexpr double paragraphMargin = 12.0;
constexpr double indentWidth = 40.0;

constexpr std::array<std::pair<char32_t, char32_t>, 4> plainRanges { {
    { 0x20, 0x250 }, { 0x370, 0x530 }, { 0x2000, 0x2070 }, { 0x20A0, 0x20D0 } } };

// Tag, attribute and property names are ASCII, compared without case.
bool equals(QStringView text, const char *word)
{
    if (text.isEmpty() || (text.front().unicode() | 0x20) != char16_t(word[0]))
        return false;
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

bool pixelsOf(QStringView value, double *pixels)
{
    value = value.trimmed();
    if (value.endsWith(QLatin1String("px"), Qt::CaseInsensitive))
        value.chop(2);
    bool number = false;
    *pixels = value.toDouble(&number);
    return number && std::isfinite(*pixels) && *pixels >= 0.0;
}

}

int TLLabelHtml::plainIndex(char32_t c)
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

// Controls, format characters such as a soft hyphen (a glyph where it
// breaks) or a bidi isolate, marks shaped onto the letter before and
// unassigned code points may take a glyph of another font, or none.
bool TLLabelHtml::isPlain(char32_t c)
{
    if (plainIndex(c) < 0)
        return false;
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_NotAssigned:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return false;
    default:
        return true;
    }
}

int TLLabelHtml::plainCount()
{
    int count = 0;
    for (const auto &range : plainRanges)
        count += int(range.second - range.first);
    return count;
}

bool TLLabelHtml::isSpace(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

TLLabelHtml::TLLabelHtml(const QString &html)
    : html(html)
    , editMode(html.contains(QLatin1String("qrichtext"), Qt::CaseInsensitive))
{
}

bool TLLabelHtml::addText(char32_t c, bool mayVanish)
{
    // Where newlines are kept they break lines; a form feed may too, and a
    // return starts a block with the margins of its own.
    const bool kept = newlinesInText || (newlinesInParagraphs && paragraphs > 0);
    if (kept && c == '\r')
        return false;
    if (c == 0x2028 || c == 0x2029 || (kept && (c == '\n' || c == '\f'))) {
        text.append(TextNewline);
        shown = true;
        return true;
    }
    // In the mode Qt's own documents ask for, the layout keeps every space
    // and drops newlines.
    const bool keptSpace = (kept || editMode) && isSpace(c) && c != '\n' && c != '\r';
    if (keptSpace)
        text.append(KeptSpace);
    shown = shown || keptSpace || !isSpace(c);
    if (mayVanish || (editMode && (c == '\n' || c == '\r')))
        text.append(MayVanish);
    text.append(c);
    return true;
}

// The parser drops the text between two tags when it is one white space
// character after an element that is not inline.
bool TLLabelHtml::loneBetweenTags(qsizetype from, qsizetype to, char32_t c) const
{
    return QChar::isSpace(c) && from == afterElementNotInline && to < html.size() && html.at(to) == QLatin1Char('<');
}

bool TLLabelHtml::readStyle(QStringView style, bool paragraph, bool *styled)
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
                newlinesInText = true;
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
    elementSide = std::max(elementSide, clampLength(left) + clampLength(right) + clampLength(indent) + blockIndent);
    const double margin = paragraph ? paragraphMargin : 0.0;
    vertical += clampLength(top.value_or(margin)) + clampLength(bottom.value_or(margin));
    *styled = true;
    return true;
}

bool TLLabelHtml::readAttributes(QStringView attributes, bool paragraph)
{
    bool styled = false;
    qsizetype a = 0;
    const auto endsName = [](QChar c) { return c.isSpace() || c == QLatin1Char('=') || c == QLatin1Char('/'); };
    while (a < attributes.size()) {
        while (a < attributes.size() && (attributes.at(a).isSpace() || attributes.at(a) == QLatin1Char('/')))
            ++a;
        const qsizetype nameStart = a;
        while (a < attributes.size() && !endsName(attributes.at(a)))
            ++a;
        const QStringView name = attributes.sliced(nameStart, a - nameStart);
        // A name as the parser reads it up to the next space or equals
        // sign; one of other characters could be read another way.
        for (const QChar c : name) {
            if (c.unicode() > 0x7f || !(c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')))
                return false;
        }
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
                // The parser ends a bare value at an equals sign too.
                if (value.contains(QLatin1Char('=')))
                    return false;
            }
        }
        // The parser reads entities in values: a style or face could say
        // what its text does not.
        if ((equals(name, "style") || equals(name, "face")) && value.contains(QLatin1Char('&')))
            return false;
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
bool TLLabelHtml::readStyleSheet()
{
    const qsizetype end = html.indexOf(QLatin1String("</style"), at, Qt::CaseInsensitive);
    if (end < 0)
        return false;
    const QStringView rules = QStringView(html).sliced(at, end - at);
    styleRules += rules.count(QLatin1Char(',')) + rules.count(QLatin1Char('{'));
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
            newlinesInParagraphs = true;
        r += qsizetype(qstrlen(*rule));
    }
    at = end;
    return true;
}

// The label home takes out the tags of a label nested deeper, or costing
// more to parse (each element and those around it, with their attributes,
// matched against each style rule), than it allows; such a label lays out
// otherwise than read here. The pass holds elements open as the parser
// does and stops well before either limit.
bool TLLabelHtml::noteOpened(QStringView name, QStringView attributes, bool holds, bool block)
{
    qint64 attributeCount = 0;
    bool inSpace = true;
    for (const QChar c : attributes) {
        attributeCount += inSpace && !c.isSpace() ? 1 : 0;
        inSpace = c.isSpace();
    }
    const qint64 around = (held.isEmpty() ? 0 : held.back().around) + 1 + attributeCount;
    parseWork += around * (1 + styleRules);
    if (holds)
        held.append({ name, around, block });
    return parseWork <= TLRichText::MaxParseWork / 2 && held.size() <= TLRichText::MaxNesting / 2;
}

// The parser takes a label for what its tags say only where it has the
// plain shape of Qt's own documents: an <html> holding a <head> of meta,
// style and title and then a <body>, each optional; blocks only at the top
// of the body, inline elements anywhere in it; each element closed by its
// own end tag and nothing after the body. It reshapes others its own ways
// (an element closed by another's end tag, a block in an inline element).
bool TLLabelHtml::keepsShape(QStringView name, bool closing, bool closedAtOnce) const
{
    const auto holdsOnly = [this](std::initializer_list<const char *> names) {
        return std::all_of(held.begin(), held.end(), [names](const Held &element) {
            return isOneOf(element.name, names);
        });
    };
    if (closing)
        return !held.isEmpty() && name.compare(held.back().name, Qt::CaseInsensitive) == 0
            && (!ended || equals(name, "html"));
    if (ended || (closedAtOnce && !isOneOf(name, { "br", "meta" })))
        return false;
    if (equals(name, "html"))
        return held.isEmpty() && !shown && !bodySeen;
    if (equals(name, "head"))
        return holdsOnly({ "html" }) && !shown && !bodySeen;
    if (equals(name, "body"))
        return holdsOnly({ "html" }) && !shown && !bodySeen;
    if (isOneOf(name, { "meta", "style", "title" }))
        return holdsOnly({ "html", "head" }) && !bodySeen;
    if (inHead())
        return false;
    if (isOneOf(name, { "p", "div" }))
        return holdsOnly({ "html", "body" });
    return true;
}

bool TLLabelHtml::readTag()
{
    const qsizetype start = at + 1;
    if (start >= html.size())
        return false;
    const QStringView rest = QStringView(html).sliced(start);
    if (rest.startsWith(QLatin1String("!--"))) {
        const qsizetype end = html.indexOf(QLatin1String("-->"), start);
        at = end < 0 ? html.size() : end + 3;
        eatSpaceAfterDeclaration();
        return true;
    }
    // The parser takes every < for a tag.
    const QChar first = html.at(start);
    if (!first.isLetter() && first != QLatin1Char('/') && first != QLatin1Char('!') && first != QLatin1Char('?'))
        return false;
    const qsizetype end = html.indexOf(QLatin1Char('>'), start);
    if (end < 0)
        return false;
    at = end + 1;
    // The parser skips a declaration to its first >, but reads <?...> as
    // a tag of an unknown name, whose quotes may hold a >.
    if (first == QLatin1Char('?'))
        return false;
    if (first == QLatin1Char('!')) {
        eatSpaceAfterDeclaration();
        return true;
    }
    // A tag the parser could end elsewhere: a quote still open at its end,
    // or another tag begun inside it; or one whose values its style sheet
    // reader may take otherwise, with control characters in them. A slash
    // outside the quotes of an opening tag, as in <p/>, closes it at once.
    const bool closing = first == QLatin1Char('/');
    QChar quote;
    bool closedAtOnce = false;
    for (const QChar c : QStringView(html).sliced(closing ? start + 1 : start, end - start - (closing ? 1 : 0))) {
        if ((quote.isNull() && c == QLatin1Char('<'))
            || (c.category() == QChar::Other_Control && !isSpace(c.unicode())))
            return false;
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            quote = quote.isNull() ? c : (quote == c ? QChar() : quote);
        else if (quote.isNull() && c == QLatin1Char('/'))
            closedAtOnce = true;
    }
    if (!quote.isNull())
        return false;
    qsizetype i = closing ? start + 1 : start;
    const qsizetype nameStart = i;
    while (i < end && html.at(i).isLetterOrNumber())
        ++i;
    const QStringView name = QStringView(html).sliced(nameStart, i - nameStart);
    const QStringView attributes = QStringView(html).sliced(i, end - i);
    // A name that runs on in other characters is another name; so does one
    // that runs on in a slash not ending the tag.
    const bool nameEnds = attributes.isEmpty() || attributes.front().isSpace() || attributes == QLatin1String("/");
    if (name.isEmpty() || !nameEnds)
        return false;
    const bool paragraph = equals(name, "p");
    const bool body = isOneOf(name, { "html", "head", "body" });
    const bool block = paragraph || isOneOf(name, { "div", "html", "body" });
    if (!keepsShape(name, closing, closedAtOnce))
        return false;
    const bool notInline = closing ? isOneOf(name, { "p", "div", "html", "head", "body", "style", "title" })
                                   : isOneOf(name, { "br", "meta" });
    afterElementNotInline = notInline ? at : -1;
    if (closing) {
        const bool closedBlock = held.back().block;
        held.removeLast();
        ended = ended || isOneOf(name, { "html", "body" });
        if (closedBlock)
            text.append(BlockEnd);
        paragraphs -= paragraph ? 1 : 0;
        return true;
    }
    const double sideAround = held.isEmpty() ? 0.0 : held.back().side;
    const bool holds = !equals(name, "br") && !equals(name, "meta");
    if (!noteOpened(name, attributes, holds, block))
        return false;
    bodySeen = bodySeen || equals(name, "body");

    if (equals(name, "br")) {
        text.append(LineBreak);
        shown = true;
        // Its font sizes the line it ends.
        return readAttributes(attributes, false);
    }
    if (equals(name, "style"))
        return readStyleSheet();
    if (equals(name, "title")) {
        // The title is not shown.
        const qsizetype end = html.indexOf(QLatin1String("</title"), at, Qt::CaseInsensitive);
        at = end < 0 ? html.size() : end;
        return true;
    }
    if (body) {
        text.append(BodyStart);
    } else if (block) {
        text.append(BlockStart);
        shown = true;
        paragraphs += paragraph ? 1 : 0;
    } else if (isOneOf(name, { "sub", "sup", "small" })) {
        text.append(InlineStart);
        shrunk = true;
    } else if (isOneOf(name, { "span", "b", "strong", "i", "em", "u", "s", "strike", "del", "ins", "a", "font" })) {
        text.append(InlineStart);
    } else if (!equals(name, "meta")) {
        return false;
    }
    elementSide = 0.0;
    if (!readAttributes(attributes, paragraph))
        return false;
    // Margins and indents of blocks one in another add up.
    side = std::max(side, sideAround + elementSide);
    if (holds)
        held.back().side = sideAround + elementSide;
    return true;
}

// An entity stands for one character; one the pass does not know ends
// the bound. An ampersand without a ; in the 9 characters after it, or
// with a space before it, is text, as the parser takes it.
bool TLLabelHtml::readEntity()
{
    const qsizetype end = html.indexOf(QLatin1Char(';'), at);
    const QStringView name = end < 0 ? QStringView() : QStringView(html).sliced(at + 1, end - at - 1);
    if (end < 0 || name.size() > 8 || std::any_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); })) {
        ++at;
        return addText('&', false);
    }
    const QString decoded = TLHtmlReader::entity(name);
    if (decoded.isNull())
        return false;
    const char32_t c = decoded.toUcs4().constFirst();
    if ((!isSpace(c) && !isPlain(c)) || !mayShow(c))
        return false;
    const bool lone = loneBetweenTags(at, end + 1, c);
    at = end + 1;
    return addText(c, lone);
}

bool TLLabelHtml::inHead() const
{
    return std::any_of(held.begin(), held.end(), [](const Held &element) { return equals(element.name, "head"); });
}

// Text the head hides, or after the body, is laid out otherwise.
bool TLLabelHtml::mayShow(char32_t c) const
{
    return isSpace(c) || !(ended || inHead());
}

void TLLabelHtml::eatSpaceAfterDeclaration()
{
    eatenUntil = at;
    while (eatenUntil < html.size() && html.at(eatenUntil).isSpace())
        ++eatenUntil;
}

bool TLLabelHtml::read()
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
        } else if (isSpace(c.unicode()) || isPlain(c.unicode())) {
            if (!mayShow(c.unicode()))
                return false;
            if (!addText(c.unicode(), at < eatenUntil || loneBetweenTags(at, at + 1, c.unicode())))
                return false;
            ++at;
        } else {
            return false;
        }
    }
    return true;
}
