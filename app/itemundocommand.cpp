#include "app/itemundocommand.h"

#include "app/zelvaro.h"
#include "model/tlitemmodel.h"

ItemUndoCommand::ItemUndoCommand(Zelvaro *window, int row, const std::optional<TLItem> &before,
                                 const std::optional<TLItem> &after, const QString &text)
    : QUndoCommand(text)
    , window(window)
    , row(row)
    , before(before)
    , after(after)
    , rowsBefore(window->currentChartState().maxPos)
{
}

void ItemUndoCommand::redo()
{
    replace(before, after);
}

void ItemUndoCommand::undo()
{
    replace(after, before);
    window->restoreRows(rowsBefore);
}

// All five columns are written, as any edit of a whole item writes them.
void ItemUndoCommand::replace(const std::optional<TLItem> &from, const std::optional<TLItem> &to)
{
    TLItemModel *model = window->items();
    if (from && !to) {
        model->removeRows(row, 1);
        return;
    }
    if (!from)
        model->insertRows(row, 1);
    if (to)
        TLItemModel::setItem(model, row, *to);
}
