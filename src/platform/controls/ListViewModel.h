#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <vector>

class ImageList;

// The list-view control in report view: column headers (key, text, width in
// twips, alignment) and rows. A row has its own text (shown in the first
// column), sub-items for the other columns, a key unique in the list, a large
// and a small icon (1-based indexes into the image lists, 0 for none), a tick
// box and a tag: a text the window keeps with the row and never shows.
//
// Cells are addressed by column: column 0 is the row's text, column n its
// sub-item n. Rows count from 0 in list order; sorting reorders them.
//
// Sorting is the control's: when sorted, the rows are ordered by the sort
// column, in the one sort order of the list: by text, case-insensitively, or,
// in a column the window marks so, by the number or the date its cells write
// (empty cells first, then the cells that read as one, then any other text).
// It never sorts by itself on a header click; the window decides what a click
// does (columnClick on the view).
class ListViewModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class SortOrder
    {
        Ascending = 0,
        Descending = 1
    };
    enum class LabelEdit
    {
        Automatic,
        Manual
    };

    // What a column's cells are compared as when the list is sorted by it.
    enum class SortAs
    {
        Text,
        Number, // as the operator's locale or a database writes it: "2860000", "12,5"
        Date    // day/month/year, maybe with the time: "05/11/2026 09:30:00"
    };

    struct Column
    {
        QString key;
        QString text;
        int width = 0; // twips
        Qt::Alignment alignment = Qt::AlignLeft;
        SortAs sortAs = SortAs::Text;
    };

    struct Row
    {
        QString key;
        QString text;
        QStringList subItems; // sub-item n at n - 1
        int icon = 0;
        int smallIcon = 0;
        bool checked = false;
        QString tag;
    };

    explicit ListViewModel(QObject* parent = nullptr);

    // Column headers.
    int addColumn(const QString& key, const QString& text, int widthTwips,
                  Qt::Alignment alignment = Qt::AlignLeft);
    void clearColumns();
    int columns() const { return static_cast<int>(m_columns.size()); }
    const Column& column(int index) const;
    void setColumnWidth(int index, int twips);
    void setColumnSortAs(int index, SortAs sortAs);

    // Rows. addRow returns the new row's position (its sorted place when the
    // list is sorted). A key must be unique in the list; the empty key is none.
    int addRow(const QString& key = {}, const QString& text = {}, int icon = 0, int smallIcon = 0);
    void removeRow(int row);
    void clearRows();
    int rows() const { return static_cast<int>(m_rows.size()); }
    const Row& row(int row) const;
    int findKey(const QString& key) const; // -1 when no row has it

    QString text(int row, int column) const;
    void setText(int row, int column, const QString& text);
    void setKey(int row, const QString& key);
    void setTag(int row, const QString& tag);
    void setIcon(int row, int icon);
    void setSmallIcon(int row, int icon);
    bool checked(int row) const { return this->row(row).checked; }
    void setChecked(int row, bool checked);

    // Tick boxes shown (and tickable by the operator) or not.
    bool checkboxes() const { return m_checkboxes; }
    void setCheckboxes(bool on);

    // The selected row, -1 for none. Kept across sorting.
    int selectedRow() const { return m_selected; }
    void setSelectedRow(int row);

    bool sorted() const { return m_sorted; }
    void setSorted(bool on);
    int sortKey() const { return m_sortKey; }
    void setSortKey(int column);
    SortOrder sortOrder() const { return m_sortOrder; }
    void setSortOrder(SortOrder order);

    // Label editing of the rows' own text. Every edit asks the window first
    // (beforeLabelEdit) and again with the new text (afterLabelEdit); either
    // may cancel it through its flag.
    LabelEdit labelEdit() const { return m_labelEdit; }
    void setLabelEdit(LabelEdit mode);
    bool beginLabelEdit(int row);

    // The images for the Qt view: the small icons show in report view.
    void setIcons(const ImageList* images) { m_icons = images; }
    void setSmallIcons(const ImageList* images);
    const ImageList* icons() const { return m_icons; }
    const ImageList* smallIcons() const { return m_smallIcons; }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void columnWidthChanged(int column, int twips);
    void selectedRowChanged(int row);
    void sortChanged();
    void beforeLabelEdit(int row, bool* cancel);
    void afterLabelEdit(int row, const QString& newText, bool* cancel);
    void rowChecked(int row, bool checked);

private:
    Row& mutableRow(int row);
    void checkColumn(int column, int limit) const;
    // A cell as the sort compares it: its kind of value, then the value.
    struct SortValue
    {
        int rank = 0; // 0 empty, 1 read as the column's kind, 2 any other text
        double value = 0;
        QString text;
    };
    SortValue sortValue(const Row& row) const;
    bool lessThan(const SortValue& a, const SortValue& b) const;
    void sortRows();
    int sortedPlace(const Row& row) const;
    void cellChanged(int row, int column, const QList<int>& roles = {});

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    const ImageList* m_icons = nullptr;
    const ImageList* m_smallIcons = nullptr;
    int m_selected = -1;
    bool m_checkboxes = false;
    bool m_sorted = false;
    int m_sortKey = 0;
    SortOrder m_sortOrder = SortOrder::Ascending;
    LabelEdit m_labelEdit = LabelEdit::Automatic;
};
