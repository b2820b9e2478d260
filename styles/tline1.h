#ifndef TLINE1_H
#define TLINE1_H

#include "view/tline.h"

// Time runs left to right along a horizontal arrow; items hang from their date at their row.
class TLine1 : public TLine
{
    Q_OBJECT

public:
    explicit TLine1(QWidget *parent = nullptr);

public slots:
    void recalcSize() override;

protected:
    void paint(QPainter *painter) override;
    int dateToX(const QDate &date) const override;
    int posToY(int pos) const override;
    void paintItem(QPainter *painter, int row, const QRect &shownPart) override;
};

#endif
