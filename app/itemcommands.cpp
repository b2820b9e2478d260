// Adding, editing and deleting items, the chart's background menu, the
// background dialog and the change of chart style.

#include "app/zelvaro.h"

void Zelvaro::newItem()
{
}

void Zelvaro::itemClicked(int)
{
}

void Zelvaro::itemDelete(int)
{
}

void Zelvaro::showBackgroundMenu()
{
}

void Zelvaro::changeBackground()
{
}

void Zelvaro::changeTimelineTyp()
{
}
