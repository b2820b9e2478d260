#include "model/tlhtmlreader.h"

#include <algorithm>

TLHtmlReader::TLHtmlReader(const QString &html)
    : text(html)
{
}

bool TLHtmlReader::at(QChar c) const
{
    return pos < text.size() && text.at(pos) == c;
}

void TLHtmlReader::eatSpace()
{
    while (pos < text.size() && text.at(pos).isSpace() && text.at(pos) != QChar::ParagraphSeparator)
        ++pos;
}

void TLHtmlReader::skipPast(QChar c)
{
    const qsizetype at = text.indexOf(c, pos);
    pos = at < 0 ? text.size() : at + 1;
}

QStringView TLHtmlReader::word()
{
    const qsizetype from = pos;
    if (at(QLatin1Char('"'))) {
        skipPast(QLatin1Char('"'));
        return QStringView(text).mid(from + 1, std::max<qsizetype>(pos - from - 2, 0));
    }
    if (at(QLatin1Char('\''))) {
        // A quote after a backslash does not end the word.
        for (++pos; pos < text.size(); ++pos) {
            if (text.at(pos) == QLatin1Char('\'') && text.at(pos - 1) != QLatin1Char('\\'))
                break;
        }
        pos = std::min(pos + 1, text.size());
        return QStringView(text).mid(from + 1, std::max<qsizetype>(pos - from - 2, 0));
    }
    for (; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        if (c == QLatin1Char('>') || c == QLatin1Char('<') || c == QLatin1Char('=') || c.isSpace()
            || (c == QLatin1Char('/') && pos + 1 < text.size() && text.at(pos + 1) == QLatin1Char('>')))
            break;
    }
    return QStringView(text).mid(from, pos - from);
}

int TLHtmlReader::attributes()
{
    int count = 0;
    while (pos < text.size()) {
        eatSpace();
        if (at(QLatin1Char('>')) || at(QLatin1Char('/')) || word().isEmpty())
            break;
        ++count;
        eatSpace();
        if (at(QLatin1Char('='))) {
            ++pos;
            eatSpace();
            word();
        }
    }
    return count;
}

TLHtmlReader::Token TLHtmlReader::tag()
{
    Token token;
    eatSpace();
    if (at(QLatin1Char('!'))) {
        ++pos;
        if (QStringView(text).mid(pos, 2) == QLatin1String("--")) {
            const qsizetype end = text.indexOf(QLatin1String("-->"), pos + 2);
            pos = end < 0 ? text.size() : end + 3;
        } else {
            skipPast(QLatin1Char('>'));
        }
        return token;
    }
    if (at(QLatin1Char('/'))) {
        ++pos;
        token.kind = Closing;
        token.name = word().trimmed();
        skipPast(QLatin1Char('>'));
        return token;
    }
    token.kind = Opening;
    token.name = word();
    if (pos < text.size() && text.at(pos).isSpace())
        token.attributes = attributes();
    for (; pos < text.size() && text.at(pos) != QLatin1Char('>'); ++pos) {
        if (text.at(pos) == QLatin1Char('/'))
            token.closed = true;
    }
    pos = std::min(pos + 1, text.size());
    return token;
}

bool TLHtmlReader::sameName(QStringView a, QStringView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

bool TLHtmlReader::sameName(QStringView a, QLatin1String b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

TLHtmlReader::Element TLHtmlReader::elementOf(QStringView name)
{
    static const struct
    {
        QLatin1String name;
        Element element;
    } known[] = {
        { QLatin1String("blockquote"), { Tag::Other, true } }, { QLatin1String("body"), { Tag::Body, true } },
        { QLatin1String("br"), { Tag::Empty, false } },        { QLatin1String("caption"), { Tag::Caption, true } },
        { QLatin1String("center"), { Tag::Other, true } },     { QLatin1String("dd"), { Tag::DefinitionItem, true } },
        { QLatin1String("div"), { Tag::Other, true } },        { QLatin1String("dl"), { Tag::DefinitionList, true } },
        { QLatin1String("dt"), { Tag::DefinitionItem, true } }, { QLatin1String("h1"), { Tag::Other, true } },
        { QLatin1String("h2"), { Tag::Other, true } },         { QLatin1String("h3"), { Tag::Other, true } },
        { QLatin1String("h4"), { Tag::Other, true } },         { QLatin1String("h5"), { Tag::Other, true } },
        { QLatin1String("h6"), { Tag::Other, true } },         { QLatin1String("head"), { Tag::Head, false } },
        { QLatin1String("hr"), { Tag::Empty, true } },         { QLatin1String("img"), { Tag::Empty, false } },
        { QLatin1String("li"), { Tag::ListItem, true } },      { QLatin1String("meta"), { Tag::Empty, false } },
        { QLatin1String("ol"), { Tag::Other, true } },         { QLatin1String("p"), { Tag::Paragraph, true } },
        { QLatin1String("pre"), { Tag::Other, true } },        { QLatin1String("qt"), { Tag::Body, true } },
        { QLatin1String("style"), { Tag::Style, false } },     { QLatin1String("table"), { Tag::Table, false } },
        { QLatin1String("tbody"), { Tag::Section, false } },   { QLatin1String("td"), { Tag::DataCell, true } },
        { QLatin1String("tfoot"), { Tag::Section, false } },   { QLatin1String("th"), { Tag::HeaderCell, true } },
        { QLatin1String("thead"), { Tag::Section, false } },   { QLatin1String("tr"), { Tag::Row, false } },
        { QLatin1String("ul"), { Tag::Other, true } },
    };
    for (const auto &element : known) {
        if (sameName(name, element.name))
            return element.element;
    }
    // A tag without a name holds nothing: the parser never puts anything
    // into it.
    return { name.isEmpty() ? Tag::Empty : Tag::Other, false };
}

bool TLHtmlReader::parts(QStringView name, const Element &element)
{
    return element.block || element.tag == Tag::Table || element.tag == Tag::Section || element.tag == Tag::Row
        || sameName(name, QLatin1String("br"));
}

bool TLHtmlReader::allowedIn(Tag tag, Tag parent)
{
    switch (tag) {
    case Tag::DefinitionItem:
        return parent == Tag::DefinitionList;
    case Tag::Row:
        return parent == Tag::Table || parent == Tag::Section;
    case Tag::DataCell:
    case Tag::HeaderCell:
        return parent == Tag::Row;
    case Tag::Section:
    case Tag::Caption:
        return parent == Tag::Table;
    case Tag::Body:
        return parent != Tag::Head;
    default:
        return true;
    }
}

QString TLHtmlReader::entity(QStringView name)
{
    static const struct
    {
        QLatin1String name;
        char16_t character;
    } common[] = {
        { QLatin1String("amp"), u'&' },   { QLatin1String("lt"), u'<' },    { QLatin1String("gt"), u'>' },
        { QLatin1String("quot"), u'"' },  { QLatin1String("apos"), u'\'' }, { QLatin1String("nbsp"), u'\u00a0' },
    };
    for (const auto &known : common) {
        if (name == known.name)
            return QString(QChar(known.character));
    }
    if (name.size() > 1 && name.at(0) == QLatin1Char('#')) {
        const bool hex = name.at(1) == QLatin1Char('x') || name.at(1) == QLatin1Char('X');
        bool number = false;
        const uint code = name.mid(hex ? 2 : 1).toUInt(&number, hex ? 16 : 10);
        if (number && code > 0 && code <= 0x10ffff && !QChar::isSurrogate(code)) {
            const char32_t character = code;
            return QString::fromUcs4(&character, 1);
        }
    }
    return QString();
}
