#ifndef CHARTSTATEUNDOCOMMAND_H
#define CHARTSTATEUNDOCOMMAND_H

#include "model/tlchartstate.h"

#include <QElapsedTimer>
#include <QUndoCommand>

class Zelvaro;

// A change of the chart's settings, as one step of the history. Changes of
// one control that follow one another within a moment, as a slider's drag,
// a run of steps or a held arrow makes them, merge into one step.
class ChartStateUndoCommand : public QUndoCommand
{
public:
    // What changed: the changes of a control merge, the others do not.
    enum Change { Start = 1, End, DayWidth, RowHeight, Rows, Arrow, Other = -1 };

    ChartStateUndoCommand(Zelvaro *window, const TLChartState &after, Change change, const QString &text);

    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

private:
    Zelvaro *window;
    TLChartState before;
    TLChartState after;
    Change change;
    QElapsedTimer lastChange;
};

#endif
