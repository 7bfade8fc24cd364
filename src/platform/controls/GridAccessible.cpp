#include "platform/controls/GridAccessible.h"

#include "platform/controls/GridView.h"

#include <QHeaderView>
#include <QPointer>
#include <QWindow>

namespace {

quint64 key(int row, int column)
{
    return (quint64(quint32(row + 1)) << 32) | quint32(column + 1);
}

// A cell, a column's title (row -1) or a row's heading (column -1).
class Cell : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    Cell(GridView* view, int row, int column) : m_view(view), m_row(row), m_column(column) {}

    bool isValid() const override
    {
        const QAbstractItemModel* m = m_view ? m_view->model() : nullptr;
        return m && m_row < m->rowCount() && m_column < m->columnCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QAccessible::Role role() const override
    {
        return m_row < 0      ? QAccessible::ColumnHeader
               : m_column < 0 ? QAccessible::RowHeader
                              : QAccessible::Cell;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Description))
            return {};
        const QAbstractItemModel& m = *m_view->model();
        const int role =
            t == QAccessible::Name ? Qt::AccessibleTextRole : Qt::AccessibleDescriptionRole;
        QVariant v;
        if (m_row < 0)
            v = m.headerData(m_column, Qt::Horizontal, role);
        else if (m_column < 0)
            v = m.headerData(m_row, Qt::Vertical, role);
        else
            v = m.index(m_row, m_column).data(role);
        if (!v.isValid() && t == QAccessible::Name)
            v = m_row < 0      ? m.headerData(m_column, Qt::Horizontal, Qt::DisplayRole)
                : m_column < 0 ? m.headerData(m_row, Qt::Vertical, Qt::DisplayRole)
                               : m.index(m_row, m_column).data(Qt::DisplayRole);
        return v.toString();
    }

    QRect rect() const override
    {
        if (!isValid() || m_column < 0)
            return {};
        if (m_row < 0) {
            const QHeaderView* h = m_view->horizontalHeader();
            if (!h->isVisible())
                return {};
            return QRect(
                h->viewport()->mapToGlobal(QPoint(h->sectionViewportPosition(m_column), 0)),
                QSize(h->sectionSize(m_column), h->height()));
        }
        const QRect r = m_view->visualRect(m_view->model()->index(m_row, m_column))
                            .intersected(m_view->viewport()->rect());
        return r.isEmpty() ? QRect()
                           : QRect(m_view->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.readOnly = true;
        if (m_row < 0 || m_column < 0)
            return s;
        const QModelIndex i = m_view->model()->index(m_row, m_column);
        s.selectable = true;
        s.focusable = true;
        s.selected = m_view->selectionModel()->isSelected(i);
        s.focused = m_view->hasFocus() && m_view->currentIndex() == i;
        s.invisible = s.offscreen = rect().isEmpty();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface && m_row >= 0 && m_column >= 0
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        const auto* t = grid();
        QAccessibleInterface* h = t ? t->heading(-1, m_column) : nullptr;
        return h ? QList<QAccessibleInterface*>{h} : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override
    {
        const auto* t = grid();
        QAccessibleInterface* h = t ? t->heading(m_row, -1) : nullptr;
        return h ? QList<QAccessibleInterface*>{h} : QList<QAccessibleInterface*>{};
    }
    bool isSelected() const override { return state().selected; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    const GridAccessible* grid() const { return dynamic_cast<const GridAccessible*>(parent()); }

    QPointer<GridView> m_view;
    int m_row, m_column;
};

QAccessibleInterface* fabrica(const QString& className, QObject* object)
{
    if (className == QLatin1String("GridView"))
        if (auto* view = qobject_cast<GridView*>(object))
            return new GridAccessible(view);
    return nullptr;
}

} // namespace

GridAccessible::GridAccessible(GridView* view) : QAccessibleWidget(view, QAccessible::Table) {}

GridAccessible::~GridAccessible()
{
    forget();
}

void GridAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(fabrica);
        return true;
    }();
    Q_UNUSED(installed);
}

GridView* GridAccessible::view() const
{
    return static_cast<GridView*>(widget());
}

void* GridAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void GridAccessible::forget()
{
    for (const QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}

void GridAccessible::modelChange(QAccessibleTableModelChangeEvent*)
{
    // Cells are known by row and column: any change may move them.
    forget();
}

int GridAccessible::rowCount() const
{
    return view()->model() ? view()->model()->rowCount() : 0;
}

int GridAccessible::columnCount() const
{
    return view()->model() ? view()->model()->columnCount() : 0;
}

QAccessibleInterface* GridAccessible::heading(int row, int column) const
{
    if (row >= rowCount() || column >= columnCount() || (row < 0) == (column < 0) ||
        (row < 0 && !view()->horizontalHeader()->isVisible()))
        return nullptr;
    return known(row, column);
}

QAccessibleInterface* GridAccessible::cellAt(int row, int column) const
{
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return nullptr;
    return known(row, column);
}

QAccessibleInterface* GridAccessible::known(int row, int column) const
{
    const quint64 k = key(row, column);
    if (const auto found = m_cells.constFind(k); found != m_cells.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* cell = new Cell(view(), row, column);
    m_cells.insert(k, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int GridAccessible::firstRowInSight() const
{
    return rowCount() == 0 ? -1 : std::max(0, view()->rowAt(0));
}

int GridAccessible::rowsInSight() const
{
    const int first = firstRowInSight();
    if (first < 0)
        return 0;
    int last = view()->rowAt(view()->viewport()->height() - 1);
    if (last < 0)
        last = rowCount() - 1;
    return last - first + 1;
}

int GridAccessible::childCount() const
{
    const int titles = view()->horizontalHeader()->isVisible() ? 1 : 0;
    return (titles + rowsInSight()) * columnCount();
}

QAccessibleInterface* GridAccessible::child(int index) const
{
    const int columns = columnCount();
    if (index < 0 || columns == 0 || index >= childCount())
        return nullptr;
    int place = index / columns;
    if (view()->horizontalHeader()->isVisible()) {
        if (place == 0)
            return heading(-1, index % columns);
        --place;
    }
    return cellAt(firstRowInSight() + place, index % columns);
}

int GridAccessible::childIndex(int row, int column) const
{
    const int first = firstRowInSight();
    if (first < 0 || row < first || row >= first + rowsInSight() || column < 0 ||
        column >= columnCount())
        return -1;
    const int titles = view()->horizontalHeader()->isVisible() ? 1 : 0;
    return (titles + row - first) * columnCount() + column;
}

int GridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child || child->parent() != this)
        return -1;
    if (child->role() == QAccessible::ColumnHeader)
        for (int c = 0; c < columnCount(); ++c)
            if (heading(-1, c) == child)
                return c;
    auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
    return cell ? childIndex(cell->rowIndex(), cell->columnIndex()) : -1;
}

QAccessibleInterface* GridAccessible::childAt(int x, int y) const
{
    const QPoint p = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex i = view()->indexAt(p);
    return i.isValid() && view()->viewport()->rect().contains(p) ? cellAt(i.row(), i.column())
                                                                 : nullptr;
}

QString GridAccessible::columnDescription(int column) const
{
    return view()->model() ? view()->model()->headerData(column, Qt::Horizontal).toString()
                           : QString();
}

QString GridAccessible::rowDescription(int row) const
{
    return view()->model()
               ? view()->model()->headerData(row, Qt::Vertical, Qt::AccessibleTextRole).toString()
               : QString();
}

int GridAccessible::selectedCellCount() const
{
    return int(view()->selectionModel()->selectedIndexes().size());
}

QList<QAccessibleInterface*> GridAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    for (const QModelIndex& i : view()->selectionModel()->selectedIndexes())
        if (QAccessibleInterface* c = cellAt(i.row(), i.column()))
            cells << c;
    return cells;
}

QList<int> GridAccessible::selectedColumns() const
{
    QList<int> columns;
    for (const QModelIndex& i : view()->selectionModel()->selectedColumns())
        columns << i.column();
    return columns;
}

QList<int> GridAccessible::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& i : view()->selectionModel()->selectedRows())
        rows << i.row();
    return rows;
}

bool GridAccessible::isColumnSelected(int column) const
{
    return view()->selectionModel()->isColumnSelected(column);
}

bool GridAccessible::isRowSelected(int row) const
{
    return view()->selectionModel()->isRowSelected(row);
}

bool GridAccessible::selectRow(int row)
{
    return select(row, -1, true);
}

bool GridAccessible::selectColumn(int column)
{
    return select(-1, column, true);
}

bool GridAccessible::unselectRow(int row)
{
    return select(row, -1, false);
}

bool GridAccessible::unselectColumn(int column)
{
    return select(-1, column, false);
}

bool GridAccessible::select(int row, int column, bool on)
{
    const QAbstractItemModel* m = view()->model();
    if (!m || (row < 0 ? column < 0 || column >= columnCount() : row >= rowCount()))
        return false;
    const QModelIndex first = m->index(std::max(row, 0), std::max(column, 0));
    const QModelIndex last =
        m->index(row < 0 ? m->rowCount() - 1 : row, column < 0 ? m->columnCount() - 1 : column);
    view()->selectionModel()->select(QItemSelection(first, last),
                                     on ? QItemSelectionModel::Select
                                        : QItemSelectionModel::Deselect);
    return true;
}
