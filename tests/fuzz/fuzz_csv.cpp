// libFuzzer target for the table codec: whatever it reads writes a table
// that reads back whole, with the same positions, texts and dates and the
// same colours as far as "#rrggbb" names them, and that second reading
// writes the same bytes. Only a table in an encoding it cannot tell may
// give no items.

#include "model/tlcsv.h"

#include <QByteArray>
#include <QColor>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    fprintf(stderr, "fuzz_csv: %s\n", what);
    abort();
}

bool sameItem(const TLItem &read, const TLItem &back)
{
    return read.pos == back.pos && read.text == back.text && read.date == back.date && read.endDate == back.endDate
        && QColor::fromString(read.backgroundColor.name()) == back.backgroundColor;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<TLItem> read;
    const TLFileResult result = TLCsv::read(input, &read);
    if (result.error() == TLFileResult::UnknownEncoding) {
        if (!read.isEmpty())
            fail("a table in an unknown encoding gives items");
        return 0;
    }
    if (!result.hasDocument())
        fail("a table read gives no items");

    const QByteArray written = TLCsv::write(read);
    QList<TLItem> back;
    if (!TLCsv::read(written, &back))
        fail("a written table does not read back whole");
    if (back.size() != read.size())
        fail("a written table reads back a different number of items");
    for (qsizetype i = 0; i < read.size(); ++i) {
        if (!sameItem(read.at(i), back.at(i)))
            fail("a written table reads back a different item");
    }
    if (TLCsv::write(back) != written)
        fail("a table read back writes different bytes");
    return 0;
}
