// libFuzzer target for the native reader: whatever it reads must survive a
// write and a second read unchanged, and the second write must give the
// first one's bytes. A pipe reads the same as a buffer.

#include "model/tldocument.h"

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Gives its bytes once and cannot seek back.
class Pipe : public QIODevice
{
public:
    explicit Pipe(const QByteArray &data) : bytes(data) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return bytes.size() - offset + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 size) override
    {
        size = qMin(size, bytes.size() - offset);
        memcpy(data, bytes.constData() + offset, size_t(size));
        offset += size;
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray bytes;
    qint64 offset = 0;
};

[[noreturn]] void fail(const char *what)
{
    fprintf(stderr, "fuzz_native: %s\n", what);
    abort();
}

TLFileResult readBytes(const QByteArray &data, TLDocument *doc)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return TLDocument::read(&buffer, doc);
}

QByteArray writeBytes(const TLDocument &doc)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!doc.write(&buffer))
        fail("write failed");
    return buffer.data();
}

// Not-a-number is the same value as itself here.
bool sameDouble(double a, double b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

QByteArray colorBytes(const QColor &color)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_6);
    out << color;
    return bytes;
}

bool sameColor(const QColor &a, const QColor &b)
{
    return a == b || colorBytes(a) == colorBytes(b);
}

bool sameString(const QString &a, const QString &b)
{
    return a == b && a.isNull() == b.isNull();
}

bool sameItem(const TLItem &a, const TLItem &b)
{
    return a.date == b.date && a.pos == b.pos && sameString(a.text, b.text)
        && sameColor(a.backgroundColor, b.backgroundColor) && a.endDate == b.endDate;
}

// Everything but the version, which a write always raises to the current one.
bool sameValues(const TLDocument &a, const TLDocument &b)
{
    if (a.style != b.style || a.start != b.start || a.end != b.end || !sameDouble(a.dayWidth, b.dayWidth)
        || !sameDouble(a.posHeight, b.posHeight) || a.tPos != b.tPos || a.maxPos != b.maxPos
        || a.bgMode != b.bgMode || a.bgColors.size() != b.bgColors.size()
        || !sameString(a.bgFileName, b.bgFileName) || a.displayFlags != b.displayFlags
        || a.items.size() != b.items.size())
        return false;
    for (qsizetype i = 0; i < a.bgColors.size(); ++i) {
        if (!sameColor(a.bgColors.at(i), b.bgColors.at(i)))
            return false;
    }
    for (qsizetype i = 0; i < a.items.size(); ++i) {
        if (!sameItem(a.items.at(i), b.items.at(i)))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    TLDocument first;
    const TLFileResult result = readBytes(input, &first);

    Pipe pipe(input);
    TLDocument piped;
    const TLFileResult pipedResult = TLDocument::read(&pipe, &piped);
    if (pipedResult.error() != result.error() || pipedResult.count() != result.count())
        fail("a pipe and a buffer give different results");
    if (!result.hasDocument())
        return 0;
    if (piped.version != first.version || !sameValues(piped, first))
        fail("a pipe and a buffer give different documents");
    if (result.error() == TLFileResult::Truncated && result.count() != first.items.size())
        fail("the count of a truncated read is not its items");

    const QByteArray written = writeBytes(first);
    TLDocument second;
    if (!readBytes(written, &second))
        fail("a written document does not read back whole");
    if (second.version != TLDocument::CurrentVersion || !sameValues(first, second))
        fail("a written document reads back different");
    if (writeBytes(second) != written)
        fail("a document read back writes different bytes");
    return 0;
}
