#include "model/tlchartstate.h"

QList<QColor> TLChartState::defaultBackgroundColors()
{
    return { Qt::white, Qt::white, Qt::blue };
}

TLChartState TLChartState::initial()
{
    TLChartState state;
    state.start = QDate::currentDate();
    state.end = state.start.addDays(35);
    state.dayWidth = 20.0;
    state.posHeight = 100.0;
    state.tPos = 2;
    state.maxPos = 2;
    state.displayFlags = { MarkDays, MarkWeeks, MarkMonths, MarkYears, ItemShadow, ArrowShadow };
    state.bgMode = DiagonalGradient;
    return state;
}

bool operator==(const TLChartState &a, const TLChartState &b)
{
    return a.style == b.style && a.start == b.start && a.end == b.end && a.dayWidth == b.dayWidth
        && a.posHeight == b.posHeight && a.tPos == b.tPos && a.maxPos == b.maxPos
        && a.displayFlags == b.displayFlags && a.bgMode == b.bgMode && a.bgColors == b.bgColors
        && a.bgFileName == b.bgFileName && a.bgFileName.isNull() == b.bgFileName.isNull();
}
