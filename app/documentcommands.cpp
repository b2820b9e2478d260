// New, Open, Save and Save As, and the native and table readers and writers
// behind them.

#include "app/zelvaro.h"

#include "model/tlcsv.h"
#include "model/tldocument.h"
#include "model/tlinputfile.h"
#include "model/tlitemmodel.h"
#include "model/tlsavefile.h"
#include "view/tline.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSlider>
#include <QUndoStack>

#include <algorithm>

void Zelvaro::newFile()
{
    if (!settleUnsavedChanges())
        return;
    const int typ = askTimelineTyp();
    if (typ == 0)
        return;

    undoStack->clear();
    itemModel->clear();
    fileName.clear();

    // Ninety days from today across the window; the switches and the
    // background stay.
    constexpr int newChartDays = 90;
    const QDate today = QDate::currentDate();
    chartState.start = today;
    chartState.end = today.addDays(newChartDays);
    chartState.dayWidth = std::clamp(width() / newChartDays * 100, slWidth->minimum(), slWidth->maximum()) / 100.0;
    chartState.posHeight = std::clamp(height() / 5, slHeight->minimum(), slHeight->maximum());
    chartState.maxPos = 4;
    chartState.tPos = 0;
    createTimeline(typ);
    changeBackground();
    showChartState();
    // The new chart starts a history of its own, its background included.
    undoStack->clear();
    setModifiedMark(false);
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
    undoStack->setClean();
    setModifiedMark(false);
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
    undoStack->setClean();
    setModifiedMark(false);
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
        setModifiedMark(false);
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
    // The title marks unsaved changes with a star.
    setWindowTitle(tr("Zelvaro - %1").arg(path) + QLatin1String("[*]"));
    setModifiedMark(isWindowModified());
}


void Zelvaro::reportFileResult(const QString &path, const TLFileResult &result)
{
    if (!result)
        QMessageBox::warning(this, tr("Zelvaro"), tr("%1\n\n%2").arg(QDir::toNativeSeparators(path), result.reason(path)));
}

TLFileResult Zelvaro::loadNative(const QString &path)
{
    QFile file(path);
    if (const TLFileResult opened = TLInputFile::open(&file); !opened)
        return opened;
    TLDocument document;
    const TLFileResult result = TLDocument::read(&file, &document);
    if (!result.hasDocument())
        return result;

    // Nothing takes back an open.
    undoStack->clear();
    itemModel->clear();
    chartState = document.settingsOver(chartState);
    createTimeline(chartState.style);
    showChartState();
    itemModel->appendItems(std::move(document.items));
    return result;
}

TLFileResult Zelvaro::saveNative(const QString &path)
{
    TLDocument document;
    static_cast<TLChartState &>(document) = chartState;
    document.items = modelItems();
    return TLSaveFile::write(path, [&document](QIODevice *device) { return document.write(device); });
}

TLFileResult Zelvaro::loadCsv(const QString &path)
{
    // Raw bytes: the codec tells the encoding and takes either line end.
    QFile file(path);
    if (const TLFileResult opened = TLInputFile::open(&file); !opened)
        return opened;
    QList<TLItem> items;
    // Not a table, the open chart stays.
    const TLFileResult result = TLCsv::readDocument(&file, &items);
    if (!result.hasDocument())
        return result;

    undoStack->clear();
    itemModel->clear();
    // A table holds items only: its chart shows them all, with the other
    // settings as they were.
    if (TLCsv::chartRange(items, &chartState.start, &chartState.end)) {
        timeline->setState(chartState);
        showChartState();
        markModified();
    }
    itemModel->appendItems(std::move(items));
    return result;
}

TLFileResult Zelvaro::saveCsv(const QString &path)
{
    const QList<TLItem> items = modelItems();
    return TLSaveFile::write(
        path, [&items](QIODevice *device) { return TLCsv::write(device, items); },
        QIODevice::WriteOnly | QIODevice::Text);
}

QList<TLItem> Zelvaro::modelItems() const
{
    QList<TLItem> items;
    const int rows = itemModel->rowCount();
    items.reserve(rows);
    for (int row = 0; row < rows; ++row)
        items.append(TLItemModel::item(itemModel, row));
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
