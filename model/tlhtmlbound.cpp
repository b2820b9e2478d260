#include "model/tlhtmlbound.h"

#include "model/tlhtmlreader.h"
#include "model/tlrichtext.h"

#include <QHash>
#include <QList>
#include <QString>

namespace {

using Tag = TLHtmlReader::Tag;
using Element = TLHtmlReader::Element;

// Follows the elements the parser holds open through the label and takes
// out the tags that would go deeper than MaxNesting, beyond MaxListItems or
// beyond MaxParseWork, keeping the text between them.
class StructureBound
{
public:
    explicit StructureBound(const QString &html)
        : reader(html)
    {
    }

    QString run()
    {
        const QString &html = reader.html();
        while (!reader.atEnd()) {
            const qsizetype start = html.indexOf(QLatin1Char('<'), reader.position());
            if (styleFrom >= 0) {
                // A style sheet: every selector is matched against every
                // element from here on.
                const qsizetype end = start < 0 ? reader.size() : start;
                const QStringView sheet = QStringView(html).mid(styleFrom, end - styleFrom);
                rules += sheet.count(QLatin1Char(',')) + sheet.count(QLatin1Char('{'));
                styleFrom = -1;
            }
            if (start < 0)
                break;
            reader.setPosition(start + 1);
            const TLHtmlReader::Token token = reader.tag();
            if (token.kind == TLHtmlReader::Opening)
                open(start, token);
            else if (token.kind == TLHtmlReader::Closing)
                close(start, token.name);
        }
        if (done == 0)
            return html;
        result += QStringView(html).mid(done);
        return result;
    }

private:
    struct Open
    {
        QStringView name;
        Tag tag;
        bool block;
        qint64 around; // this element and those around it, each with its attributes
    };

    qsizetype innermost(Tag tag) const
    {
        qsizetype at = held.size() - 1;
        while (at >= 0 && held.at(at).tag != tag)
            --at;
        return at;
    }

    void open(qsizetype start, const TLHtmlReader::Token &token)
    {
        const Element element = TLHtmlReader::elementOf(token.name);
        // The parser's rules for where an element goes: a cell or row
        // outside a table gets a table (and row) made up around it, a
        // paragraph or list item in one of its own kind goes beside it, and
        // an element where it may not be goes up to where it may.
        qsizetype parent = held.size() - 1;
        int madeUp = 0;
        if (element.tag == Tag::DataCell && innermost(Tag::Row) < 0)
            madeUp = 2;
        else if (element.tag == Tag::Row && innermost(Tag::Table) < 0)
            madeUp = 1;
        if (madeUp == 0) {
            if (element.tag == Tag::Paragraph) {
                qsizetype block = parent;
                while (block >= 0 && !held.at(block).block)
                    --block;
                if (block >= 0 && held.at(block).tag == Tag::Paragraph)
                    parent = block;
            }
            if (parent >= 0 && held.at(parent).tag == element.tag
                && (element.tag == Tag::Paragraph || element.tag == Tag::ListItem))
                --parent;
            while (parent >= 0 && !TLHtmlReader::allowedIn(element.tag, held.at(parent).tag))
                --parent;
        }
        const bool holds = element.tag != Tag::Empty && !token.closed;
        // Text shows in a table only in its cells: a table or row is kept
        // only with room for them.
        const bool table = element.tag == Tag::Table || element.tag == Tag::Section;
        const int cells = !holds ? 0 : element.tag == Tag::Row ? 1 : table ? 2 : 0;
        const qint64 aroundParent = parent >= 0 ? held.at(parent).around : 0;
        const qint64 around = aroundParent + madeUp + 1 + token.attributes;
        const qint64 cost = around * (1 + rules);
        if (parent + 1 + madeUp + (holds ? 1 : 0) + cells > TLRichText::MaxNesting
            || work + cost > TLRichText::MaxParseWork
            || (element.tag == Tag::ListItem && items >= TLRichText::MaxListItems)) {
            // A cell or row that goes ends its table, so that its text
            // lands outside it rather than nowhere; anything else leaves a
            // space where lines or cells would have parted the text.
            const qsizetype enclosing = innermost(Tag::Table);
            QLatin1String with;
            if (enclosing >= 0
                && (element.tag == Tag::DataCell || element.tag == Tag::HeaderCell || element.tag == Tag::Row
                    || element.tag == Tag::Caption)) {
                held.resize(enclosing);
                with = QLatin1String("</table> ");
            } else if (TLHtmlReader::parts(token.name, element)) {
                with = QLatin1String(" ");
            }
            cut(start, with);
            if (holds)
                ++dropped[token.name.toString().toLower()];
            return;
        }
        work += cost;
        items += element.tag == Tag::ListItem ? 1 : 0;
        held.resize(parent + 1);
        if (madeUp > 0)
            held.append({ QStringView(u"table"), Tag::Table, false, aroundParent + 1 });
        if (madeUp > 1)
            held.append({ QStringView(u"tr"), Tag::Row, false, aroundParent + 2 });
        if (holds)
            held.append({ token.name, element.tag, element.block, around });
        if (holds && element.tag == Tag::Style)
            styleFrom = reader.position();
    }

    void close(qsizetype start, QStringView name)
    {
        // The end tags of tags taken out go too, innermost first.
        if (!dropped.isEmpty()) {
            const auto it = dropped.find(name.toString().toLower());
            if (it != dropped.end()) {
                cut(start, QLatin1String());
                if (--*it == 0)
                    dropped.erase(it);
                return;
            }
        }
        for (qsizetype at = held.size() - 1; at >= 0; --at) {
            if (TLHtmlReader::sameName(held.at(at).name, name)) {
                held.resize(at);
                return;
            }
        }
    }

    // Replaces the tag from start to the reader's position.
    void cut(qsizetype start, QLatin1String with)
    {
        if (done == 0)
            result.reserve(reader.size());
        result += QStringView(reader.html()).mid(done, start - done);
        result += with;
        done = reader.position();
    }

    TLHtmlReader reader;
    QList<Open> held;
    QHash<QString, int> dropped;
    QString result;
    qsizetype done = 0;
    qsizetype styleFrom = -1;
    qint64 rules = 0;
    qint64 work = 0;
    int items = 0;
};

// Elements whose text is no text of the label.
bool hidesText(QStringView name)
{
    for (const char *hiding : { "head", "style", "script", "title" }) {
        if (TLHtmlReader::sameName(name, QLatin1String(hiding)))
            return true;
    }
    return false;
}

// Every colspan attribute inside a tag whose value is not a plain number up
// to the maximum gets the maximum. One pass, whatever the label.
QString capColumnSpans(const QString &html)
{
    const QLatin1String name("colspan");
    qsizetype at = html.indexOf(name, 0, Qt::CaseInsensitive);
    if (at < 0)
        return html;
    const QString capped = QStringLiteral("colspan=\"%1\"").arg(TLRichText::MaxColumnSpan);
    const auto isSpace = [](QChar c) { return c.isSpace(); };
    QString result;
    qsizetype done = 0;
    qsizetype scanned = 0;
    bool inTag = false;
    while (at >= 0) {
        for (; scanned < at; ++scanned) {
            if (html.at(scanned) == QLatin1Char('<'))
                inTag = true;
            else if (html.at(scanned) == QLatin1Char('>'))
                inTag = false;
        }
        qsizetype end = at + name.size();
        while (end < html.size() && isSpace(html.at(end)))
            ++end;
        if (!inTag || end >= html.size() || html.at(end) != QLatin1Char('=')) {
            at = html.indexOf(name, at + name.size(), Qt::CaseInsensitive);
            continue;
        }
        ++end;
        while (end < html.size() && isSpace(html.at(end)))
            ++end;
        qsizetype valueStart = end;
        qsizetype valueEnd = end;
        if (end < html.size() && (html.at(end) == QLatin1Char('"') || html.at(end) == QLatin1Char('\''))) {
            const qsizetype close = html.indexOf(html.at(end), end + 1);
            valueStart = end + 1;
            valueEnd = close < 0 ? html.size() : close;
            end = close < 0 ? html.size() : close + 1;
        } else {
            while (end < html.size() && !isSpace(html.at(end)) && html.at(end) != QLatin1Char('>'))
                ++end;
            valueEnd = end;
        }
        bool number = false;
        const int columns = QStringView(html).mid(valueStart, valueEnd - valueStart).trimmed().toInt(&number);
        if (!number || columns > TLRichText::MaxColumnSpan) {
            result += QStringView(html).mid(done, at - done);
            result += capped;
            done = end;
        }
        scanned = qMax(scanned, end);
        at = html.indexOf(name, end, Qt::CaseInsensitive);
    }
    if (done == 0)
        return html;
    result += QStringView(html).mid(done);
    return result;
}


// The start of what the label reads as, without the parser: tags out, the
// common entities decoded, white space run together, lines where blocks and
// breaks part them, the text of heads, style sheets and scripts left out.
QString plainStart(const QString &html)
{
    TLHtmlReader reader(html);
    QString text;
    QChar pending; // the space or line break due before the next character
    while (!reader.atEnd() && text.size() < TLRichText::MaxPlainCharacters) {
        const QChar c = html.at(reader.position());
        if (c == QLatin1Char('<')) {
            reader.setPosition(reader.position() + 1);
            const TLHtmlReader::Token token = reader.tag();
            if (token.kind == TLHtmlReader::Declaration)
                continue;
            if (token.kind == TLHtmlReader::Opening && !token.closed && hidesText(token.name)) {
                const qsizetype end =
                    html.indexOf(QStringLiteral("</") + token.name.toString(), reader.position(), Qt::CaseInsensitive);
                reader.setPosition(end < 0 ? reader.size() : end);
            } else if (TLHtmlReader::parts(token.name, TLHtmlReader::elementOf(token.name))) {
                pending = QLatin1Char('\n');
            }
            continue;
        }
        reader.setPosition(reader.position() + 1);
        QString decoded;
        if (c == QLatin1Char('&')) {
            // Entities are short: the ';' is looked for in the next few characters only.
            const qsizetype length = QStringView(html).mid(reader.position(), 12).indexOf(QLatin1Char(';'));
            decoded = length > 0 ? TLHtmlReader::entity(QStringView(html).mid(reader.position(), length)) : QString();
            reader.setPosition(reader.position() + (decoded.isNull() ? 0 : length + 1));
        }
        const QChar first = decoded.isEmpty() ? c : decoded.at(0);
        if (first.isSpace() && first != QChar::Nbsp) {
            if (pending.isNull())
                pending = QLatin1Char(' ');
            continue;
        }
        if (!pending.isNull() && !text.isEmpty())
            text += pending;
        pending = QChar();
        if (decoded.isNull())
            text += c;
        else
            text += decoded;
    }
    return text.left(TLRichText::MaxPlainCharacters);
}

}

QString TLHtmlBound::bounded(const QString &html)
{
    if (html.size() > TLRichText::MaxHtmlLength)
        return QStringLiteral("<p style=\"white-space:pre-wrap\">") + plainStart(html).toHtmlEscaped()
            + QStringLiteral("</p>");
    return capColumnSpans(StructureBound(html).run());
}
