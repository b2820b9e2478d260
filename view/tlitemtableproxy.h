#ifndef TLITEMTABLEPROXY_H
#define TLITEMTABLEPROXY_H

#include <QIdentityProxyModel>

// The item model as the item table shows it: every cell passes through
// untouched, and the column headers, which the model keeps in their fixed
// form, are shown in the user's language.
class TLItemTableProxy : public QIdentityProxyModel
{
    Q_OBJECT

public:
    explicit TLItemTableProxy(QObject *parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
};

#endif
