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

void collectDeepTables(QTextFrame *frame, int depth, QList<QTextTable *> *deep)
{
    const QList<QTextFrame *> children = frame->childFrames();
    for (QTextFrame *child : children) {
        QTextTable *table = qobject_cast<QTextTable *>(child);
        const int childDepth = table ? depth + 1 : depth;
        if (table && childDepth > TLRichText::MaxTableDepth)
            deep->append(table);
        else
            collectDeepTables(child, childDepth, deep);
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
            cells.append(cursor.selection().toPlainText());
        }
    }
    QTextCursor cursor(table->document());
    cursor.setPosition(table->firstPosition() - 1);
    table->removeRows(0, table->rows());
    cursor.insertText(cells.join(QLatin1Char(' ')));
}

}

TLRichText::TLRichText(QObject *parent)
    : QTextDocument(parent)
{
}

void TLRichText::setLabel(const QString &html)
{
    setHtml(html);
    clampFormats(this);
}

void TLRichText::clampFormats(QTextDocument *document)
{
    // Last first, so that the positions of the ones before stay put.
    QList<QTextTable *> deep;
    collectDeepTables(document->rootFrame(), 0, &deep);
    for (auto it = deep.crbegin(); it != deep.crend(); ++it)
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
