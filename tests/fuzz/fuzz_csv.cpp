// libFuzzer target for the table codec: whatever it reads writes a table
// that reads back whole, with the same positions and texts, the same dates
// as far as the date form can name them and the same colours as far as
// "#rrggbb" names them, and that second reading writes the same bytes.

#include "model/tlcsv.h"

#include <QByteArray>
#include <QColor>
#include <QDate>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    fprintf(stderr, "fuzz_csv: %s\n", what);
    abort();
}

bool sameDate(const QDate &read, const QDate &back)
{
    return read == back || (back.isNull() && read.toString(Qt::ISODate).isEmpty());
}

bool sameItem(const TLItem &read, const TLItem &back)
{
    return read.pos == back.pos && read.text == back.text && sameDate(read.date, back.date)
        && sameDate(read.endDate, back.endDate)
        && QColor::fromString(read.backgroundColor.name()) == back.backgroundColor;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<TLItem> read;
    const TLFileResult result = TLCsv::read(input, &read);
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
