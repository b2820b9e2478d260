#ifndef TLFORMATCLAMP_H
#define TLFORMATCLAMP_H

class QTextDocument;

// Holds every length, font size and table of a parsed document to the
// rich-text home's maxima, so that no label makes the layout run for
// minutes or overflow: tables too deep or too large are flattened to
// their text, and a document that could grow too tall becomes the start
// of its plain text.
class TLFormatClamp
{
public:
    static void clamp(QTextDocument *document);
};

#endif
