#include "platform/controls/ListView.h"
#include "platform/controls/CellToolTip.h"

#include "platform/controls/LastColumn.h"
#include "platform/controls/ListViewModel.h"
#include "platform/controls/Twips.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace {
// Opens a label editor only when the window lets the edit begin.
class LabelDelegate : public QStyledItemDelegate
{
public:
    LabelDelegate(ListViewModel* model, QObject* parent)
        : QStyledItemDelegate(parent), m_model(model)
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        if (!m_model->beginLabelEdit(index.row()))
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

    // A cell too narrow for its text ("P0042 Madere…") shows it whole as its
    // tooltip; the others show none.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        if (event->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        showCutCellText(event, view, cell);
        return true;
    }

private:
    ListViewModel* m_model;
};
} // namespace

ListView::ListView(ListViewModel* model, QWidget* parent) : QTreeView(parent), m_model(model)
{
    setModel(model);
    setItemDelegate(new LabelDelegate(model, this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(1);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(header(), &QHeaderView::sectionClicked, this, &ListView::columnClick);
    connect(model, &ListViewModel::columnWidthChanged, this, [this](int column, int twips) {
        setColumnWidth(column, pixelsFromTwips(twips));
        fitLastColumn();
    });
    connect(header(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column != m_model->columns() - 1)
            fitLastColumn();
    });
    connect(model, &QAbstractItemModel::modelReset, this, &ListView::applyWidths);
    connect(model, &QAbstractItemModel::columnsInserted, this, &ListView::applyWidths);
    connect(model, &ListViewModel::sortChanged, this, &ListView::showSortIndicator);
    connect(model, &ListViewModel::selectedRowChanged, this, &ListView::followModelSelection);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList picked = selectionModel()->selectedRows();
        m_model->setSelectedRow(picked.isEmpty() ? -1 : picked.first().row());
    });
    applyWidths();
    showSortIndicator();
}

void ListView::applyWidths()
{
    for (int c = 0; c < m_model->columns(); ++c)
        setColumnWidth(c, pixelsFromTwips(m_model->column(c).width));
    fitLastColumn();
}

void ListView::setLastColumnFills(bool on)
{
    m_lastColumnFills = on;
    applyWidths();
}

void ListView::fitLastColumn()
{
    const int last = m_model->columns() - 1;
    if (!m_lastColumnFills || last < 0)
        return;
    const int width = lastColumnFilling(*this, last, pixelsFromTwips(m_model->column(last).width));
    if (columnWidth(last) != width)
        setColumnWidth(last, width);
}

void ListView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    fitLastColumn();
}

void ListView::showSortIndicator()
{
    header()->setSortIndicatorShown(m_model->sorted());
    if (m_model->sorted())
        header()->setSortIndicator(m_model->sortKey(),
                                   m_model->sortOrder() == ListViewModel::SortOrder::Ascending
                                       ? Qt::AscendingOrder
                                       : Qt::DescendingOrder);
}

void ListView::followModelSelection(int row)
{
    const QModelIndexList picked = selectionModel()->selectedRows();
    if (row < 0) {
        if (!picked.isEmpty())
            selectionModel()->clearSelection();
        return;
    }
    if (picked.size() == 1 && picked.first().row() == row)
        return;
    const QModelIndex at = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                              QItemSelectionModel::Rows);
    scrollTo(at);
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    // Enter is the window's to act on through keyPress: it goes no further,
    // so a dialog's default button does not act on it a second time.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit keyPress(13);
        event->accept();
        return;
    }
    if (key == Qt::Key_Escape)
        emit keyPress(27);
    else if (!event->text().isEmpty())
        emit keyPress(event->text().at(0).unicode());
    QTreeView::keyPressEvent(event);
}

void ListView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    emit mouseDown(event->button(), event->globalPosition().toPoint());
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    emit dblClick();
}

void ListView::focusInEvent(QFocusEvent* event)
{
    // Nothing is chosen for the operator: Enter with no row picked takes
    // none. Qt would frame the first row on the way in, which reads as a
    // choice; a current index set to none keeps it from doing so, and the
    // first arrow key then picks the first row.
    if (!currentIndex().isValid() && m_model->selectedRow() < 0)
        setCurrentIndex(QModelIndex());
    QTreeView::focusInEvent(event);
}
