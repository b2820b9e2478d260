// New, Open, Save and Save As, and the native and table readers and writers
// behind them.

#include "app/zelvaro.h"

#include "model/tlcsv.h"
#include "model/tldocument.h"
#include "model/tlitemmodel.h"
#include "view/tlgeometry.h"
#include "view/tline.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <QSlider>
#include <QSpinBox>

#include <cmath>

void Zelvaro::newFile()
{
    if (!settleUnsavedChanges())
        return;
    const int typ = askTimelineTyp();
    if (typ == 0)
        return;

    itemModel->clear();
    fileName.clear();
    createTimeline(typ);
    changeBackground();
    updateDisplayFlags();

    constexpr int newChartDays = 90;
    constexpr int newChartRows = 4;
    const QDate today = QDate::currentDate();
    deStart->setDate(today);
    deEnd->setDate(today.addDays(newChartDays));
    slWidth->setValue(width() / newChartDays * 100);
    slHeight->setValue(height() / 5);
    sMaxPos->setValue(newChartRows);
    slArrow->setValue(0);
    // A control that already showed its value sent nothing to the new chart.
    handControlsToTimeline();
    setWindowModified(false);
}

namespace {

const char *const nativeEnding = ".vrk";
const char *const tableEnding = ".csv";

bool isNativeName(const QString &path)
{
    return path.endsWith(QLatin1String(nativeEnding));
}

bool isTableName(const QString &path)
{
    return path.endsWith(QLatin1String(tableEnding));
}

// A name that leads to a device or a pipe would be read without end, or
// block until something writes to it; only regular files are opened.
TLFileResult openForReading(QFile *file)
{
    const QFileInfo info(file->fileName());
    if (info.exists() && !info.isFile())
        return TLFileResult(TLFileResult::OpenFailed, QCoreApplication::translate("Zelvaro", "Not a regular file"));
    if (!file->open(QIODevice::ReadOnly))
        return TLFileResult(TLFileResult::OpenFailed, file->errorString());
    return TLFileResult();
}

}

void Zelvaro::openFile()
{
    if (!settleUnsavedChanges())
        return;
    const QString path = askOpenFileName(tr("Choose a file"), tr("Timeline (*.vrk);;Tables (*.csv);;All (*.*)"));
    if (path.isEmpty())
        return;
    const TLFileResult result = loadDocument(path);
    if (!result)
        reportFileResult(path, result);
    if (result.hasDocument())
        setCurrentFile(path);
    // What was read of a damaged file is shown under its name, but Save asks
    // for a name, so that the part not read is not overwritten.
    if (!result && result.hasDocument())
        fileName.clear();
}

void Zelvaro::saveFile()
{
    commitOpenEdit();
    save();
}

void Zelvaro::saveFileAs()
{
    commitOpenEdit();
    saveAs();
}

bool Zelvaro::save()
{
    qDebug() << fileName;
    if (!isTableName(fileName) && !isNativeName(fileName))
        return saveAs();
    const TLFileResult result = saveDocument(fileName);
    if (!result) {
        reportFileResult(fileName, result);
        return false;
    }
    setWindowModified(false);
    return true;
}

// The format follows the filter chosen in the dialog, not the ending typed.
bool Zelvaro::saveAs()
{
    QString filter;
    const QString chosen = askSaveFileName(tr("Choose a file"), tr("Timeline (*.vrk);;Tables (*.csv)"), &filter);
    if (chosen.isEmpty())
        return false;
    QString path = chosen;
    if (filter.contains(QLatin1String(tableEnding))) {
        if (!isTableName(path))
            path += QLatin1String(tableEnding);
    } else if (filter.contains(QLatin1String(nativeEnding))) {
        if (!isNativeName(path))
            path += QLatin1String(nativeEnding);
    }
    if (!mayReplace(path, chosen))
        return false;
    const TLFileResult result = saveDocument(path);
    if (!result) {
        reportFileResult(path, result);
        return false;
    }
    setCurrentFile(path);
    setWindowModified(false);
    return true;
}

QString Zelvaro::askOpenFileName(const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileName(this, caption, QDir::currentPath(), filter);
}

QString Zelvaro::askSaveFileName(const QString &caption, const QString &filter, QString *selectedFilter)
{
    return QFileDialog::getSaveFileName(this, caption, QDir::currentPath(), filter, selectedFilter);
}

// Whether the command that asks may go on: nothing unsaved, or saved, or
// the user let it go.
bool Zelvaro::settleUnsavedChanges()
{
    commitOpenEdit();
    if (!isWindowModified())
        return true;
    const QMessageBox::StandardButton answer =
        QMessageBox::question(this, tr("Zelvaro"), tr("The chart has been changed.\nDo you want to save your changes?"),
                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return save();
    return answer == QMessageBox::Discard;
}

// The file dialog asked before replacing the name chosen in it, not the
// one an added ending makes of it.
bool Zelvaro::mayReplace(const QString &path, const QString &chosen)
{
    if (path == chosen || !QFileInfo::exists(path))
        return true;
    return QMessageBox::question(this, tr("Zelvaro"),
                                 tr("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(path)),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

// A cell still being edited in the table belongs to the document that is
// saved or left: its editor writes what it holds now, and stays open.
void Zelvaro::commitOpenEdit()
{
    auto *table = qobject_cast<QAbstractItemView *>(tabDock->widget());
    QWidget *editor = QApplication::focusWidget();
    while (editor && editor->parentWidget() != table->viewport())
        editor = editor->parentWidget();
    if (editor)
        emit table->itemDelegate()->commitData(editor);
}

// A document read in full counts as unchanged; one read in part does not
// match its file, so leaving it asks first.
TLFileResult Zelvaro::loadDocument(const QString &path)
{
    TLFileResult result(TLFileResult::UnknownEnding);
    if (isTableName(path))
        result = loadCsv(path);
    else if (isNativeName(path))
        result = loadNative(path);
    if (result)
        setWindowModified(false);
    return result;
}

TLFileResult Zelvaro::saveDocument(const QString &path)
{
    if (isTableName(path))
        return saveCsv(path);
    if (isNativeName(path))
        return saveNative(path);
    return TLFileResult(TLFileResult::UnknownEnding);
}

void Zelvaro::setCurrentFile(const QString &path)
{
    fileName = path;
    setWindowTitle(tr("Zelvaro - %1").arg(path));
}


void Zelvaro::reportFileResult(const QString &path, const TLFileResult &result)
{
    QString reason;
    switch (result.error()) {
    case TLFileResult::NoError:
        return;
    case TLFileResult::OpenFailed:
        reason = tr("The file cannot be opened: %1").arg(result.detail());
        break;
    case TLFileResult::NotAChart:
        reason = tr("The file is not a timeline chart.");
        break;
    case TLFileResult::UnsupportedVersion:
        reason = tr("The file was written in a newer, unsupported version of the format.");
        break;
    case TLFileResult::UnknownStyle:
        reason = tr("The file asks for a chart style this program does not know.");
        break;
    case TLFileResult::WriteFailed:
        reason = tr("The file cannot be written: %1").arg(result.detail());
        break;
    case TLFileResult::UnknownEnding:
        reason = tr("This is not a timeline or table file: the name must end in .vrk or .csv.");
        break;
    case TLFileResult::Truncated:
        reason = tr("The file ends early; %1 items were read.").arg(result.count());
        break;
    case TLFileResult::StoppedAtLine:
        reason = tr("The table stops at line %1, whose record has fewer than three fields; "
                    "the items before it were read.")
                     .arg(result.count());
        break;
    case TLFileResult::UnknownEncoding:
        reason = tr("The table is in UTF-16 without a byte-order mark; save it as UTF-8 and open it again.");
        break;
    }
    QMessageBox::warning(this, tr("Zelvaro"), tr("%1\n\n%2").arg(QDir::toNativeSeparators(path), reason));
}

TLFileResult Zelvaro::loadNative(const QString &path)
{
    QFile file(path);
    if (const TLFileResult opened = openForReading(&file); !opened)
        return opened;
    TLDocument document;
    const TLFileResult result = TLDocument::read(&file, &document);
    if (!result.hasDocument())
        return result;

    itemModel->clear();
    createTimeline(document.style);

    deStart->setDate(document.start);
    deEnd->setDate(document.end);
    timeline->setRange(document.start, document.end);

    // The nearest hundredth, so that a width saved from the slider comes
    // back to the same slider value and is saved unchanged.
    slWidth->setValue(TLGeometry::truncate(std::round(document.dayWidth * 100)));
    slHeight->setValue(TLGeometry::truncate(document.posHeight));
    timeline->setDayWidth(document.dayWidth);
    timeline->setPosHeight(document.posHeight);

    slArrow->setValue(document.tPos);
    sMaxPos->setValue(document.maxPos);
    timeline->setTPos(document.tPos);
    timeline->setMaxPos(document.maxPos);

    if (document.hasMarkSwitches()) {
        // An older file knows only these two switches; the others stay.
        static_assert(TLDocument::MarkEndsFlag == TLine::MarkEnds && TLDocument::MarkItemsFlag == TLine::MarkItems);
        cbMarkEnds->setCheckState(document.displayFlags.contains(TLine::MarkEnds) ? Qt::Checked : Qt::Unchecked);
        cbMarkItems->setCheckState(document.displayFlags.contains(TLine::MarkItems) ? Qt::Checked : Qt::Unchecked);
        // Boxes that kept their state sent no signal, and the new chart
        // still has the flags it was built with.
        updateDisplayFlags();
    }

    bgMode = document.bgMode;
    bgColors = document.bgColors;
    bgFileName = document.bgFileName;
    handBackgroundToChart();

    if (document.hasDisplayFlags()) {
        setCheckedFlags(document.displayFlags);
        timeline->setDisplayFlags(document.displayFlags);
    }

    loading = true;
    itemModel->appendItems(std::move(document.items));
    loading = false;
    return result;
}

TLFileResult Zelvaro::saveNative(const QString &path)
{
    TLDocument document;
    document.style = timelineTyp;
    document.start = deStart->date();
    document.end = deEnd->date();
    document.dayWidth = slWidth->value() / 100.0;
    document.posHeight = slHeight->value();
    document.tPos = slArrow->value();
    document.maxPos = sMaxPos->value();
    document.bgMode = bgMode;
    document.bgColors = bgColors;
    document.bgFileName = bgFileName;
    document.displayFlags = checkedFlags();
    document.items = modelItems();

    // Written aside and renamed over the old file only when complete; in a
    // folder that takes no new files, a file that may be written is
    // written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return TLFileResult(TLFileResult::OpenFailed, file.errorString());
    const TLFileResult result = document.write(&file);
    if (!result) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return TLFileResult(TLFileResult::WriteFailed, file.errorString());
    return TLFileResult();
}

TLFileResult Zelvaro::loadCsv(const QString &path)
{
    // Raw bytes: the codec tells the encoding and takes either line end.
    QFile file(path);
    if (const TLFileResult opened = openForReading(&file); !opened)
        return opened;
    QList<TLItem> items;
    const TLFileResult result = TLCsv::read(&file, &items);
    if (!result.hasDocument())
        return result;
    // Stopped before its first record, the file is no table at all, and the
    // open chart stays.
    if (result.error() == TLFileResult::StoppedAtLine && items.isEmpty())
        return TLFileResult(TLFileResult::NotAChart);

    QDate start;
    QDate end;
    const bool dated = TLCsv::chartRange(items, &start, &end);
    itemModel->clear();
    itemModel->appendItems(std::move(items));
    if (dated) {
        deStart->setDate(start);
        deEnd->setDate(end);
    }
    return result;
}

TLFileResult Zelvaro::saveCsv(const QString &path)
{
    const QList<TLItem> items = modelItems();
    // Written aside and renamed over the old file only when complete; in a
    // folder that takes no new files, the file itself is written.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return TLFileResult(TLFileResult::OpenFailed, file.errorString());
    const TLFileResult result = TLCsv::write(&file, items);
    if (!result) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return TLFileResult(TLFileResult::WriteFailed, file.errorString());
    return TLFileResult();
}

QList<TLItem> Zelvaro::modelItems() const
{
    QList<TLItem> items;
    const int rows = itemModel->rowCount();
    items.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        TLItem item;
        item.date = itemModel->index(row, TLItem::DateColumn).data().toDate();
        item.pos = itemModel->index(row, TLItem::PosColumn).data().toInt();
        item.text = itemModel->index(row, TLItem::TextColumn).data().toString();
        item.backgroundColor = itemModel->index(row, TLItem::BackgroundColorColumn).data().value<QColor>();
        item.endDate = itemModel->index(row, TLItem::EndDateColumn).data().toDate();
        items.append(item);
    }
    return items;
}

// A table or chart named on the command line replaces the demo but does not
// become the current file; names with other endings are passed over.
void Zelvaro::openCommandLine(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return;
    const QString &path = arguments.at(1);
    if (!isTableName(path) && !isNativeName(path))
        return;
    const TLFileResult result = loadDocument(path);
    if (!result)
        reportFileResult(path, result);
}
