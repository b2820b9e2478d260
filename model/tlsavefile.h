#ifndef TLSAVEFILE_H
#define TLSAVEFILE_H

#include "model/tlfileresult.h"

#include <QIODevice>

#include <functional>

class QImage;
class QString;

// Saves a file safely: the content is written into a new file beside the
// old one, which it replaces only once it is complete. A save that fails
// half-way, or is killed, leaves the old file as it was; where the folder
// takes no new file the save is refused, never written over the old file
// in place.
class TLSaveFile
{
public:
    using Writer = std::function<TLFileResult(QIODevice *device)>;

    static TLFileResult write(const QString &path, const Writer &writer,
                              QIODevice::OpenMode mode = QIODevice::WriteOnly);

    // The image as a PNG file.
    static TLFileResult writePng(const QString &path, const QImage &image);
};

#endif
