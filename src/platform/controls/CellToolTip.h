#pragma once

class QAbstractItemView;
class QHelpEvent;
class QStyleOptionViewItem;

// The tooltip of a cell whose text the style cuts ("P0042 Madere…",
// "14926,045…"): the whole text; any other cell hides the tooltip. `cell` is
// the option as the delegate paints it (initStyleOption applied).
void showCutCellText(const QHelpEvent* event, QAbstractItemView* view,
                     const QStyleOptionViewItem& cell);
