#pragma once

#include <QWidget>
#include <algorithm>

// The width that brings a view's last column (`last`) to its viewport's
// right edge, never less than `own`, the column's designed width: the grid
// and the list views give their free width to their last column so.
template <class View> int lastColumnFilling(const View& view, int last, int own)
{
    int others = 0;
    for (int c = 0; c < last; ++c)
        others += view.columnWidth(c);
    return std::max(own, view.viewport()->width() - others);
}
