#ifndef TLITEMMODEL_H
#define TLITEMMODEL_H

#include <QAbstractTableModel>
#include <QList>

#include "model/tlitem.h"

// The one holder of a chart's items: a row per item, a column per field.
// Rows keep their insertion order; nothing ever sorts them.
class TLItemModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TLItemModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void clear();

    // An item read from any model of the item columns, and written into one
    // column by column, as the table's own edits reach it.
    static TLItem item(const QAbstractItemModel *model, int row);
    static void setItem(QAbstractItemModel *model, int row, const TLItem &item);
    // Appends whole records as one insertion: a document's items arrive
    // with one rowsInserted and at most one maxposChanged, not a
    // notification per field.
    void appendItems(QList<TLItem> records);

signals:
    // The number of row positions needed to show every position set so far.
    void maxposChanged(int m);

private:
    bool isValidRow(const QModelIndex &index) const;
    void raiseHighestPos(int pos);

    QList<TLItem> items;
    int highestPos = 0;
};

#endif
