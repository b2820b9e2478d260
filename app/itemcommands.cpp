// Adding, editing and deleting items.

#include "app/zelvaro.h"

#include "dialogs/tlitemdialog.h"
#include "model/tlitemmodel.h"

#include <QMessageBox>

namespace {

void writeItem(TLItemModel *model, int row, const TLItemDialog &dialog)
{
    model->setData(model->index(row, TLItem::DateColumn), dialog.itemDate());
    model->setData(model->index(row, TLItem::PosColumn), dialog.itemPos());
    model->setData(model->index(row, TLItem::TextColumn), dialog.itemText());
    model->setData(model->index(row, TLItem::BackgroundColorColumn), dialog.itemBackgroundColor());
    model->setData(model->index(row, TLItem::EndDateColumn), dialog.itemEndDate());
}

}

void Zelvaro::newItem()
{
    TLItemDialog dialog(this);
    dialog.setBackgroundColor(Qt::white);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int row = itemModel->rowCount();
    itemModel->insertRows(row, 1);
    writeItem(itemModel, row, dialog);
}

void Zelvaro::itemClicked(int row)
{
    TLItemDialog dialog(this);
    auto cell = [this, row](int column) { return itemModel->index(row, column).data(Qt::DisplayRole); };
    dialog.setDate(cell(TLItem::DateColumn).toDate());
    dialog.setPos(cell(TLItem::PosColumn).toInt());
    dialog.setText(cell(TLItem::TextColumn).toString());
    dialog.setBackgroundColor(cell(TLItem::BackgroundColorColumn).value<QColor>());
    dialog.setEnd(cell(TLItem::EndDateColumn).toDate());
    if (dialog.exec() == QDialog::Accepted)
        writeItem(itemModel, row, dialog);
}

void Zelvaro::itemDelete(int row)
{
    const QMessageBox::StandardButton answer
        = QMessageBox::warning(this, tr("Zelvaro"), tr("do you real want to delete this item permanently?"),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        itemModel->removeRows(row, 1);
}
