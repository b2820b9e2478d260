#include "model/tldocument.h"

#include <QIODevice>

TLFileResult TLDocument::read(QIODevice *, TLDocument *)
{
    return TLFileResult(TLFileResult::NotAChart);
}

TLFileResult TLDocument::write(QIODevice *) const
{
    return TLFileResult(TLFileResult::WriteFailed);
}
