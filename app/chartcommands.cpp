// The chart's background menu, the background dialog and the change of
// chart style.

#include "app/zelvaro.h"

void Zelvaro::showBackgroundMenu()
{
}

void Zelvaro::changeBackground()
{
}

void Zelvaro::changeTimelineTyp()
{
}
