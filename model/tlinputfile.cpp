#include "model/tlinputfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

TLFileResult TLInputFile::open(QFile *file)
{
    const QFileInfo info(file->fileName());
    if (info.exists() && !info.isFile())
        return TLFileResult(TLFileResult::OpenFailed, QCoreApplication::translate("Zelvaro", "Not a regular file"));
    if (!file->open(QIODevice::ReadOnly))
        return TLFileResult(TLFileResult::OpenFailed, file->errorString());
    return TLFileResult();
}
