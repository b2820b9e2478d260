#ifndef TLHTMLBOUND_H
#define TLHTMLBOUND_H

class QString;

// A label's HTML made safe for Qt's parser before the parser sees it: the
// parser's own work grows with nesting, list items, style rules and column
// spans, long before the document it makes can be clamped.
class TLHtmlBound
{
public:
    // The HTML with column spans, nesting, list items and parse work held
    // to the rich-text home's maxima, or for a label longer than its
    // MaxHtmlLength the start of its plain text. One pass, whatever the
    // label.
    static QString bounded(const QString &html);
};

#endif
