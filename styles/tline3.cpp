#include "styles/tline3.h"

#include <QPainter>

TLine3::TLine3(QWidget *parent)
    : TLine(parent)
{
}

void TLine3::recalcSize()
{
    TLine::recalcSize();
}

void TLine3::paint(QPainter *)
{
}

void TLine3::paintItem(QPainter *, int)
{
}

QPoint TLine3::itemPoint(const QDate &date, int pos) const
{
    return TLine::itemPoint(date, pos);
}
