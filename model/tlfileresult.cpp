#include "model/tlfileresult.h"

#include "model/tldatetext.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>

// The texts are the window's, in its translation context.
QString TLFileResult::reason(const QString &path) const
{
    QString reason;
    switch (err) {
    case TLFileResult::NoError:
        break;
    case TLFileResult::OpenFailed:
        reason = QCoreApplication::translate("Zelvaro", "The file cannot be opened: %1").arg(detail());
        break;
    case TLFileResult::NotAChart:
        reason = QCoreApplication::translate("Zelvaro", "The file is not a timeline chart.");
        break;
    case TLFileResult::UnsupportedVersion:
        reason = QCoreApplication::translate("Zelvaro", "The file was written in a newer, unsupported version of the format.");
        break;
    case TLFileResult::UnknownStyle:
        reason = QCoreApplication::translate("Zelvaro", "The file asks for a chart style this program does not know.");
        break;
    case TLFileResult::WriteFailed:
        reason = QCoreApplication::translate("Zelvaro", "The file cannot be written: %1").arg(detail());
        break;
    case TLFileResult::FolderNotWritable:
        reason = QCoreApplication::translate("Zelvaro", "The folder %1 takes no new file (%2). A save writes the new file beside the old one and "
                    "replaces the old one only when it is complete, so the file was left as it was. Save it "
                    "in another folder.")
                     .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()), detail());
        break;
    case TLFileResult::UnknownEnding:
        reason = QCoreApplication::translate("Zelvaro", "This is not a timeline or table file: the name must end in .vrk or .csv.");
        break;
    case TLFileResult::DateNotStorable:
        reason = QCoreApplication::translate("Zelvaro", "The chart format holds dates from 25 November 4714 BC on, but not %1. "
                    "Save the chart as a table (.csv) to keep it.")
                     .arg(TLDateText::format(QDate::fromJulianDay(count()), QStringLiteral("d MMMM yyyy")));
        break;
    case TLFileResult::Truncated:
        reason = QCoreApplication::translate("Zelvaro", "The file ends early; %1 items were read.").arg(count());
        break;
    case TLFileResult::StoppedAtLine:
        reason = QCoreApplication::translate("Zelvaro", "The table stops at line %1, whose record has fewer than three fields; "
                    "the items before it were read.")
                     .arg(count());
        break;
    case TLFileResult::UnknownEncoding:
        reason = QCoreApplication::translate("Zelvaro", "The table is in UTF-16 without a byte-order mark; save it as UTF-8 and open it again.");
        break;
    }
    return reason;
}
