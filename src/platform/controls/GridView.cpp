#include "platform/controls/GridView.h"

#include "platform/controls/GridModel.h"

#include <QHeaderView>

GridView::GridView(GridModel* model, QWidget* parent) : QTableView(parent), m_model(model)
{
    setModel(model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
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

    connect(model, &GridModel::colWidthChanged, this,
            [this](int col, int twips) { setColumnWidth(col, columnPixels(twips)); });
    connect(model, &QAbstractItemModel::modelReset, this, &GridView::applyWidths);
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
}
