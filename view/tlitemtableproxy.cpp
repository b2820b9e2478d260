#include "view/tlitemtableproxy.h"

#include <QCoreApplication>

TLItemTableProxy::TLItemTableProxy(QObject *parent)
    : QIdentityProxyModel(parent)
{
}

QVariant TLItemTableProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QVariant title = QIdentityProxyModel::headerData(section, orientation, role);
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !title.isValid())
        return title;
    // The model marks its titles for translation in its own context.
    return QCoreApplication::translate("TLItemModel", title.toString().toUtf8().constData());
}
