#include "model/tlformatclamp.h"

#include "model/tlrichtext.h"

#include <QFont>
#include <QList>
#include <QPair>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextDocument>
#include <QTextFormat>
#include <QTextFrame>
#include <QTextLength>
#include <QTextList>
#include <QTextTable>

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

}

void TLFormatClamp::clamp(QTextDocument *document)
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
        if (clampInt(&format, QTextFormat::ListIndent, TLRichText::MaxIndent))
            list->setFormat(format);
    }

    if (heightBound(document) > TLRichText::MaxHeight)
        document->setPlainText(document->toPlainText().left(TLRichText::MaxPlainCharacters));
}
