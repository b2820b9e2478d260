#include "app/chartstateundocommand.h"

#include "app/zelvaro.h"

namespace {

// Longer than the pause between two steps of a held arrow or a drag.
const qint64 mergeWithinMs = 1000;

}

ChartStateUndoCommand::ChartStateUndoCommand(Zelvaro *window, const TLChartState &after, Change change,
                                             const QString &text)
    : QUndoCommand(text)
    , window(window)
    , before(window->currentChartState())
    , after(after)
    , change(change)
{
    lastChange.start();
}

void ChartStateUndoCommand::redo()
{
    window->applyChartState(after);
}

void ChartStateUndoCommand::undo()
{
    window->applyChartState(before);
}

int ChartStateUndoCommand::id() const
{
    return change;
}

bool ChartStateUndoCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const ChartStateUndoCommand *>(other);
    if (lastChange.elapsed() > mergeWithinMs)
        return false;
    after = next->after;
    lastChange.restart();
    setObsolete(before == after);
    return true;
}
