// Adding, editing and deleting items.

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
