// New, Open, Save and Save As, and the native and table readers and writers
// behind them.

#include "app/zelvaro.h"

#include "model/tldocument.h"
#include "model/tlitemmodel.h"
#include "view/tlgeometry.h"
#include "view/tline.h"

#include <QBrush>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QPixmap>
#include <QSaveFile>
#include <QSlider>
#include <QSpinBox>

void Zelvaro::newFile()
{
}

void Zelvaro::openFile()
{
}

void Zelvaro::saveFile()
{
}

void Zelvaro::saveFileAs()
{
}

TLFileResult Zelvaro::loadNative(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TLFileResult(TLFileResult::OpenFailed, file.errorString());
    TLDocument document;
    const TLFileResult result = TLDocument::read(&file, &document);
    if (!result)
        return result;

    itemModel->clear();
    createTimeline(document.style);

    deStart->setDate(document.start);
    deEnd->setDate(document.end);
    timeline->setRange(document.start, document.end);

    slWidth->setValue(TLGeometry::truncate(document.dayWidth * 100));
    slHeight->setValue(TLGeometry::truncate(document.posHeight));
    timeline->setDayWidth(document.dayWidth);
    timeline->setPosHeight(document.posHeight);

    slArrow->setValue(document.tPos);
    sMaxPos->setValue(document.maxPos);
    timeline->setTPos(document.tPos);
    timeline->setMaxPos(document.maxPos);

    if (document.hasMarkSwitches()) {
        cbMarkEnds->setCheckState(document.markEnds ? Qt::Checked : Qt::Unchecked);
        cbMarkItems->setCheckState(document.markItems ? Qt::Checked : Qt::Unchecked);
        // Boxes that kept their state sent no signal, and the new chart
        // still has the flags it was built with.
        updateDisplayFlags();
    }

    bgMode = document.bgMode;
    bgColors = document.bgColors;
    bgFileName = document.bgFileName;
    timeline->setBgColors(bgColors);
    if (bgMode == TLine::ImageBackground)
        timeline->setBg(QBrush(QPixmap(bgFileName)));
    timeline->setBgMode(bgMode);

    if (document.hasDisplayFlags()) {
        setCheckedFlags(document.displayFlags);
        timeline->setDisplayFlags(document.displayFlags);
    }

    loading = true;
    const int count = document.items.size();
    if (count > 0)
        itemModel->insertRows(0, count);
    for (int row = 0; row < count; ++row) {
        const TLItem &item = document.items.at(row);
        itemModel->setData(itemModel->index(row, TLItem::DateColumn), item.date);
        itemModel->setData(itemModel->index(row, TLItem::PosColumn), item.pos);
        itemModel->setData(itemModel->index(row, TLItem::TextColumn), item.text);
        itemModel->setData(itemModel->index(row, TLItem::BackgroundColorColumn), item.backgroundColor);
        if (document.version >= 2)
            itemModel->setData(itemModel->index(row, TLItem::EndDateColumn), item.endDate);
    }
    loading = false;
    return TLFileResult();
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
    const int rows = itemModel->rowCount();
    document.items.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        TLItem item;
        item.date = itemModel->index(row, TLItem::DateColumn).data().toDate();
        item.pos = itemModel->index(row, TLItem::PosColumn).data().toInt();
        item.text = itemModel->index(row, TLItem::TextColumn).data().toString();
        item.backgroundColor = itemModel->index(row, TLItem::BackgroundColorColumn).data().value<QColor>();
        item.endDate = itemModel->index(row, TLItem::EndDateColumn).data().toDate();
        document.items.append(item);
    }

    // Written aside and renamed over the old file only when complete.
    QSaveFile file(path);
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

void Zelvaro::loadCsv(const QString &)
{
}

void Zelvaro::saveCsv(const QString &)
{
}

void Zelvaro::openCommandLine(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return;
    const QString &path = arguments.at(1);
    if (path.endsWith(QLatin1String(".csv")))
        loadCsv(path);
    if (path.endsWith(QLatin1String(".vrk")))
        loadNative(path);
}
