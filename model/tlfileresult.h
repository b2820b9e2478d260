#ifndef TLFILERESULT_H
#define TLFILERESULT_H

#include <QString>

// What became of reading or writing a document, so that the commands can
// tell the user why a file was not opened or not saved, or that it was
// read only in part.
class TLFileResult
{
public:
    enum Error {
        NoError,
        OpenFailed,
        NotAChart,
        UnsupportedVersion,
        UnknownStyle,
        WriteFailed,
        // The folder of a file to be saved takes no new file, which a save
        // writes before it replaces the old one (detail: the system's words).
        FolderNotWritable,
        // A date the native format cannot store (count: its Julian day).
        DateNotStorable,
        // A name with neither of the known endings.
        UnknownEnding,
        // The data ended early; what came before it was read (count: items).
        Truncated,
        // A table record too short to be an item ended the reading; the
        // records before it were read (count: its line number).
        StoppedAtLine,
        // A table in an encoding that cannot be told from its bytes, as
        // UTF-16 without a byte-order mark.
        UnknownEncoding,
    };

    TLFileResult() = default;
    TLFileResult(Error error, const QString &detail = QString(), qint64 count = 0)
        : err(error), text(detail), number(count)
    {
    }

    bool ok() const { return err == NoError; }
    explicit operator bool() const { return ok(); }
    // Whether a document was read, whole or in part, and may replace the
    // open one.
    bool hasDocument() const { return err == NoError || err == Truncated || err == StoppedAtLine; }
    Error error() const { return err; }
    // The system's own words where there are any (a file error string).
    QString detail() const { return text; }
    // Why the file at path was not read or written, in a sentence of the
    // user's language; empty without an error.
    QString reason(const QString &path) const;

    // The items read before a Truncated end, the line of StoppedAtLine, or
    // the Julian day of DateNotStorable.
    qint64 count() const { return number; }

private:
    Error err = NoError;
    QString text;
    qint64 number = 0;
};

#endif
