#include "model/tlitemmodel.h"

#include <QColor>
#include <QDate>

#include <algorithm>
#include <climits>

TLItemModel::TLItemModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int TLItemModel::rowCount(const QModelIndex &) const
{
    return items.size();
}

int TLItemModel::columnCount(const QModelIndex &) const
{
    return TLItem::ColumnCount;
}

bool TLItemModel::isValidRow(const QModelIndex &index) const
{
    return index.isValid() && index.row() < items.size();
}

QVariant TLItemModel::data(const QModelIndex &index, int role) const
{
    if (!isValidRow(index))
        return QVariant();
    const TLItem &item = items.at(index.row());

    if (role == Qt::BackgroundRole)
        return item.backgroundColor;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();

    switch (index.column()) {
    case TLItem::DateColumn:
        return item.date;
    case TLItem::PosColumn:
        return item.pos;
    case TLItem::TextColumn:
        return item.text;
    case TLItem::BackgroundColorColumn:
        return item.backgroundColor;
    case TLItem::EndDateColumn:
        return item.endDate;
    default:
        return QVariant();
    }
}

bool TLItemModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!isValidRow(index) || role != Qt::EditRole || index.column() >= TLItem::ColumnCount)
        return false;
    TLItem &item = items[index.row()];
    QModelIndex first = index;

    switch (index.column()) {
    case TLItem::DateColumn:
        item.date = value.toDate();
        break;
    case TLItem::PosColumn: {
        // Qt's conversion cuts a number beyond int to its low bits; out of
        // range, a row is no number, as "abc" is none.
        bool ok = false;
        const qlonglong pos = value.toLongLong(&ok);
        item.pos = ok && pos >= INT_MIN && pos <= INT_MAX ? int(pos) : 0;
        raiseHighestPos(item.pos);
        break;
    }
    case TLItem::TextColumn:
        item.text = value.toString();
        break;
    case TLItem::BackgroundColorColumn:
        item.backgroundColor = value.value<QColor>();
        first = index.siblingAtColumn(TLItem::DateColumn);
        break;
    case TLItem::EndDateColumn:
        item.endDate = value.toDate();
        first = index.siblingAtColumn(TLItem::DateColumn);
        break;
    }
    emit dataChanged(first, index);
    return true;
}

// A position at or above every earlier one asks for rows up to it. The
// highest position an int holds gets as many rows as an int can count.
void TLItemModel::raiseHighestPos(int pos)
{
    if (pos < highestPos)
        return;
    highestPos = pos;
    emit maxposChanged(highestPos == INT_MAX ? INT_MAX : highestPos + 1);
}

QVariant TLItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return QStringLiteral("%1").arg(qint64(section) + 1);

    // Marked for the item table, which shows them translated; the model
    // itself always answers with these.
    static const char *const titles[TLItem::ColumnCount] = {
        QT_TRANSLATE_NOOP("TLItemModel", "Date"), QT_TRANSLATE_NOOP("TLItemModel", "Pos"),
        QT_TRANSLATE_NOOP("TLItemModel", "Text"), QT_TRANSLATE_NOOP("TLItemModel", "BackgroundColor"),
        QT_TRANSLATE_NOOP("TLItemModel", "EndDate")
    };
    if (section < 0 || section >= TLItem::ColumnCount)
        return QVariant();
    return QString::fromLatin1(titles[section]);
}

bool TLItemModel::insertRows(int row, int count, const QModelIndex &)
{
    // Rows are counted in ints.
    if (row < 0 || row > items.size() || count < 1 || count > INT_MAX - items.size())
        return false;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    items.insert(row, count, TLItem());
    endInsertRows();
    return true;
}

bool TLItemModel::removeRows(int row, int count, const QModelIndex &)
{
    if (row < 0 || count < 1 || count > items.size() - row)
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    items.remove(row, count);
    endRemoveRows();
    return true;
}

Qt::ItemFlags TLItemModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsEnabled;
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void TLItemModel::clear()
{
    if (items.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, items.size() - 1);
    items.clear();
    endRemoveRows();
}

void TLItemModel::appendItems(QList<TLItem> records)
{
    if (records.isEmpty() || records.size() > INT_MAX - items.size())
        return;
    const int first = int(items.size());
    int highest = INT_MIN;
    for (const TLItem &record : std::as_const(records))
        highest = std::max(highest, record.pos);
    beginInsertRows(QModelIndex(), first, first + int(records.size()) - 1);
    if (items.isEmpty())
        items = std::move(records);
    else
        items.append(std::move(records));
    endInsertRows();
    raiseHighestPos(highest);
}

TLItem TLItemModel::item(const QAbstractItemModel *model, int row)
{
    // The chart reads every item of its own model this way.
    if (const auto *own = qobject_cast<const TLItemModel *>(model))
        return row >= 0 && row < own->items.size() ? own->items.at(row) : TLItem();
    const auto cell = [model, row](int column) { return model->data(model->index(row, column)); };
    TLItem item;
    item.date = cell(TLItem::DateColumn).toDate();
    item.pos = cell(TLItem::PosColumn).toInt();
    item.text = cell(TLItem::TextColumn).toString();
    item.backgroundColor = cell(TLItem::BackgroundColorColumn).value<QColor>();
    item.endDate = cell(TLItem::EndDateColumn).toDate();
    return item;
}

void TLItemModel::setItem(QAbstractItemModel *model, int row, const TLItem &item)
{
    model->setData(model->index(row, TLItem::DateColumn), item.date);
    model->setData(model->index(row, TLItem::PosColumn), item.pos);
    model->setData(model->index(row, TLItem::TextColumn), item.text);
    model->setData(model->index(row, TLItem::BackgroundColorColumn), item.backgroundColor);
    model->setData(model->index(row, TLItem::EndDateColumn), item.endDate);
}
