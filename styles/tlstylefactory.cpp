#include "styles/tlstylefactory.h"

#include "styles/tline1.h"
#include "styles/tline2.h"
#include "styles/tline3.h"

bool TLStyleFactory::isStyle(int style)
{
    return style >= 1 && style <= 3;
}

TLine *TLStyleFactory::create(int style, QWidget *parent)
{
    switch (style) {
    case 2:
        return new TLine2(parent);
    case 3:
        return new TLine3(parent);
    default:
        return new TLine1(parent);
    }
}
