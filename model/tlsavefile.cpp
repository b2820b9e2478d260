#include "model/tlsavefile.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <QString>

TLFileResult TLSaveFile::write(const QString &path, const Writer &writer, QIODevice::OpenMode mode)
{
    QSaveFile file(path);
    if (!file.open(mode)) {
        // The new file is made in the folder of the old one, so an existing
        // folder that refuses it is what stopped the save.
        const bool folderExists = QFileInfo(QFileInfo(path).absolutePath()).isDir();
        return TLFileResult(folderExists ? TLFileResult::FolderNotWritable : TLFileResult::OpenFailed,
                            file.errorString());
    }
    const TLFileResult result = writer(&file);
    if (!result) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return TLFileResult(TLFileResult::WriteFailed, file.errorString());
    return TLFileResult();
}

TLFileResult TLSaveFile::writePng(const QString &path, const QImage &image)
{
    return write(path, [&image](QIODevice *device) {
        QImageWriter writer(device, "PNG");
        return writer.write(image) ? TLFileResult() : TLFileResult(TLFileResult::WriteFailed, writer.errorString());
    });
}
