#include "platform/controls/GridView.h"

#include "platform/controls/CellToolTip.h"
#include "platform/controls/GridAccessible.h"
#include "platform/controls/GridModel.h"
#include "platform/controls/LastColumn.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPolygon>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace {

class CellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!index.data(GridModel::NoteRole).isValid())
            return;
        // A small triangle in the top right corner, as spreadsheets mark a
        // cell with a comment; it leaves the cell's colour and text alone.
        const QRect r = option.rect;
        const int lado = std::max(4, std::min(r.height() / 2, 7));
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(200, 0, 0));
        painter->drawPolygon(
            QPolygon({QPoint(r.right() - lado + 1, r.top()), QPoint(r.right() + 1, r.top()),
                      QPoint(r.right() + 1, r.top() + lado)}));
        painter->restore();
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!index.data(Qt::TextAlignmentRole).isValid())
            option->displayAlignment = GridView::contentAlignment(option->text);
    }

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        if (event->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QString nota = index.data(GridModel::NoteRole).toString();
        if (!nota.isEmpty()) {
            QToolTip::showText(event->globalPos(), nota, view, cell.rect);
            return true;
        }
        showCutCellText(event, view, cell);
        return true;
    }
};

} // namespace

GridView::GridView(GridModel* model, QWidget* parent) : QTableView(parent), m_model(model)
{
    GridAccessible::install();
    setModel(model);
    setItemDelegate(new CellDelegate(this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setShowGrid(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

    connect(model, &GridModel::colWidthChanged, this, [this](int col, int twips) {
        setColumnWidth(col, columnPixels(twips));
        fitLastColumn();
    });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        applyWidths();
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(0);
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!current.isValid())
                    return;
                m_model->setRow(current.row() + (m_model->fixedRows() >= 1 ? 1 : 0));
                m_model->setCol(current.column());
            });
    applyWidths();
}

void GridView::applyWidths()
{
    horizontalHeader()->setVisible(m_model->fixedRows() >= 1);
    for (int c = 0; c < m_model->cols(); ++c)
        setColumnWidth(c, columnPixels(m_model->colWidth(c)));
    fitLastColumn();
}

void GridView::setLastColumnFills(bool on)
{
    m_lastColumnFills = on;
    applyWidths();
}

void GridView::fitLastColumn()
{
    const int last = m_model->cols() - 1;
    if (!m_lastColumnFills || last < 0)
        return;
    const int width = lastColumnFilling(*this, last, columnPixels(m_model->colWidth(last)));
    if (columnWidth(last) != width)
        setColumnWidth(last, width);
}

void GridView::tellReader(QAccessible::Event event, const QModelIndex& cell)
{
    if (!QAccessible::isActive() || !cell.isValid())
        return;
    const auto* table = dynamic_cast<GridAccessible*>(QAccessible::queryAccessibleInterface(this));
    const int child = table ? table->childIndex(cell.row(), cell.column()) : -1;
    if (child < 0)
        return;
    QAccessibleEvent e(this, event);
    e.setChild(child);
    QAccessible::updateAccessibility(&e);
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Qt's table view would number the cell among all rows; told after the
    // base class has brought it into sight.
    QAbstractItemView::currentChanged(current, previous);
    tellReader(QAccessible::Focus, current);
}

void GridView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    if (!selected.isEmpty())
        tellReader(QAccessible::SelectionAdd, selected.first().topLeft());
    if (!deselected.isEmpty())
        tellReader(QAccessible::SelectionRemove, deselected.first().topLeft());
}

bool GridView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        fitLastColumn();
    return QTableView::viewportEvent(event);
}

Qt::Alignment GridView::contentAlignment(const QString& text)
{
    // A number as the operator's locale writes it, or as the database gives it.
    // Asked for every cell painted: the locales are made once.
    static const QLocale system = QLocale::system();
    static const QLocale c = QLocale::c();
    const QString t = text.trimmed();
    bool number = false;
    if (!t.isEmpty()) {
        system.toDouble(t, &number);
        if (!number)
            c.toDouble(t, &number);
    }
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QString GridView::selectedText() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return {};
    int top = selected.first().row(), bottom = top;
    int left = selected.first().column(), right = left;
    for (const QModelIndex& i : selected) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    QString text;
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            if (c > left)
                text += QLatin1Char('\t');
            text += model()->index(r, c).data().toString();
        }
        text += QLatin1Char('\n');
    }
    return text;
}

void GridView::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    if (currentIndex().isValid() || !model() || model()->rowCount() == 0)
        return;
    for (int c = 0; c < model()->columnCount(); ++c)
        if (!isColumnHidden(c) && columnWidth(c) > 1) {
            selectionModel()->setCurrentIndex(model()->index(0, c), QItemSelectionModel::NoUpdate);
            return;
        }
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(selectedText());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
