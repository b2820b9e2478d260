// The chart's background menu, the background dialog and the change of
// chart style.

#include "app/zelvaro.h"

#include "app/chartstateundocommand.h"
#include "dialogs/bgdialog.h"
#include "view/tline.h"

#include <QCursor>
#include <QInputDialog>
#include <QMenu>

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
    const QList<QColor> &colors = chartState.bgColors;
    if (colors.size() > 2)
        dialog.setColors(colors.at(0), colors.at(1), colors.at(2));
    dialog.setMode(chartState.bgMode);
    dialog.setFileName(chartState.bgFileName);

    if (dialog.exec() == QDialog::Accepted) {
        TLChartState chosen = chartState;
        chosen.bgMode = dialog.mode();
        chosen.bgColors = dialog.colors();
        chosen.bgFileName = dialog.fileName();
        changeChartState(chosen, ChartStateUndoCommand::Other, tr("Change Background"));
    }
}

void Zelvaro::changeTimelineTyp()
{
    const int typ = askTimelineTyp();
    if (typ == 0)
        return;
    if (typ == chartState.style) {
        createTimeline(typ);
        return;
    }
    TLChartState restyled = chartState;
    restyled.style = typ;
    changeChartState(restyled, ChartStateUndoCommand::Other, tr("Change Typ"));
}

// The style number the user picks, or 0 when the question is cancelled.
int Zelvaro::askTimelineTyp()
{
    const QStringList typs = { tr("Typ 1"), tr("Typ 2"), tr("Typ 3") };
    bool ok = false;
    const QString typ = QInputDialog::getItem(this, tr(""), tr(""), typs, 0, false, &ok);
    return ok ? typs.indexOf(typ) + 1 : 0;
}
