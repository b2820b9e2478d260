#ifndef ITEMUNDOCOMMAND_H
#define ITEMUNDOCOMMAND_H

#include "model/tlitem.h"

#include <QUndoCommand>

#include <optional>

class Zelvaro;

// An item added, replaced or taken away, as one step of the history. The
// rows the chart had before come back with an undo, as an item placed below
// the last row adds rows down to its own.
class ItemUndoCommand : public QUndoCommand
{
public:
    // before is the item at row, none for an item added there; after is the
    // item it becomes, none for an item taken away.
    ItemUndoCommand(Zelvaro *window, int row, const std::optional<TLItem> &before, const std::optional<TLItem> &after,
                    const QString &text);

    void redo() override;
    void undo() override;

private:
    void replace(const std::optional<TLItem> &from, const std::optional<TLItem> &to);

    Zelvaro *window;
    int row;
    std::optional<TLItem> before;
    std::optional<TLItem> after;
    int rowsBefore;
};

#endif
