#include "platform/controls/CellToolTip.h"

#include <QAbstractItemView>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QToolTip>

void showCutCellText(const QHelpEvent* event, QAbstractItemView* view,
                     const QStyleOptionViewItem& cell)
{
    // The room the style gives the text when it paints the cell (its text
    // rectangle less its margins on both sides), and the text measured in
    // fractions of a pixel, as the style measures it to decide whether to cut
    // it: whole pixels let a number cut by less than one through.
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const QRect room = view->style()
                           ->subElementRect(QStyle::SE_ItemViewItemText, &cell, view)
                           .adjusted(margin, 0, -margin, 0);
    if (!cell.text.isEmpty() && QFontMetricsF(cell.font).horizontalAdvance(cell.text) > room.width())
        QToolTip::showText(event->globalPos(), cell.text, view, cell.rect);
    else
        QToolTip::hideText();
}
