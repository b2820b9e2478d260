#include "app/cellundocommand.h"

#include "app/zelvaro.h"
#include "model/tlitemmodel.h"

CellUndoCommand::CellUndoCommand(Zelvaro *window, int row, int column, const QVariant &after, const QString &text)
    : QUndoCommand(text)
    , window(window)
    , row(row)
    , column(column)
    , before(window->items()->index(row, column).data(Qt::EditRole))
    , after(after)
    , rowsBefore(window->currentChartState().maxPos)
{
}

void CellUndoCommand::redo()
{
    TLItemModel *model = window->items();
    model->setData(model->index(row, column), after, Qt::EditRole);
}

void CellUndoCommand::undo()
{
    TLItemModel *model = window->items();
    model->setData(model->index(row, column), before, Qt::EditRole);
    window->restoreRows(rowsBefore);
}
