#ifndef TLLABELBOUND_H
#define TLLABELBOUND_H

#include <QFont>
#include <QMultiHash>
#include <QSize>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <array>
#include <memory>
#include <optional>

// How large a label's box can be at most, read from its HTML in one pass
// and without laying it out, so that the chart lays out only the labels
// that can reach what it paints or what is clicked.
//
// The pass measures the label's text as if every character took the
// widest face of the largest font the label names, and from that bounds
// the lines a greedy wrap at a width can make. A label with anything whose
// size such a pass cannot bound (images, tables, lists, text that must not
// wrap, style rules, spacing, scripts outside Latin, Greek and Cyrillic)
// has no bound: it is laid out whenever it could matter.
class TLLabelBound
{
public:
    // What the pass learns about a label, in pixels.
    struct Measure
    {
        float textWidth = 0;   // all its text, spaces included
        float widestWord = 0;  // that no line break opportunity splits
        float widestSpaces = 0;
        float lineHeight = 0;  // the tallest a line can be
        float sideRoom = 0;    // margins and indents beside the text
        float verticalRoom = 0; // paragraph margins above and below
        quint32 hardLines = 1;
        quint32 characters = 0;
        // The largest box without a span.
        QSize ownBox;
    };

    // The document font, which a label's text takes where it names no
    // other and whose "x" sets the width a label without a span wraps at.
    explicit TLLabelBound(const QFont &documentFont);
    ~TLLabelBound();

    std::optional<Measure> measure(const QString &html);
    // The largest box a label of that measure can take, laid out at span
    // or, without one, at the width it chooses itself.
    QSize boxBound(const Measure &measure, std::optional<int> span) const;

private:
    struct Faces;

    Faces &facesFor(const QVarLengthArray<QStringView, 4> &families, const std::array<double, 4> &sizes, int weight);

    QFont font;
    int wrapWidth;
    QMultiHash<size_t, std::shared_ptr<Faces>> faces;
    Faces *lastFaces = nullptr;
};

#endif
