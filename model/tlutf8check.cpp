#include "model/tlutf8check.h"

void TLUtf8Check::add(QByteArrayView piece)
{
    qsizetype continuing = 0;
    while (continuing < piece.size() && continuing < 3 && isContinuation(piece.at(continuing)))
        ++continuing;
    if (!pending.isEmpty() || continuing > 0) {
        pending.append(piece.first(continuing));
        if (continuing == piece.size() && continuing < 3)
            return;
        check(pending);
        pending.clear();
        piece = piece.sliced(continuing);
    }
    qsizetype last = piece.size() - 1;
    while (last > 0 && last > piece.size() - 4 && isContinuation(piece.at(last)))
        --last;
    if (last >= 0 && uchar(piece.at(last)) >= 0x80) {
        pending = piece.sliced(last).toByteArray();
        piece = piece.first(last);
    }
    check(piece);
}

bool TLUtf8Check::isUtf8()
{
    check(pending);
    pending.clear();
    return !decoder.hasError();
}

void TLUtf8Check::check(QByteArrayView bytes)
{
    if (bytes.isEmpty() || decoder.hasError())
        return;
    buffer.resize(decoder.requiredSpace(bytes.size()));
    decoder.appendToBuffer(buffer.data(), bytes);
}
