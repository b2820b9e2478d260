#ifndef TLUTF8CHECK_H
#define TLUTF8CHECK_H

#include <QByteArray>
#include <QByteArrayView>
#include <QStringDecoder>

#include <vector>

// Whether bytes that arrive in pieces are UTF-8 as a whole, checked piece
// by piece: a character cut off at a piece's end waits for the next.
class TLUtf8Check
{
public:
    void add(QByteArrayView piece);

    bool isUtf8();

private:
    static bool isContinuation(char c) { return (uchar(c) & 0xC0) == 0x80; }

    void check(QByteArrayView bytes);

    // Stateless, so that a sequence cut off at the very end counts as an
    // error instead of waiting for more bytes.
    QStringDecoder decoder { QStringDecoder::Utf8, QStringDecoder::Flag::Stateless };
    std::vector<QChar> buffer;
    QByteArray pending;
};

#endif
