#include "platform/sql/FreedMemory.h"

#include <malloc.h>

void giveBackFreedMemory()
{
    _heapmin();
}
