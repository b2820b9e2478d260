#include "view/tlitemtableproxy.h"

#include <QCoreApplication>

TLItemTableProxy::TLItemTableProxy(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void TLItemTableProxy::setSourceModel(QAbstractItemModel *model)
{
    beginResetModel();
    if (source)
        disconnect(source, nullptr, this, nullptr);
    source = model;
    if (source) {
        using Model = QAbstractItemModel;
        connect(source, &Model::dataChanged, this,
                [this](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) {
                    emit dataChanged(fromSource(topLeft), fromSource(bottomRight), roles);
                });
        connect(source, &Model::headerDataChanged, this, &TLItemTableProxy::headerDataChanged);
        connect(source, &Model::rowsAboutToBeInserted, this,
                [this](const QModelIndex &, int first, int last) { beginInsertRows(QModelIndex(), first, last); });
        connect(source, &Model::rowsInserted, this, [this] { endInsertRows(); });
        connect(source, &Model::rowsAboutToBeRemoved, this,
                [this](const QModelIndex &, int first, int last) { beginRemoveRows(QModelIndex(), first, last); });
        connect(source, &Model::rowsRemoved, this, [this] { endRemoveRows(); });
        connect(source, &Model::columnsAboutToBeInserted, this,
                [this](const QModelIndex &, int first, int last) { beginInsertColumns(QModelIndex(), first, last); });
        connect(source, &Model::columnsInserted, this, [this] { endInsertColumns(); });
        connect(source, &Model::columnsAboutToBeRemoved, this,
                [this](const QModelIndex &, int first, int last) { beginRemoveColumns(QModelIndex(), first, last); });
        connect(source, &Model::columnsRemoved, this, [this] { endRemoveColumns(); });
        // Rows that move or change places all at once are shown afresh.
        connect(source, &Model::modelAboutToBeReset, this, [this] { beginResetModel(); });
        connect(source, &Model::modelReset, this, [this] { endResetModel(); });
        connect(source, &Model::layoutAboutToBeChanged, this, [this] { beginResetModel(); });
        connect(source, &Model::layoutChanged, this, [this] { endResetModel(); });
        connect(source, &Model::rowsAboutToBeMoved, this, [this] { beginResetModel(); });
        connect(source, &Model::rowsMoved, this, [this] { endResetModel(); });
        // The guard is empty by the time the model says it is gone.
        connect(source, &QObject::destroyed, this, [this] {
            beginResetModel();
            endResetModel();
        });
    }
    endResetModel();
}

QAbstractItemModel *TLItemTableProxy::sourceModel() const
{
    return source;
}

QModelIndex TLItemTableProxy::toSource(const QModelIndex &index) const
{
    return source && index.isValid() ? source->index(index.row(), index.column()) : QModelIndex();
}

QModelIndex TLItemTableProxy::fromSource(const QModelIndex &index) const
{
    return index.isValid() ? this->index(index.row(), index.column()) : QModelIndex();
}

int TLItemTableProxy::rowCount(const QModelIndex &parent) const
{
    return source && !parent.isValid() ? source->rowCount() : 0;
}

int TLItemTableProxy::columnCount(const QModelIndex &parent) const
{
    return source && !parent.isValid() ? source->columnCount() : 0;
}

QVariant TLItemTableProxy::data(const QModelIndex &index, int role) const
{
    return source ? source->data(toSource(index), role) : QVariant();
}

bool TLItemTableProxy::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!source || !index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    emit cellEditRequested(index.row(), index.column(), value);
    return true;
}

Qt::ItemFlags TLItemTableProxy::flags(const QModelIndex &index) const
{
    return source ? source->flags(toSource(index)) : Qt::NoItemFlags;
}

QVariant TLItemTableProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!source)
        return QVariant();
    const QVariant title = source->headerData(section, orientation, role);
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !title.isValid())
        return title;
    // The model marks its titles for translation in its own context.
    return QCoreApplication::translate("TLItemModel", title.toString().toUtf8().constData());
}
