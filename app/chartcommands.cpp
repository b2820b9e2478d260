// The chart's background menu, the background dialog and the change of
// chart style.

#include "app/zelvaro.h"

#include "dialogs/bgdialog.h"
#include "view/tline.h"

#include <QBrush>
#include <QCursor>
#include <QDateEdit>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QPixmap>
#include <QSlider>
#include <QSpinBox>

void Zelvaro::showBackgroundMenu()
{
    QMenu menu;
    menu.addAction(newItemAct);
    menu.addSeparator();
    menu.addAction(changeBackgroundAct);
    menu.addAction(changeTypAct);
    menu.exec(QCursor::pos());
}

void Zelvaro::changeBackground()
{
    BGDialog dialog(this);
    if (bgColors.size() > 2)
        dialog.setColors(bgColors.at(0), bgColors.at(1), bgColors.at(2));
    dialog.setMode(bgMode);
    dialog.setFileName(bgFileName);

    if (dialog.exec() == QDialog::Accepted) {
        const int mode = dialog.mode();
        const QList<QColor> colors = dialog.colors();
        const QString file = dialog.fileName();
        if (mode != bgMode || colors != bgColors || file != bgFileName)
            markModified();
        bgMode = mode;
        bgColors = colors;
        bgFileName = file;
    }
    handBackgroundToChart();
}

void Zelvaro::changeTimelineTyp()
{
    const int typ = askTimelineTyp();
    if (typ == 0)
        return;
    if (typ != timelineTyp)
        markModified();
    createTimeline(typ);

    handBackgroundToChart();
    handControlsToTimeline();
    updateDisplayFlags();
}

// The view parameters as the controls show them. A new chart learns a
// control's value from its signal only when the value changes, so every
// command that makes one hands them all over.
void Zelvaro::handControlsToTimeline()
{
    timeline->setStart(deStart->date());
    timeline->setEnd(deEnd->date());
    timeline->setMaxPos(sMaxPos->value());
    timeline->setTPos(slArrow->value());
    timeline->setDayWidth(slWidth->value());
    timeline->setPosHeight(slHeight->value());
}

// The style number the user picks, or 0 when the question is cancelled.
int Zelvaro::askTimelineTyp()
{
    const QStringList typs = { tr("Typ 1"), tr("Typ 2"), tr("Typ 3") };
    bool ok = false;
    const QString typ = QInputDialog::getItem(this, tr(""), tr(""), typs, 0, false, &ok);
    return ok ? typs.indexOf(typ) + 1 : 0;
}

// The colours, then the image, then the mode, so that the mode finds the
// image it is to show already in place.
void Zelvaro::handBackgroundToChart()
{
    timeline->setBgColors(bgColors);
    if (bgMode == TLine::ImageBackground) {
        // A document from elsewhere may name a pipe, whose opening would
        // wait for a writer forever; only a file is read.
        const bool isFile = QFileInfo(bgFileName).isFile();
        timeline->setBg(QBrush(isFile ? QPixmap(bgFileName) : QPixmap()));
    }
    timeline->setBgMode(bgMode);
}
