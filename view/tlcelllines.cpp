#include "view/tlcelllines.h"

#include "model/tlrichtext.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextOption>

namespace {

// More characters than any cell can show on one line; the rest of a long
// label is never laid out.
constexpr int maxLineCharacters = 4096;
const QChar ellipsis(0x2026);

// The label as one line: paragraphs and line breaks become spaces, every
// character keeps its format.
void fillLine(TLRichText *line, const QString &html, const QFont &font)
{
    TLRichText source;
    source.setDefaultFont(font);
    source.setLabel(html);

    line->setDefaultFont(font);
    line->setDocumentMargin(0);
    QTextOption option = line->defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    line->setDefaultTextOption(option);

    QTextCursor cursor(line);
    bool separate = false;
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (line->characterCount() > maxLineCharacters)
                return;
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (separate) {
                cursor.insertText(QStringLiteral(" "), format);
                separate = false;
            }
            QString text = fragment.text();
            if (format.isImageFormat()) {
                for (qsizetype i = 0; i < text.size(); ++i)
                    cursor.insertImage(format.toImageFormat());
                continue;
            }
            text.replace(QChar::LineSeparator, QLatin1Char(' '));
            cursor.insertText(text, format);
        }
        separate = separate || !line->isEmpty();
    }
}

// Cuts the line where it and an ellipsis in the format of the cut fit into
// the width.
void elide(TLRichText *line, qreal width)
{
    if (line->idealWidth() <= width)
        return;
    const QTextBlock block = line->begin();
    QTextLayout *layout = block.layout();
    if (layout->lineCount() == 0)
        return;
    const QTextLine text = layout->lineAt(0);
    QTextCursor cursor(line);
    QTextCharFormat format;
    int cut = text.xToCursor(width, QTextLine::CursorBetweenCharacters);
    while (cut > 0) {
        cursor.setPosition(cut);
        format = cursor.charFormat();
        const QFont font = format.font().resolve(line->defaultFont());
        if (text.cursorToX(cut) + QFontMetricsF(font).horizontalAdvance(ellipsis) <= width)
            break;
        cut = layout->previousCursorPosition(cut);
    }
    cursor.setPosition(cut);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.insertText(QString(ellipsis), format);
}

// A table shows a few dozen rows; a few screens of them are kept.
constexpr int maxKept = 512;

}

TLCellLines::TLCellLines() = default;

TLCellLines::~TLCellLines() = default;

TLCellLines::Line TLCellLines::layOut(const QString &html, const QFont &font, const QSize &cell)
{
    Line made { std::make_shared<TLRichText>(), 0.0, 1.0 };
    fillLine(made.document.get(), html, font);
    if (made.document->isEmpty())
        return made;
    // A label in a large font is shrunk to the row rather than cut.
    made.height = made.document->size().height();
    made.scale = made.height > cell.height() ? cell.height() / made.height : 1.0;
    elide(made.document.get(), cell.width() / made.scale);
    return made;
}

double TLCellLines::naturalWidth(const QString &html, const QFont &font)
{
    TLRichText line;
    fillLine(&line, html, font);
    return line.idealWidth();
}

const TLCellLines::Line &TLCellLines::line(int row, const QString &html, const QFont &font, const QSize &cell)
{
    const auto known = entries.find(row);
    if (known != entries.end() && known->cell == cell && known->font == font && known->html == html)
        return known->line;
    if (entries.size() >= maxKept && known == entries.end())
        entries.clear();
    Entry &entry = entries[row];
    entry = Entry { html, font, cell, layOut(html, font, cell) };
    return entry.line;
}
