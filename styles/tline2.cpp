#include "styles/tline2.h"

#include <QPainter>

TLine2::TLine2(QWidget *parent)
    : TLine(parent)
{
}

void TLine2::recalcSize()
{
    TLine::recalcSize();
}

void TLine2::paint(QPainter *)
{
}

void TLine2::paintItem(QPainter *, int)
{
}

int TLine2::dateToX(const QDate &date) const
{
    return TLine::dateToX(date);
}

int TLine2::posToY(int pos) const
{
    return TLine::posToY(pos);
}
