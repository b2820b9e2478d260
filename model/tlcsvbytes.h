#ifndef TLCSVBYTES_H
#define TLCSVBYTES_H

#include <QByteArray>

class QIODevice;
class TLUtf8Check;

// The bytes being read: all of a table, or the part of a file from the
// record being read on.
class TLCsvBytes
{
public:
    explicit TLCsvBytes(const QByteArray &data) : bytes(data), whole(true) {}
    TLCsvBytes(QIODevice *device, TLUtf8Check *check) : device(device), check(check) {}

    const char *data() const { return bytes.constData(); }
    qsizetype size() const { return bytes.size(); }
    bool complete() const { return whole; }
    // Where data() lies in the file.
    qint64 offset() const { return base; }

    // Drops the bytes before from and reads at least as many again as are
    // kept, so that a record longer than a slice is read again only as
    // often as its length doubles. False when the device fails.
    bool more(qsizetype from);

private:
    QByteArray bytes;
    bool whole = false;
    QIODevice *device = nullptr;
    TLUtf8Check *check = nullptr;
    qint64 base = 0;
};

#endif
