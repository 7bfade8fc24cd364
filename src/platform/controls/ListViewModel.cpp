#include "platform/controls/ListViewModel.h"

#include "platform/controls/ImageList.h"
#include "platform/controls/ListErrors.h"

#include <QDate>
#include <QIcon>
#include <QLocale>
#include <QTime>
#include <algorithm>
#include <numeric>

namespace {
const QString Source = QStringLiteral("ListView");

// A number as the operator's locale writes it, or as a database gives it;
// grouped digits ("1.234") are no number, so no reading depends on a guess.
bool readNumber(const QString& text, double& out)
{
    static const QLocale system = [] {
        QLocale l = QLocale::system();
        l.setNumberOptions(QLocale::RejectGroupSeparator);
        return l;
    }();
    static const QLocale c = [] {
        QLocale l = QLocale::c();
        l.setNumberOptions(QLocale::RejectGroupSeparator);
        return l;
    }();
    bool ok = false;
    out = system.toDouble(text, &ok);
    if (!ok)
        out = c.toDouble(text, &ok);
    return ok;
}

// Day/month/year, maybe followed by the time: seconds on one scale.
bool readDate(const QString& text, double& out)
{
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    const QDate date =
        QDate::fromString(space < 0 ? text : text.left(space), QStringLiteral("d/M/yyyy"));
    if (!date.isValid())
        return false;
    QTime time(0, 0);
    if (space >= 0) {
        const QString rest = text.mid(space + 1).trimmed();
        time = QTime::fromString(rest, QStringLiteral("H:mm:ss"));
        if (!time.isValid())
            time = QTime::fromString(rest, QStringLiteral("H:mm"));
        if (!time.isValid())
            return false;
    }
    out = double(date.toJulianDay()) * 86400.0 + time.msecsSinceStartOfDay() / 1000;
    return true;
}
} // namespace

ListViewModel::ListViewModel(QObject* parent) : QAbstractTableModel(parent) {}

int ListViewModel::addColumn(const QString& key, const QString& text, int widthTwips,
                             Qt::Alignment alignment)
{
    const int at = columns();
    beginInsertColumns({}, at, at);
    m_columns.push_back({key, text, std::max(0, widthTwips), alignment});
    endInsertColumns();
    emit columnWidthChanged(at, m_columns.back().width);
    return at;
}

void ListViewModel::clearColumns()
{
    if (m_columns.empty())
        return;
    beginRemoveColumns({}, 0, columns() - 1);
    m_columns.clear();
    endRemoveColumns();
    if (m_sortKey != 0) {
        m_sortKey = 0;
        emit sortChanged();
    }
}

const ListViewModel::Column& ListViewModel::column(int index) const
{
    if (index < 0 || index >= columns())
        throw listIndexOutOfBounds(index, columns(), Source);
    return m_columns[static_cast<size_t>(index)];
}

void ListViewModel::setColumnSortAs(int index, SortAs sortAs)
{
    column(index);
    m_columns[static_cast<size_t>(index)].sortAs = sortAs;
    if (m_sorted && m_sortKey == index)
        sortRows();
}

void ListViewModel::setColumnWidth(int index, int twips)
{
    column(index);
    m_columns[static_cast<size_t>(index)].width = std::max(0, twips);
    emit columnWidthChanged(index, m_columns[static_cast<size_t>(index)].width);
}

const ListViewModel::Row& ListViewModel::row(int row) const
{
    if (row < 0 || row >= rows())
        throw listIndexOutOfBounds(row, rows(), Source);
    return m_rows[static_cast<size_t>(row)];
}

ListViewModel::Row& ListViewModel::mutableRow(int row)
{
    this->row(row);
    return m_rows[static_cast<size_t>(row)];
}

int ListViewModel::findKey(const QString& key) const
{
    if (key.isEmpty())
        return -1;
    for (int r = 0; r < rows(); ++r)
        if (m_rows[static_cast<size_t>(r)].key.compare(key, Qt::CaseInsensitive) == 0)
            return r;
    return -1;
}

int ListViewModel::addRow(const QString& key, const QString& text, int icon, int smallIcon)
{
    if (findKey(key) >= 0)
        throw RuntimeError(ListErrorNumber::KeyNotUnique,
                           QStringLiteral("La clave \"%1\" ya está en la lista").arg(key), Source);
    Row fresh{key, text, {}, 0, 0, false, {}};
    const int at = m_sorted ? sortedPlace(fresh) : rows();
    beginInsertRows({}, at, at);
    m_rows.insert(m_rows.begin() + at, std::move(fresh));
    if (m_selected >= at)
        ++m_selected;
    endInsertRows();
    // Icons are checked against the image lists like any later change.
    try {
        setIcon(at, icon);
        setSmallIcon(at, smallIcon);
    } catch (...) {
        removeRow(at);
        throw;
    }
    return at;
}

void ListViewModel::removeRow(int row)
{
    this->row(row);
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    const int before = m_selected;
    if (m_selected == row)
        m_selected = -1;
    else if (m_selected > row)
        --m_selected;
    endRemoveRows();
    if (before == row)
        emit selectedRowChanged(-1);
}

void ListViewModel::clearRows()
{
    const bool hadSelection = m_selected >= 0;
    beginResetModel();
    m_rows.clear();
    m_selected = -1;
    endResetModel();
    if (hadSelection)
        emit selectedRowChanged(-1);
}

void ListViewModel::checkColumn(int column, int limit) const
{
    // The row's own text always exists; a sub-item needs its column header.
    if (column < 0 || (column > 0 && column >= limit))
        throw RuntimeError(ListErrorNumber::InvalidProperty,
                           QStringLiteral("Valor de propiedad no válido: la columna %1 no existe "
                                          "(la lista tiene %2)")
                               .arg(column)
                               .arg(limit),
                           Source);
}

QString ListViewModel::text(int row, int column) const
{
    const Row& r = this->row(row);
    checkColumn(column, columns());
    if (column == 0)
        return r.text;
    return column - 1 < r.subItems.size() ? r.subItems[column - 1] : QString();
}

void ListViewModel::setText(int row, int column, const QString& text)
{
    Row& r = mutableRow(row);
    checkColumn(column, columns());
    if (column == 0) {
        r.text = text;
    } else {
        while (r.subItems.size() < column)
            r.subItems.append(QString());
        r.subItems[column - 1] = text;
    }
    cellChanged(row, column, {Qt::DisplayRole, Qt::EditRole});
}

void ListViewModel::setKey(int row, const QString& key)
{
    Row& r = mutableRow(row);
    const int holder = findKey(key);
    if (holder >= 0 && holder != row)
        throw RuntimeError(ListErrorNumber::KeyNotUnique,
                           QStringLiteral("La clave \"%1\" ya está en la lista").arg(key), Source);
    r.key = key;
}

void ListViewModel::setTag(int row, const QString& tag)
{
    mutableRow(row).tag = tag;
}

namespace {
void checkImage(const ImageList* images, int index)
{
    if (images && index != 0 && (index < 1 || index > images->count()))
        throw listIndexOutOfBounds(index, images->count(), QStringLiteral("ListView"));
}
} // namespace

void ListViewModel::setIcon(int row, int icon)
{
    Row& r = mutableRow(row);
    checkImage(m_icons, icon);
    r.icon = icon;
}

void ListViewModel::setSmallIcon(int row, int icon)
{
    Row& r = mutableRow(row);
    checkImage(m_smallIcons, icon);
    r.smallIcon = icon;
    cellChanged(row, 0, {Qt::DecorationRole});
}

void ListViewModel::setSmallIcons(const ImageList* images)
{
    m_smallIcons = images;
    if (!m_rows.empty() && !m_columns.empty())
        emit dataChanged(index(0, 0), index(rows() - 1, 0), {Qt::DecorationRole});
}

void ListViewModel::setChecked(int row, bool checked)
{
    Row& r = mutableRow(row);
    if (r.checked == checked)
        return;
    r.checked = checked;
    cellChanged(row, 0, {Qt::CheckStateRole});
    emit rowChecked(row, checked);
}

void ListViewModel::setCheckboxes(bool on)
{
    if (on == m_checkboxes)
        return;
    beginResetModel();
    m_checkboxes = on;
    endResetModel();
}

void ListViewModel::setSelectedRow(int row)
{
    if (row != -1)
        this->row(row);
    if (row == m_selected)
        return;
    m_selected = row;
    emit selectedRowChanged(row);
}

void ListViewModel::setSorted(bool on)
{
    m_sorted = on;
    if (on)
        sortRows();
    emit sortChanged();
}

void ListViewModel::setSortKey(int column)
{
    if (column < 0)
        throw RuntimeError(
            ListErrorNumber::InvalidProperty,
            QStringLiteral("Valor de propiedad no válido: columna de orden %1").arg(column),
            Source);
    m_sortKey = column;
    if (m_sorted)
        sortRows();
    emit sortChanged();
}

void ListViewModel::setSortOrder(SortOrder order)
{
    m_sortOrder = order;
    if (m_sorted)
        sortRows();
    emit sortChanged();
}

ListViewModel::SortValue ListViewModel::sortValue(const Row& row) const
{
    // A sort column past the last sub-item sorts by empty texts: order stays.
    static const QString none;
    const QString& cell = m_sortKey == 0                        ? row.text
                          : m_sortKey - 1 < row.subItems.size() ? row.subItems[m_sortKey - 1]
                                                                : none;
    const SortAs as =
        m_sortKey < columns() ? m_columns[static_cast<size_t>(m_sortKey)].sortAs : SortAs::Text;
    SortValue v;
    v.rank = 2;
    v.text = cell;
    if (as == SortAs::Text)
        return v;
    const QString trimmed = cell.trimmed();
    if (trimmed.isEmpty())
        v.rank = 0;
    else if (as == SortAs::Number ? readNumber(trimmed, v.value) : readDate(trimmed, v.value))
        v.rank = 1;
    return v;
}

bool ListViewModel::lessThan(const SortValue& a, const SortValue& b) const
{
    int c = 0;
    if (a.rank != b.rank)
        c = a.rank < b.rank ? -1 : 1;
    else if (a.rank == 1)
        c = a.value < b.value ? -1 : (b.value < a.value ? 1 : 0);
    else
        c = a.text.compare(b.text, Qt::CaseInsensitive);
    return m_sortOrder == SortOrder::Ascending ? c < 0 : c > 0;
}

int ListViewModel::sortedPlace(const Row& row) const
{
    const SortValue value = sortValue(row);
    auto it = std::upper_bound(
        m_rows.begin(), m_rows.end(), value,
        [this](const SortValue& v, const Row& r) { return lessThan(v, sortValue(r)); });
    return static_cast<int>(it - m_rows.begin());
}

void ListViewModel::sortRows()
{
    // Each cell read once, not at every comparison.
    std::vector<SortValue> values;
    values.reserve(m_rows.size());
    for (const Row& r : m_rows)
        values.push_back(sortValue(r));
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return lessThan(values[static_cast<size_t>(a)], values[static_cast<size_t>(b)]);
    });
    if (std::is_sorted(order.begin(), order.end()))
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPlace(order.size());
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newPlace[static_cast<size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(m_rows[static_cast<size_t>(order[i])]));
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.append(index(newPlace[static_cast<size_t>(i.row())], i.column()));
    changePersistentIndexList(before, after);
    const int selected = m_selected;
    if (m_selected >= 0)
        m_selected = newPlace[static_cast<size_t>(m_selected)];
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    if (selected != m_selected)
        emit selectedRowChanged(m_selected);
}

void ListViewModel::setLabelEdit(LabelEdit mode)
{
    m_labelEdit = mode;
}

bool ListViewModel::beginLabelEdit(int row)
{
    this->row(row);
    if (m_labelEdit != LabelEdit::Automatic)
        return false;
    bool cancel = false;
    emit beforeLabelEdit(row, &cancel);
    return !cancel;
}

void ListViewModel::cellChanged(int row, int column, const QList<int>& roles)
{
    if (column < columns()) {
        const QModelIndex i = index(row, column);
        emit dataChanged(i, i, roles);
    }
}

int ListViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows();
}

int ListViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns();
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows() || index.column() >= columns())
        return {};
    const Row& r = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() == 0 && m_smallIcons && r.smallIcon >= 1 &&
            r.smallIcon <= m_smallIcons->count())
            return m_smallIcons->icon(r.smallIcon);
        return {};
    case Qt::AccessibleDescriptionRole:
        // What the row's icon says, for whoever cannot see it.
        if (index.column() == 0 && m_smallIcons && r.smallIcon >= 1 &&
            r.smallIcon <= m_smallIcons->count())
            return m_smallIcons->meaning(r.smallIcon);
        return {};
    case Qt::CheckStateRole:
        if (index.column() == 0 && m_checkboxes)
            return r.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        // The first column is always left-aligned in report view.
        if (index.column() == 0)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        return QVariant::fromValue(m_columns[static_cast<size_t>(index.column())].alignment |
                                   Qt::AlignVCenter);
    default:
        return {};
    }
}

bool ListViewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= rows() || index.column() != 0)
        return false;
    if (role == Qt::CheckStateRole && m_checkboxes) {
        setChecked(index.row(), value.toInt() == Qt::Checked);
        return true;
    }
    if (role == Qt::EditRole && m_labelEdit == LabelEdit::Automatic) {
        const QString newText = value.toString();
        bool cancel = false;
        emit afterLabelEdit(index.row(), newText, &cancel);
        if (cancel)
            return false;
        setText(index.row(), 0, newText);
        return true;
    }
    return false;
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns())
        return {};
    const Column& c = m_columns[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole)
        return c.text;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((section == 0 ? Qt::AlignLeft : c.alignment) | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0) {
        if (m_checkboxes)
            f |= Qt::ItemIsUserCheckable;
        if (m_labelEdit == LabelEdit::Automatic)
            f |= Qt::ItemIsEditable;
    }
    return f;
}
