#ifndef TLCSVSYNTAX_H
#define TLCSVSYNTAX_H

#include <QtGlobal>

// The characters and sizes of the item table as text, shared by its
// reader and writer. The syntax is all in ASCII, which UTF-8 and
// Windows-1252 share.
struct TLCsvSyntax
{
    static constexpr char Quote = '"';
    static constexpr char Separator = ';';
    static constexpr char LineEnd = '\n';
    static constexpr char CarriageReturn = '\r';
    static constexpr char CommentMark = '#';
    // A record of fewer fields ends the reading.
    static constexpr int MinimumFields = 3;
    static constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
    // A file is read in slices of this size, so that only the items it
    // makes stay in memory, not its text.
    static constexpr qsizetype SliceSize = 1 << 20;
};

#endif
