#include "model/tldocument.h"

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <iterator>

namespace {

constexpr int DateSize = 4;
constexpr int IntSize = 4;
constexpr int EmptyStringSize = 4;
constexpr int ColorSize = 11;
constexpr int FlagSize = 4;

// What a QFont writes after its family name, by the Qt 4 release that wrote
// the file: 4.5 and later add letter and word spacing, 4.4 a style strategy
// byte, 4.3 the stretch. The file does not say which one it was, so version 1
// items are read in each form until one fits the file exactly.
constexpr int FontTailSizes[] = { 28, 20, 19, 17 };

// Once the stream has failed (ended, or a string claimed an impossible
// length) every further value is a zero, never bytes misread from the middle
// of a field.
template <typename T>
void readValue(QDataStream &in, T &value)
{
    if (in.status() == QDataStream::Ok)
        in >> value;
    else
        value = T();
}

bool canRead(const QDataStream &in)
{
    return in.status() == QDataStream::Ok && !in.atEnd();
}

void skipBytes(QDataStream &in, qint64 count)
{
    if (in.status() != QDataStream::Ok)
        return;
    while (count > 0) {
        const int step = int(qMin<qint64>(count, 1 << 20));
        if (in.skipRawData(step) != step) {
            in.setStatus(QDataStream::ReadPastEnd);
            return;
        }
        count -= step;
    }
}

void skipFont(QDataStream &in, int tailSize)
{
    quint32 familyBytes = 0;
    readValue(in, familyBytes);
    if (familyBytes != 0xFFFFFFFF)
        skipBytes(in, familyBytes);
    skipBytes(in, tailSize);
}

int minimumItemSize(int version, int fontTailSize)
{
    int size = DateSize + IntSize + EmptyStringSize + ColorSize;
    if (version == 1)
        size += ColorSize + EmptyStringSize + fontTailSize;
    else if (version >= 2)
        size += DateSize;
    return size;
}

void readItem(QDataStream &in, int version, int fontTailSize, TLItem *item)
{
    qint32 pos = 0;
    readValue(in, item->date);
    readValue(in, pos);
    item->pos = pos;
    readValue(in, item->text);
    readValue(in, item->backgroundColor);
    if (version == 1) {
        QColor textColor;
        readValue(in, textColor);
        skipFont(in, fontTailSize);
    } else if (version >= 2) {
        readValue(in, item->endDate);
    }
}

// Reads everything after a header that has been accepted. A count is never
// used to allocate more than the bytes left can hold, and reading stops at
// the end of the data: an element that began before it is kept. Returns
// whether every element the counts claimed was there.
bool readBody(QDataStream &in, qint64 size, int fontTailSize, TLDocument *doc)
{
    const auto bytesLeft = [&in, size] { return size - in.device()->pos(); };

    qint32 tPos = 0;
    qint32 maxPos = 0;
    readValue(in, doc->start);
    readValue(in, doc->end);
    readValue(in, doc->dayWidth);
    readValue(in, doc->posHeight);
    readValue(in, tPos);
    readValue(in, maxPos);
    doc->tPos = doc->version == 1 ? tPos * 10 : tPos;
    doc->maxPos = maxPos;

    if (doc->hasMarkSwitches()) {
        readValue(in, doc->markEnds);
        readValue(in, doc->markItems);
    }

    bool complete = true;
    if (doc->hasBackground()) {
        qint32 mode = 0;
        quint32 count = 0;
        readValue(in, mode);
        doc->bgMode = mode;
        readValue(in, count);
        doc->bgColors.clear();
        doc->bgColors.reserve(int(qMin<qint64>(count, bytesLeft() / ColorSize)));
        for (quint32 i = 0; i < count && canRead(in); ++i) {
            QColor color;
            readValue(in, color);
            doc->bgColors.append(color);
        }
        complete = complete && quint32(doc->bgColors.size()) == count;
        readValue(in, doc->bgFileName);
    } else {
        doc->bgMode = 3;
        doc->bgColors = { Qt::white, Qt::white, Qt::blue };
        doc->bgFileName = QString();
    }

    doc->displayFlags.clear();
    if (doc->hasDisplayFlags()) {
        quint32 count = 0;
        readValue(in, count);
        doc->displayFlags.reserve(int(qMin<qint64>(count, bytesLeft() / FlagSize)));
        quint32 read = 0;
        for (quint32 i = 0; i < count && canRead(in); ++i) {
            qint32 flag = 0;
            readValue(in, flag);
            doc->displayFlags.insert(flag);
            ++read;
        }
        complete = complete && read == count;
    }

    quint32 count = 0;
    readValue(in, count);
    doc->items.clear();
    const int minimumSize = minimumItemSize(doc->version, fontTailSize);
    doc->items.reserve(int(qMin<qint64>(count, bytesLeft() / minimumSize)));
    for (quint32 i = 0; i < count && canRead(in); ++i) {
        TLItem item;
        readItem(in, doc->version, fontTailSize, &item);
        doc->items.append(item);
    }
    return complete && quint32(doc->items.size()) == count;
}

// Reads the whole of data into doc; true when the data held exactly the
// document, no more and no less.
bool readDocument(const QByteArray &data, int version, int style, int fontTailSize,
                  TLDocument *doc)
{
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_4_6);
    in.skipRawData(version == 4 ? 9 : 5);
    doc->version = version;
    doc->style = style;
    const bool complete = readBody(in, data.size(), fontTailSize, doc);
    return complete && in.status() == QDataStream::Ok && in.atEnd();
}

} // namespace

TLFileResult TLDocument::read(QIODevice *device, TLDocument *document)
{
    if (!device || !device->isReadable())
        return TLFileResult(TLFileResult::OpenFailed, device ? device->errorString() : QString());

    const QByteArray data = device->readAll();
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_4_6);

    quint32 magic = 0;
    quint8 version = 0;
    qint32 style = 1;
    in >> magic >> version;
    if (version == 4)
        in >> style;
    // A header cut short says nothing about the chart it may have been.
    if (magic != Magic || in.status() != QDataStream::Ok)
        return TLFileResult(TLFileResult::NotAChart);
    if (version > CurrentVersion)
        return TLFileResult(TLFileResult::UnsupportedVersion);
    if (style < 1 || style > 3)
        return TLFileResult(TLFileResult::UnknownStyle);

    TLDocument doc;
    const bool exact = readDocument(data, version, style, FontTailSizes[0], &doc);
    if (version == 1 && !exact) {
        for (size_t i = 1; i < std::size(FontTailSizes); ++i) {
            TLDocument other;
            if (readDocument(data, version, style, FontTailSizes[i], &other)) {
                doc = other;
                break;
            }
        }
    }
    *document = doc;
    return TLFileResult();
}

TLFileResult TLDocument::write(QIODevice *device) const
{
    if (!device || !device->isWritable())
        return TLFileResult(TLFileResult::WriteFailed, device ? device->errorString() : QString());

    QDataStream out(device);
    out.setVersion(QDataStream::Qt_4_6);

    out << quint32(Magic) << qint8(CurrentVersion) << qint32(style)
        << start << end << dayWidth << posHeight << qint32(tPos) << qint32(maxPos)
        << qint32(bgMode) << quint32(bgColors.size());
    for (const QColor &color : bgColors)
        out << color;
    out << bgFileName;

    // A set's own order changes from run to run; sorted, equal documents
    // give equal files.
    QList<int> flags = displayFlags.values();
    std::sort(flags.begin(), flags.end());
    out << quint32(flags.size());
    for (int flag : flags)
        out << qint32(flag);

    out << quint32(items.size());
    for (const TLItem &item : items)
        out << item;

    if (out.status() != QDataStream::Ok)
        return TLFileResult(TLFileResult::WriteFailed, device->errorString());
    return TLFileResult();
}
