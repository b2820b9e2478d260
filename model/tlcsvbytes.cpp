#include "model/tlcsvbytes.h"

#include "model/tlcsvsyntax.h"
#include "model/tlutf8check.h"

#include <QIODevice>

#include <cstring>

bool TLCsvBytes::more(qsizetype from)
{
    const qsizetype kept = bytes.size() - from;
    std::memmove(bytes.data(), bytes.constData() + from, size_t(kept));
    base += from;
    const qsizetype wanted = qMax(TLCsvSyntax::SliceSize, kept);
    bytes.resize(kept + wanted);
    qsizetype got = 0;
    while (got < wanted) {
        const qint64 read = device->read(bytes.data() + kept + got, wanted - got);
        if (read < 0)
            return false;
        if (read == 0)
            break;
        got += read;
    }
    bytes.resize(kept + got);
    if (check)
        check->add(QByteArrayView(bytes.constData() + kept, got));
    whole = got < wanted || device->atEnd();
    return true;
}
