#ifndef TLCELLLINES_H
#define TLCELLLINES_H

#include <QFont>
#include <QHash>
#include <QSize>
#include <QString>

#include <memory>

class TLRichText;

// The labels of the item table's cells as the cells show them: one line,
// cut with an ellipsis to the cell, laid out. Each is kept per row while
// the row's label, the font and the cell's size stay the same, so that a
// repaint of a row, even of a label of megabytes, lays out nothing.
class TLCellLines
{
public:
    struct Line
    {
        std::shared_ptr<TLRichText> document;
        // Its height, and the scale that fits a line in a large font into
        // the cell.
        double height = 0.0;
        double scale = 1.0;
    };

    TLCellLines();
    ~TLCellLines();

    // The line of row's label in font for a cell of that size.
    const Line &line(int row, const QString &html, const QFont &font, const QSize &cell);

    // How wide the line of a label in font is uncut.
    static double naturalWidth(const QString &html, const QFont &font);

private:
    struct Entry
    {
        QString html;
        QFont font;
        QSize cell;
        Line line;
    };

    static Line layOut(const QString &html, const QFont &font, const QSize &cell);

    QHash<int, Entry> entries;
};

#endif
