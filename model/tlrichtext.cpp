#include "model/tlrichtext.h"

#include <QImage>
#include <QList>
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
}

TLRichText::TLRichText(QObject *parent)
    : QTextDocument(parent)
{
}

void TLRichText::setLabel(const QString &html)
{
    setHtml(capColumnSpans(html));
    clampFormats(this);
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
    // Inline images carry their bytes with them; anything else would be
    // read from a file, a device or the network.
    if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0) {
        const QVariant inlined = QTextDocument::loadResource(type, name);
        if (inlined.isValid() || type != ImageResource)
            return inlined;
    }
    if (type != ImageResource)
        return QVariant();
    // Qt's image handler reads the file itself when no image comes back,
    // so an image that must not be loaded is answered with a blank one.
    QImage blank(16, 16, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    return blank;
}
