#include "model/tlrichtext.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFormat>
#include <QTextFrame>
#include <QTextLength>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace {

// Each clamp returns whether it changed the format, so that untouched
// formats are not written back.
bool clampNumber(QTextFormat *format, int property, double maximum, double minimum = 0.0)
{
    if (!format->hasProperty(property))
        return false;
    const double value = format->doubleProperty(property);
    const double clamped = std::isnan(value) ? 0.0 : std::clamp(value, minimum, maximum);
    if (clamped == value)
        return false;
    format->setProperty(property, clamped);
    return true;
}

bool clampInt(QTextFormat *format, int property, int maximum, int minimum = 0)
{
    if (!format->hasProperty(property))
        return false;
    const int value = format->intProperty(property);
    const int clamped = std::clamp(value, minimum, maximum);
    if (clamped == value)
        return false;
    format->setProperty(property, clamped);
    return true;
}

QTextLength clampedLength(const QTextLength &length, double maximum)
{
    if (length.type() != QTextLength::FixedLength)
        return length;
    const double value = length.rawValue();
    return QTextLength(QTextLength::FixedLength, std::isnan(value) ? 0.0 : std::clamp(value, 0.0, maximum));
}

bool clampLength(QTextFormat *format, int property, double maximum)
{
    if (!format->hasProperty(property))
        return false;
    const QTextLength length = format->lengthProperty(property);
    const QTextLength clamped = clampedLength(length, maximum);
    if (clamped == length)
        return false;
    format->setProperty(property, clamped);
    return true;
}

bool clampProperties(QTextFormat *format, std::initializer_list<int> properties, double maximum)
{
    bool changed = false;
    for (int property : properties)
        changed |= clampNumber(format, property, maximum);
    return changed;
}

bool clampFrameFormat(QTextFrameFormat *format)
{
    bool changed = clampProperties(format,
                                   { QTextFormat::FrameBorder, QTextFormat::FrameMargin, QTextFormat::FramePadding,
                                     QTextFormat::FrameTopMargin, QTextFormat::FrameBottomMargin,
                                     QTextFormat::FrameLeftMargin, QTextFormat::FrameRightMargin,
                                     QTextFormat::TableCellSpacing, QTextFormat::TableCellPadding },
                                   TLRichText::MaxLength);
    changed |= clampLength(format, QTextFormat::FrameWidth, TLRichText::MaxExtent);
    changed |= clampLength(format, QTextFormat::FrameHeight, TLRichText::MaxExtent);
    if (format->hasProperty(QTextFormat::TableColumnWidthConstraints)) {
        QList<QTextLength> widths = format->lengthVectorProperty(QTextFormat::TableColumnWidthConstraints);
        bool widthsChanged = false;
        for (QTextLength &width : widths) {
            const QTextLength clamped = clampedLength(width, TLRichText::MaxExtent);
            widthsChanged |= !(clamped == width);
            width = clamped;
        }
        if (widthsChanged)
            format->setProperty(QTextFormat::TableColumnWidthConstraints, widths);
        changed |= widthsChanged;
    }
    return changed;
}

bool clampCellFormat(QTextTableCellFormat *format)
{
    return clampProperties(format,
                           { QTextFormat::TableCellTopPadding, QTextFormat::TableCellBottomPadding,
                             QTextFormat::TableCellLeftPadding, QTextFormat::TableCellRightPadding,
                             QTextFormat::TableCellTopBorder, QTextFormat::TableCellBottomBorder,
                             QTextFormat::TableCellLeftBorder, QTextFormat::TableCellRightBorder },
                           TLRichText::MaxLength);
}

bool clampBlockFormat(QTextBlockFormat *format)
{
    bool changed = clampProperties(format,
                                   { QTextFormat::BlockTopMargin, QTextFormat::BlockBottomMargin,
                                     QTextFormat::BlockLeftMargin, QTextFormat::BlockRightMargin },
                                   TLRichText::MaxLength);
    changed |= clampNumber(format, QTextFormat::TextIndent, TLRichText::MaxLength, -TLRichText::MaxLength);
    changed |= clampInt(format, QTextFormat::BlockIndent, TLRichText::MaxIndent);
    changed |= clampNumber(format, QTextFormat::LineHeight, TLRichText::MaxLineHeight);
    changed |= clampLength(format, QTextFormat::BlockTrailingHorizontalRulerWidth, TLRichText::MaxExtent);
    return changed;
}

// Points of a font, as pixels at up to 144 dots per inch.
double fontPixels(const QTextCharFormat &format, const QFont &fallback)
{
    if (const int pixels = format.intProperty(QTextFormat::FontPixelSize); pixels > 0)
        return pixels;
    if (const double points = format.doubleProperty(QTextFormat::FontPointSize); points > 0)
        return 2.0 * points;
    return fallback.pixelSize() > 0 ? fallback.pixelSize() : 2.0 * std::max(fallback.pointSizeF(), 1.0);
}

// The height of a line of characters of the given height in a block.
double lineHeight(const QTextBlockFormat &format, double characters)
{
    const double height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        return characters * std::max(height, 100.0) / 100.0;
    case QTextBlockFormat::FixedHeight:
        return height;
    case QTextBlockFormat::MinimumHeight:
        return std::max(characters, height);
    case QTextBlockFormat::LineDistanceHeight:
        return characters + std::max(height, 0.0);
    default:
        return characters;
    }
}

// More than the laid-out height of a document, without laying it out: every
// character on a line of its own, as in the narrowest box, twice as tall as
// its font, every table row with its paddings, spacings and borders.
double heightBound(QTextDocument *document)
{
    const QFont fallback = document->defaultFont();
    double bound = 0.0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        bound += format.topMargin() + format.bottomMargin()
            + lineHeight(format, 2.0 * fontPixels(block.charFormat(), fallback));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat chars = fragment.charFormat();
            const double height = chars.isImageFormat() ? TLRichText::MaxExtent : 2.0 * fontPixels(chars, fallback);
            bound += fragment.length() * lineHeight(format, height);
        }
    }
    const auto frameBound = [](const QTextFrameFormat &format) {
        return format.topMargin() + format.bottomMargin() + 2.0 * (format.padding() + format.border());
    };
    QList<QTextFrame *> frames = { document->rootFrame() };
    while (!frames.isEmpty()) {
        QTextFrame *frame = frames.takeLast();
        frames.append(frame->childFrames());
        bound += frameBound(frame->frameFormat());
        if (QTextTable *table = qobject_cast<QTextTable *>(frame)) {
            const QTextTableFormat format = table->format();
            for (int row = 0; row < table->rows(); ++row) {
                double cellBound = 0.0;
                for (int column = 0; column < table->columns(); ++column) {
                    const QTextTableCellFormat cell = table->cellAt(row, column).format().toTableCellFormat();
                    cellBound = std::max(cellBound, cell.topPadding() + cell.bottomPadding() + cell.topBorder()
                                             + cell.bottomBorder());
                }
                bound += cellBound + 2.0 * format.cellPadding() + format.cellSpacing() + 2.0 * format.border();
            }
        }
    }
    return bound;
}

bool clampCharFormat(QTextCharFormat *format)
{
    bool changed = clampNumber(format, QTextFormat::FontPointSize, TLRichText::MaxFontPointSize);
    changed |= clampInt(format, QTextFormat::FontPixelSize, TLRichText::MaxFontPixelSize);
    changed |= clampNumber(format, QTextFormat::FontLetterSpacing, TLRichText::MaxSpacing, -TLRichText::MaxSpacing);
    changed |= clampNumber(format, QTextFormat::FontWordSpacing, TLRichText::MaxSpacing, -TLRichText::MaxSpacing);
    changed |= clampProperties(format, { QTextFormat::ImageWidth, QTextFormat::ImageHeight },
                               TLRichText::MaxExtent);
    return changed;
}

void clampFrame(QTextFrame *frame)
{
    QTextFrameFormat format = frame->frameFormat();
    if (clampFrameFormat(&format))
        frame->setFrameFormat(format);
    if (QTextTable *table = qobject_cast<QTextTable *>(frame)) {
        for (int row = 0; row < table->rows(); ++row) {
            for (int column = 0; column < table->columns(); ++column) {
                QTextTableCell cell = table->cellAt(row, column);
                // A spanning cell answers for every place it covers.
                if (cell.row() != row || cell.column() != column)
                    continue;
                QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                if (clampCellFormat(&cellFormat))
                    cell.setFormat(cellFormat);
            }
        }
    }
    const QList<QTextFrame *> children = frame->childFrames();
    for (QTextFrame *child : children)
        clampFrame(child);
}

// The tables beyond the depth or the cells the layout is given, in
// document order; the text of the ones taken stays.
void collectCostlyTables(QTextFrame *frame, int depth, qint64 *cells, QList<QTextTable *> *costly)
{
    const QList<QTextFrame *> children = frame->childFrames();
    for (QTextFrame *child : children) {
        QTextTable *table = qobject_cast<QTextTable *>(child);
        if (!table) {
            collectCostlyTables(child, depth, cells, costly);
            continue;
        }
        const qint64 weight = (qint64(table->rows()) * table->columns()) << depth;
        if (depth >= TLRichText::MaxTableDepth || *cells + weight > TLRichText::MaxTableCells) {
            costly->append(table);
            continue;
        }
        *cells += weight;
        collectCostlyTables(child, depth + 1, cells, costly);
    }
}

// Puts the text of the table's cells, nested tables and all, where the
// table was.
void flattenTable(QTextTable *table)
{
    QStringList cells;
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            QTextCursor cursor = cell.firstCursorPosition();
            cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            if (cursor.hasSelection())
                cells.append(cursor.selection().toPlainText());
        }
    }
    QTextCursor cursor(table->document());
    cursor.setPosition(table->firstPosition() - 1);
    table->removeRows(0, table->rows());
    cursor.insertText(cells.join(QLatin1Char(' ')));
}

// Qt's image handler reads the file itself when no image comes back, so an
// image that must not be loaded is answered with a blank one.
QImage blankImage()
{
    QImage blank(16, 16, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    return blank;
}

// The bytes of a data: URL, as Qt's own reading takes them.
QByteArray dataUrlBytes(const QUrl &url)
{
    if (!url.host().isEmpty())
        return QByteArray();
    const QByteArray data =
        QByteArray::fromPercentEncoding(url.url(QUrl::FullyEncoded | QUrl::RemoveScheme).toLatin1());
    const qsizetype comma = data.indexOf(',');
    if (comma < 0)
        return QByteArray();
    const QByteArray payload = data.mid(comma + 1);
    if (data.left(comma).trimmed().toLower().endsWith(";base64"))
        return QByteArray::fromBase64(payload);
    return payload;
}

// What the HTML parser does with an element as it places it, as far as how
// deep it holds elements open goes.
enum class Tag : quint8 {
    Other,
    Empty, // holds nothing: br, hr, img, meta
    Paragraph,
    ListItem,
    DataCell,
    HeaderCell,
    Row,
    Table,
    Section, // thead, tbody, tfoot
    Caption,
    DefinitionList,
    DefinitionItem,
    Body,
    Head,
    Style,
};

struct Element
{
    Tag tag = Tag::Other;
    bool block = false; // a block of its own rather than part of a line
};

bool sameName(QStringView a, QStringView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

bool sameName(QStringView a, QLatin1String b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// Every name the parser does not know, and every inline element it does,
// is an Other that is no block.
Element elementOf(QStringView name)
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

// Whether a tag parts the text around it into lines or cells.
bool parts(QStringView name, const Element &element)
{
    return element.block || element.tag == Tag::Table || element.tag == Tag::Section || element.tag == Tag::Row
        || sameName(name, QLatin1String("br"));
}

// Where the parser moves an element that may not be placed in the one it
// is in.
bool allowedIn(Tag tag, Tag parent)
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

// Reads tags as the HTML parser does: where a tag ends, what its name is
// and how many attributes it has, quoted values and all.
struct HtmlReader
{
    enum Kind { Declaration, Opening, Closing };
    struct Token
    {
        Kind kind = Declaration;
        QStringView name;
        int attributes = 0;
        bool closed = false; // <name ... />
    };

    explicit HtmlReader(const QString &html)
        : html(html)
        , size(html.size())
    {
    }

    bool at(QChar c) const { return pos < size && html.at(pos) == c; }

    void eatSpace()
    {
        while (pos < size && html.at(pos).isSpace() && html.at(pos) != QChar::ParagraphSeparator)
            ++pos;
    }

    void skipPast(QChar c)
    {
        const qsizetype at = html.indexOf(c, pos);
        pos = at < 0 ? size : at + 1;
    }

    QStringView word()
    {
        const qsizetype from = pos;
        if (at(QLatin1Char('"'))) {
            skipPast(QLatin1Char('"'));
            return QStringView(html).mid(from + 1, std::max<qsizetype>(pos - from - 2, 0));
        }
        if (at(QLatin1Char('\''))) {
            // A quote after a backslash does not end the word.
            for (++pos; pos < size; ++pos) {
                if (html.at(pos) == QLatin1Char('\'') && html.at(pos - 1) != QLatin1Char('\\'))
                    break;
            }
            pos = std::min(pos + 1, size);
            return QStringView(html).mid(from + 1, std::max<qsizetype>(pos - from - 2, 0));
        }
        for (; pos < size; ++pos) {
            const QChar c = html.at(pos);
            if (c == QLatin1Char('>') || c == QLatin1Char('<') || c == QLatin1Char('=') || c.isSpace()
                || (c == QLatin1Char('/') && pos + 1 < size && html.at(pos + 1) == QLatin1Char('>')))
                break;
        }
        return QStringView(html).mid(from, pos - from);
    }

    int attributes()
    {
        int count = 0;
        while (pos < size) {
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

    // The tag after the '<' just passed.
    Token tag()
    {
        Token token;
        eatSpace();
        if (at(QLatin1Char('!'))) {
            ++pos;
            if (QStringView(html).mid(pos, 2) == QLatin1String("--")) {
                const qsizetype end = html.indexOf(QLatin1String("-->"), pos + 2);
                pos = end < 0 ? size : end + 3;
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
        if (pos < size && html.at(pos).isSpace())
            token.attributes = attributes();
        for (; pos < size && html.at(pos) != QLatin1Char('>'); ++pos) {
            if (html.at(pos) == QLatin1Char('/'))
                token.closed = true;
        }
        pos = std::min(pos + 1, size);
        return token;
    }

    const QString &html;
    const qsizetype size;
    qsizetype pos = 0;
};

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
        const QString &html = reader.html;
        while (reader.pos < reader.size) {
            const qsizetype start = html.indexOf(QLatin1Char('<'), reader.pos);
            if (styleFrom >= 0) {
                // A style sheet: every selector is matched against every
                // element from here on.
                const qsizetype end = start < 0 ? reader.size : start;
                const QStringView sheet = QStringView(html).mid(styleFrom, end - styleFrom);
                rules += sheet.count(QLatin1Char(',')) + sheet.count(QLatin1Char('{'));
                styleFrom = -1;
            }
            if (start < 0)
                break;
            reader.pos = start + 1;
            const HtmlReader::Token token = reader.tag();
            if (token.kind == HtmlReader::Opening)
                open(start, token);
            else if (token.kind == HtmlReader::Closing)
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

    void open(qsizetype start, const HtmlReader::Token &token)
    {
        const Element element = elementOf(token.name);
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
            while (parent >= 0 && !allowedIn(element.tag, held.at(parent).tag))
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
            } else if (parts(token.name, element)) {
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
            styleFrom = reader.pos;
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
            if (sameName(held.at(at).name, name)) {
                held.resize(at);
                return;
            }
        }
    }

    // Replaces the tag from start to the reader's position.
    void cut(qsizetype start, QLatin1String with)
    {
        if (done == 0)
            result.reserve(reader.size);
        result += QStringView(reader.html).mid(done, start - done);
        result += with;
        done = reader.pos;
    }

    HtmlReader reader;
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
        if (sameName(name, QLatin1String(hiding)))
            return true;
    }
    return false;
}

// The characters an entity stands for, or a null string.
QString entity(QStringView name)
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

// The start of what the label reads as, without the parser: tags out, the
// common entities decoded, white space run together, lines where blocks and
// breaks part them, the text of heads, style sheets and scripts left out.
QString plainStart(const QString &html)
{
    HtmlReader reader(html);
    QString text;
    QChar pending; // the space or line break due before the next character
    while (reader.pos < reader.size && text.size() < TLRichText::MaxPlainCharacters) {
        const QChar c = html.at(reader.pos);
        if (c == QLatin1Char('<')) {
            ++reader.pos;
            const HtmlReader::Token token = reader.tag();
            if (token.kind == HtmlReader::Declaration)
                continue;
            if (token.kind == HtmlReader::Opening && !token.closed && hidesText(token.name)) {
                const qsizetype end =
                    html.indexOf(QStringLiteral("</") + token.name.toString(), reader.pos, Qt::CaseInsensitive);
                reader.pos = end < 0 ? reader.size : end;
            } else if (parts(token.name, elementOf(token.name))) {
                pending = QLatin1Char('\n');
            }
            continue;
        }
        ++reader.pos;
        QString decoded;
        if (c == QLatin1Char('&')) {
            // Entities are short: the ';' is looked for in the next few characters only.
            const qsizetype length = QStringView(html).mid(reader.pos, 12).indexOf(QLatin1Char(';'));
            decoded = length > 0 ? entity(QStringView(html).mid(reader.pos, length)) : QString();
            reader.pos += decoded.isNull() ? 0 : length + 1;
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

// Every colspan attribute inside a tag whose value is not a plain number up
// to the maximum gets the maximum. One pass, whatever the label.
QString TLRichText::capColumnSpans(const QString &html)
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

QString TLRichText::boundHtml(const QString &html)
{
    if (html.size() > MaxHtmlLength)
        return QStringLiteral("<p style=\"white-space:pre-wrap\">") + plainStart(html).toHtmlEscaped()
            + QStringLiteral("</p>");
    return capColumnSpans(StructureBound(html).run());
}

// The inline images a document has decoded, and the sizes its text shows
// them at.
struct TLRichText::Images
{
    struct Shown
    {
        double width = 0.0;
        double height = 0.0;
        bool natural = false; // somewhere without a width or height of its own
    };

    QHash<QUrl, QVariant> loaded;
    QHash<QUrl, Shown> shown;
    bool shownStale = true;
    qint64 pixels = 0;

    void reset()
    {
        loaded.clear();
        shown.clear();
        shownStale = true;
        pixels = 0;
    }

    void measure(const QTextDocument *document)
    {
        shown.clear();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isImageFormat())
                    continue;
                const QTextImageFormat image = format.toImageFormat();
                if (!image.name().startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
                    continue;
                Shown &size = shown[QUrl(image.name())];
                size.natural |=
                    !image.hasProperty(QTextFormat::ImageWidth) && !image.hasProperty(QTextFormat::ImageHeight);
                size.width = std::max(size.width, image.width());
                size.height = std::max(size.height, image.height());
            }
        }
        shownStale = false;
    }

    // The largest size the text shows the image at, in its own proportions,
    // never larger than the image nor than MaxExtent.
    QSize shownSize(const QUrl &name, const QSize &image) const
    {
        double scale = 1.0;
        const auto it = shown.constFind(name);
        if (it != shown.cend() && !it->natural)
            scale = std::max(it->width / image.width(), it->height / image.height());
        scale = std::min({ scale, 1.0, MaxExtent / image.width(), MaxExtent / image.height() });
        return QSize(std::max(1, qRound(image.width() * scale)), std::max(1, qRound(image.height() * scale)));
    }

    QVariant decode(const QUrl &name, const QTextDocument *document)
    {
        QBuffer buffer;
        buffer.setData(dataUrlBytes(name));
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        // The size in the image's header is all that is believed before
        // anything is allocated, so that a small file claiming a huge image
        // costs nothing.
        const QSize size = reader.size();
        if (size.isEmpty() || qint64(size.width()) * size.height() > MaxImagePixels - pixels)
            return blankImage();
        pixels += qint64(size.width()) * size.height();
        if (shownStale)
            measure(document);
        const QSize shownAt = shownSize(name, size);
        if (shownAt != size)
            reader.setScaledSize(shownAt);
        const QImage image = reader.read();
        if (image.isNull())
            return blankImage();
        return QPixmap::fromImage(image);
    }
};

TLRichText::TLRichText(QObject *parent)
    : QTextDocument(parent)
    , images(std::make_unique<Images>())
{
    connect(this, &QTextDocument::contentsChanged, this, [this] { images->shownStale = true; });
}

TLRichText::~TLRichText()
{
    // The base class tears the document down after the images are gone.
    disconnect(this, &QTextDocument::contentsChanged, this, nullptr);
}

void TLRichText::setLabel(const QString &html)
{
    images->reset();
    setHtml(boundHtml(html));
    clampFormats(this);
}

void TLRichText::clear()
{
    images->reset();
    QTextDocument::clear();
}

void TLRichText::clampFormats(QTextDocument *document)
{
    // Last first, so that the positions of the ones before stay put.
    QList<QTextTable *> costly;
    qint64 cells = 0;
    collectCostlyTables(document->rootFrame(), 0, &cells, &costly);
    for (auto it = costly.crbegin(); it != costly.crend(); ++it)
        flattenTable(*it);
    clampFrame(document->rootFrame());

    // Formats are collected first and written afterwards: writing one can
    // merge fragments under a running iterator.
    struct Span
    {
        int position;
        int length;
        QTextCharFormat format;
    };
    QList<Span> spans;
    QList<QPair<int, QTextBlockFormat>> blocks;
    QList<QTextList *> lists;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat blockFormat = block.blockFormat();
        if (clampBlockFormat(&blockFormat))
            blocks.append({ block.position(), blockFormat });
        QTextCharFormat blockCharFormat = block.charFormat();
        if (clampCharFormat(&blockCharFormat))
            spans.append({ block.position(), 0, blockCharFormat });
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (clampCharFormat(&format))
                spans.append({ fragment.position(), fragment.length(), format });
        }
        if (QTextList *list = block.textList(); list && !lists.contains(list))
            lists.append(list);
    }

    QTextCursor cursor(document);
    for (const auto &block : std::as_const(blocks)) {
        cursor.setPosition(block.first);
        cursor.setBlockFormat(block.second);
    }
    for (const Span &span : std::as_const(spans)) {
        cursor.setPosition(span.position);
        if (span.length == 0) {
            cursor.setBlockCharFormat(span.format);
            continue;
        }
        cursor.setPosition(span.position + span.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(span.format);
    }
    for (QTextList *list : std::as_const(lists)) {
        QTextListFormat format = list->format();
        if (clampInt(&format, QTextFormat::ListIndent, MaxIndent))
            list->setFormat(format);
    }

    if (heightBound(document) > MaxHeight)
        document->setPlainText(document->toPlainText().left(MaxPlainCharacters));
}

QString TLRichText::plainText(const QString &html)
{
    TLRichText document;
    document.setLabel(html);
    return document.toPlainText();
}

double TLRichText::layoutWidth(double width)
{
    return std::isnan(width) ? 0.0 : std::clamp(width, 0.0, double(MaxTextWidth));
}

QVariant TLRichText::loadResource(int type, const QUrl &name)
{
    // A label takes no style sheets or documents from anywhere, and only
    // images that carry their bytes with them: anything else would be read
    // from a file, a device or the network.
    if (type != ImageResource)
        return QVariant();
    if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) != 0)
        return blankImage();
    const auto known = images->loaded.constFind(name);
    if (known != images->loaded.cend())
        return *known;
    const QVariant image = images->decode(name, this);
    images->loaded.insert(name, image);
    return image;
}
