#ifndef TLINE3_H
#define TLINE3_H

#include "view/tline.h"

// Time runs top to bottom along a vertical arrow; rows become columns.
class TLine3 : public TLine
{
    Q_OBJECT

public:
    explicit TLine3(QWidget *parent = nullptr);

public slots:
    void recalcSize() override;

protected:
    void paint(QPainter *painter) override;
    void paintItem(QPainter *painter, int row, const QRect &shownPart) override;
    TLItemFrame itemFrame(const QDate &date, int pos, const QDate &endDate) const override;
    QPoint itemPoint(const QDate &date, int pos) const override;
};

#endif
