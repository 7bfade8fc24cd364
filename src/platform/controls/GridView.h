#pragma once

#include "platform/controls/Twips.h"

#include <QAccessible>
#include <QTableView>

class GridModel;

// Shows a GridModel the way the suite's report grid looks: the first fixed row
// as the column titles (kept in sight), fixed columns shaded, cell colours and
// fonts as the model says, column widths from the model (twips to pixels at 15
// per pixel). It reads the model; it keeps no copy of the cells.
//
// It behaves as the suite's grid control does for the operator: Tab leaves the
// grid for the next control (the arrows move between cells), cells without an
// alignment of their own align by content (numbers right, texts left), a cell
// too narrow for its text shows it whole in a tooltip, a cell with a note has
// a mark in its corner and the note as its tooltip, a block of cells can be
// selected and copied as tab-separated lines, and new contents start at the
// first row.
class GridView : public QTableView
{
    Q_OBJECT
public:
    explicit GridView(GridModel* model, QWidget* parent = nullptr);

    GridModel* gridModel() const { return m_model; }
    // A column keeps at least one pixel, so a 10-twip column stays (barely) there.
    static int columnPixels(int twips)
    {
        return twips <= 0 ? 0 : std::max(1, pixelsFromTwips(twips));
    }

    // How a cell's text is aligned when its model gives no alignment.
    static Qt::Alignment contentAlignment(const QString& text);
    // The selected block as a spreadsheet pastes it: cells joined by tabs,
    // rows by line ends.
    QString selectedText() const;
    // The free width right of the last column goes to it, in this view only:
    // the model keeps its width, which the exports read.
    void setLastColumnFills(bool on);

protected:
    // The viewport narrows when a scroll bar comes: the last column follows.
    bool viewportEvent(QEvent* event) override;
    // A screen reader hears of the current and the selected cells by their
    // place among the rows in sight, as GridAccessible numbers its children.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A grid reached with the keyboard shows where it is: with no cell
    // current yet, the first one becomes current (not selected), so the
    // focus is drawn and the arrows move from there.
    void focusInEvent(QFocusEvent* event) override;

private:
    void applyWidths();
    void fitLastColumn();
    void tellReader(QAccessible::Event event, const QModelIndex& cell);

    GridModel* m_model;
    bool m_lastColumnFills = false;
};
