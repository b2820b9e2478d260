#ifndef TLITEMTABLEPROXY_H
#define TLITEMTABLEPROXY_H

#include <QAbstractTableModel>
#include <QPointer>

// The item model as the item table shows it: every cell passes through
// untouched, and the column headers, which the model keeps in their fixed
// form, are shown in the user's language. Every change of the model is
// passed on as it comes, row for row: Qt's own proxy models tell a view of
// new vertical titles before they tell it of the rows they belong to, and a
// table view then counts the new rows twice.
//
// An edit made in the table is not written here: it is asked for, so that
// whoever keeps the document's history writes it as a step of its own.
class TLItemTableProxy : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TLItemTableProxy(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *model);
    QAbstractItemModel *sourceModel() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void cellEditRequested(int row, int column, const QVariant &value);

private:
    QModelIndex toSource(const QModelIndex &index) const;
    QModelIndex fromSource(const QModelIndex &index) const;

    QPointer<QAbstractItemModel> source;
};

#endif
