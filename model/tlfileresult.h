#ifndef TLFILERESULT_H
#define TLFILERESULT_H

#include <QString>

// What became of reading or writing a document, so that the commands can
// tell the user why a file was not opened or not saved.
class TLFileResult
{
public:
    enum Error { NoError, OpenFailed, NotAChart, UnsupportedVersion, UnknownStyle, WriteFailed };

    TLFileResult() = default;
    TLFileResult(Error error, const QString &detail = QString())
        : err(error), text(detail)
    {
    }

    bool ok() const { return err == NoError; }
    explicit operator bool() const { return ok(); }
    Error error() const { return err; }
    // The system's own words where there are any (a file error string).
    QString detail() const { return text; }

private:
    Error err = NoError;
    QString text;
};

#endif
