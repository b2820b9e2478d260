// Adding, editing and deleting items.

#include "app/zelvaro.h"

#include "app/itemundocommand.h"
#include "dialogs/tlitemdialog.h"
#include "model/tlitemmodel.h"

#include <QMessageBox>
#include <QUndoStack>

namespace {

TLItem itemOf(const TLItemDialog &dialog)
{
    return { dialog.itemDate(), dialog.itemPos(), dialog.itemText(), dialog.itemBackgroundColor(),
             dialog.itemEndDate() };
}

}

void Zelvaro::newItem()
{
    TLItemDialog dialog(this);
    dialog.setBackgroundColor(Qt::white);
    if (dialog.exec() != QDialog::Accepted)
        return;
    undoStack->push(new ItemUndoCommand(this, itemModel->rowCount(), std::nullopt, itemOf(dialog), tr("New Item")));
}

void Zelvaro::itemClicked(int row)
{
    TLItemDialog dialog(this);
    const TLItem item = TLItemModel::item(itemModel, row);
    dialog.setDate(item.date);
    dialog.setPos(item.pos);
    dialog.setText(item.text);
    dialog.setBackgroundColor(item.backgroundColor);
    dialog.setEnd(item.endDate);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TLItem edited = itemOf(dialog);
    if (edited != item)
        undoStack->push(new ItemUndoCommand(this, row, item, edited, tr("Edit Item")));
}

void Zelvaro::itemDelete(int row)
{
    const QMessageBox::StandardButton answer
        = QMessageBox::warning(this, tr("Zelvaro"), tr("do you real want to delete this item permanently?"),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        undoStack->push(new ItemUndoCommand(this, row, TLItemModel::item(itemModel, row), std::nullopt,
                                            tr("Delete Item")));
}
