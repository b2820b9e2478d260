#include "model/tldocument.h"

#include "model/tldaterange.h"

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <climits>
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

void readValue(QDataStream &in, QColor &color)
{
    color = QColor();
    if (in.status() == QDataStream::Ok)
        color = TLItem::readColor(in);
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

// How far a body read got: every element the counts claimed was there
// (complete), and nothing followed the last one (exact).
struct BodyRead
{
    bool complete = false;
    bool exact = false;
};

qint64 bytesLeft(const QIODevice *device)
{
    return device->isSequential() ? device->bytesAvailable() : device->size() - device->pos();
}

// Reads everything after a header that has been accepted, straight from the
// device. A count is never used to allocate more than the bytes left can
// hold, and reading stops at the end of the data: an element that began
// before it is kept.
BodyRead readBody(QIODevice *device, int fontTailSize, TLDocument *doc)
{
    QDataStream in(device);
    in.setVersion(QDataStream::Qt_4_6);

    qint32 tPos = 0;
    qint32 maxPos = 0;
    readValue(in, doc->start);
    readValue(in, doc->end);
    readValue(in, doc->dayWidth);
    readValue(in, doc->posHeight);
    readValue(in, tPos);
    readValue(in, maxPos);
    // Version 1 counted the arrow in whole rows; a stored count beyond what
    // tenths can hold stays at the largest one.
    doc->tPos = doc->version == 1 ? int(std::clamp<qint64>(qint64(tPos) * 10, INT_MIN, INT_MAX)) : tPos;
    doc->maxPos = maxPos;

    doc->displayFlags.clear();
    if (doc->hasMarkSwitches()) {
        bool markEnds = false;
        bool markItems = false;
        readValue(in, markEnds);
        readValue(in, markItems);
        if (markEnds)
            doc->displayFlags.insert(TLDocument::MarkEnds);
        if (markItems)
            doc->displayFlags.insert(TLDocument::MarkItems);
    }

    bool complete = true;
    if (doc->hasBackground()) {
        qint32 mode = 0;
        quint32 count = 0;
        readValue(in, mode);
        doc->bgMode = mode;
        readValue(in, count);
        doc->bgColors.clear();
        doc->bgColors.reserve(qMin<qint64>(count, bytesLeft(device) / ColorSize));
        for (quint32 i = 0; i < count && canRead(in); ++i) {
            QColor color;
            readValue(in, color);
            doc->bgColors.append(color);
        }
        complete = complete && quint32(doc->bgColors.size()) == count;
        readValue(in, doc->bgFileName);
    }

    if (doc->hasDisplayFlags()) {
        quint32 count = 0;
        readValue(in, count);
        doc->displayFlags.reserve(qMin<qint64>(count, bytesLeft(device) / FlagSize));
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
    doc->items.reserve(qMin<qint64>(count, bytesLeft(device) / minimumSize));
    for (quint32 i = 0; i < count && canRead(in); ++i) {
        TLItem item;
        readItem(in, doc->version, fontTailSize, &item);
        // The stream leaves room to grow in each label; a large document
        // keeps only its characters, item by item, so that reading never
        // holds the spare room of all of them at once.
        item.text.squeeze();
        doc->items.append(std::move(item));
    }

    BodyRead result;
    result.complete = complete && quint32(doc->items.size()) == count && in.status() == QDataStream::Ok;
    result.exact = result.complete && in.atEnd();
    return result;
}

// Version 1 items hold a font whose form the file does not name: the body
// is read in each form, from the same place, until one fits the file
// exactly; if none does, the first form's reading stands. A device that
// cannot seek back is read into memory first.
BodyRead readVersion1Body(QIODevice *device, TLDocument *doc)
{
    QBuffer buffer;
    if (device->isSequential()) {
        buffer.setData(device->readAll());
        buffer.open(QIODevice::ReadOnly);
        device = &buffer;
    }
    const qint64 start = device->pos();
    const TLDocument header = *doc;
    BodyRead first = readBody(device, FontTailSizes[0], doc);
    for (size_t i = 1; i < std::size(FontTailSizes) && !first.exact; ++i) {
        TLDocument other = header;
        if (!device->seek(start))
            break;
        const BodyRead read = readBody(device, FontTailSizes[i], &other);
        if (read.exact) {
            *doc = other;
            return read;
        }
    }
    return first;
}

} // namespace

TLFileResult TLDocument::read(QIODevice *device, TLDocument *document)
{
    if (!device || !device->isReadable())
        return TLFileResult(TLFileResult::OpenFailed, device ? device->errorString() : QString());

    // The header comes straight from the device, so that whatever is not a
    // chart is refused after its first bytes, however large or endless.
    quint32 magic = 0;
    quint8 version = 0;
    qint32 style = 1;
    {
        QDataStream in(device);
        in.setVersion(QDataStream::Qt_4_6);
        in >> magic;
        if (magic != Magic || in.status() != QDataStream::Ok)
            return TLFileResult(TLFileResult::NotAChart);
        in >> version;
        if (version == 4)
            in >> style;
        // A header cut short says nothing about the chart it may have been.
        if (in.status() != QDataStream::Ok)
            return TLFileResult(TLFileResult::NotAChart);
    }
    if (version > CurrentVersion)
        return TLFileResult(TLFileResult::UnsupportedVersion);
    if (style < 1 || style > 3)
        return TLFileResult(TLFileResult::UnknownStyle);

    TLDocument doc;
    doc.version = version;
    doc.style = style;
    const BodyRead read = version == 1 ? readVersion1Body(device, &doc) : readBody(device, 0, &doc);
    *document = std::move(doc);
    if (!read.complete)
        return TLFileResult(TLFileResult::Truncated, QString(), document->items.size());
    return TLFileResult();
}

TLChartState TLDocument::settingsOver(const TLChartState &shown) const
{
    TLChartState settings = *this;
    if (hasMarkSwitches()) {
        const QSet<int> stored = { MarkEnds, MarkItems };
        settings.displayFlags = (shown.displayFlags - stored) | displayFlags;
    }
    return settings;
}

TLFileResult TLDocument::write(QIODevice *device) const
{
    if (!device || !device->isWritable())
        return TLFileResult(TLFileResult::WriteFailed, device ? device->errorString() : QString());
    // A day the format cannot hold would come back as another.
    const auto unstorable = [](const QDate &date) {
        return TLFileResult(TLFileResult::DateNotStorable, QString(), date.toJulianDay());
    };
    for (const QDate &date : { start, end }) {
        if (!TLDateRange::isStorable(date))
            return unstorable(date);
    }
    for (const TLItem &item : items) {
        for (const QDate &date : { item.date, item.endDate }) {
            if (!TLDateRange::isStorable(date))
                return unstorable(date);
        }
    }

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
