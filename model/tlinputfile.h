#ifndef TLINPUTFILE_H
#define TLINPUTFILE_H

#include "model/tlfileresult.h"

class QFile;

// Opens a document to be read. A name that leads to a device or a pipe
// would be read without end, or block until something writes to it; only
// regular files are opened.
class TLInputFile
{
public:
    static TLFileResult open(QFile *file);
};

#endif
