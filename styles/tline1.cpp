#include "styles/tline1.h"

#include <QPainter>

TLine1::TLine1(QWidget *parent)
    : TLine(parent)
{
}

void TLine1::recalcSize()
{
    TLine::recalcSize();
}

void TLine1::paint(QPainter *)
{
}

void TLine1::paintItem(QPainter *, int)
{
}

int TLine1::dateToX(const QDate &date) const
{
    return TLine::dateToX(date);
}

int TLine1::posToY(int pos) const
{
    return TLine::posToY(pos);
}
