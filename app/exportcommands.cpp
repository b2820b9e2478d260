// The chart as a PNG image and on paper.

#include "app/zelvaro.h"

void Zelvaro::saveImgFile()
{
}

void Zelvaro::print()
{
}
