#pragma once

#include <QTreeView>

class ListViewModel;

// Shows a ListViewModel as the list-view control's report view: column headers
// with the model's widths (twips to pixels at 15 per pixel), one row per list
// row with its small icon and tick box, one selected row at a time.
//
// The window gets the control's events: a header click (the view never sorts
// by itself), a double click, a key typed in the list, a mouse button pressed
// (after the row under the mouse has been selected). Label edits are offered
// to the model, which asks the window before an editor opens.
//
// The list takes the focus with nothing chosen: no row is selected nor framed
// until the operator picks one (an arrow key picks the first).
class ListView : public QTreeView
{
    Q_OBJECT
public:
    explicit ListView(ListViewModel* model, QWidget* parent = nullptr);

    ListViewModel* listModel() const { return m_model; }

    // The last column takes the width the others leave free in the view,
    // never less than its own.
    void setLastColumnFills(bool on);

signals:
    void columnClick(int column);
    void dblClick();
    // The typed character's code: 13 for Enter, 27 for Escape.
    void keyPress(int keyAscii);
    void mouseDown(Qt::MouseButton button, const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyWidths();
    void fitLastColumn();
    void showSortIndicator();
    void followModelSelection(int row);

    ListViewModel* m_model;
    bool m_lastColumnFills = false;
};
