#pragma once

#include <QAccessibleWidget>
#include <QHash>

class GridView;

// A grid as a screen reader reads it. Through the table interface every
// cell, its row's heading and its column's title can be reached; as
// children the grid offers only its titles and the rows in sight, so that a
// reader walking the tree asks for a screen of cells, not for every cell of
// a grid of hundreds of thousands of rows. A cell's interface is made when
// first asked for and kept until the grid's contents change.
class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit GridAccessible(GridView* view);
    ~GridAccessible() override;

    // Put in front of Qt's own table interface for every GridView.
    static void install();

    // The child index of a cell in sight: its row's place among the rows in
    // sight (after the titles), or -1 out of sight.
    int childIndex(int row, int column) const;

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::Role role() const override { return QAccessible::Table; }
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedCellCount() const override;
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    QList<QAccessibleInterface*> selectedCells() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    GridView* view() const;
    // A title (row -1) or a row heading (column -1).
    QAccessibleInterface* heading(int row, int column) const;

private:
    // The interface of a cell or heading, made and registered when first asked for.
    QAccessibleInterface* known(int row, int column) const;
    // A whole row (column -1) or column (row -1) selected or not.
    bool select(int row, int column, bool on);
    void forget();
    int firstRowInSight() const;
    int rowsInSight() const;

    mutable QHash<quint64, QAccessible::Id> m_cells;
};
