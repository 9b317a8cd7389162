#include "core/document/ratingsmodel.h"

#include "core/document/ratingspaste.h"
#include "core/document/ratingsstep.h"

#include <QFileInfo>

namespace {

const QString ClearStep = QStringLiteral("清除评价");
const QString PasteStep = QStringLiteral("粘贴评价");
const QString ImportStep = QStringLiteral("导入评价");
const QString Unrated = QStringLiteral("未评价");
const QString RequiredHeader = QStringLiteral("%1（必写）");

/// The name of a key's step, as 撤消 shows it.
QString stepName(Rating grade)
{
    return grade == Rating::None ? ClearStep : QStringLiteral("评为") + RatingsFile::valueText(grade);
}

} // namespace

RatingsModel::RatingsModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void RatingsModel::load(const QStringList &names, const QStringList &categories, const RatingsFile::Table &kept,
                        const QStringList &hidden)
{
    beginResetModel();
    m_table = {};
    m_table.categories = categories;
    m_table.names = names;
    m_table.settings = kept.settings;
    m_columns.clear();
    for (const QString &category : categories)
        m_columns.append({category, hidden.contains(category)});
    for (qsizetype r = 0; r < names.size(); ++r) {
        QList<Rating> grades;
        for (const QString &category : categories) {
            const qsizetype from = kept.categories.indexOf(category);
            grades << (from < 0 ? Rating::None : kept.grades.value(r).value(from, Rating::None));
        }
        m_table.grades << grades;
    }
    m_undo.clear();
    m_edited = false;
    endResetModel();
}

Rating RatingsModel::grade(int row, int column) const
{
    return m_table.grades.value(row).value(column, Rating::None);
}

bool RatingsModel::isColumnHidden(int column) const
{
    return column >= 0 && column < m_columns.size() && m_columns[column].hidden;
}

void RatingsModel::setColumnHidden(int column, bool hidden)
{
    if (column < 0 || column >= m_columns.size() || m_columns[column].hidden == hidden)
        return;
    m_columns[column].hidden = hidden;
    emit columnHiddenChanged(column, hidden);
}

QStringList RatingsModel::hiddenCategories() const
{
    QStringList hidden;
    for (const Column &column : m_columns) {
        if (column.hidden)
            hidden << column.category;
    }
    return hidden;
}

QStringList RatingsModel::visibleCategories() const
{
    QStringList shown;
    for (const Column &column : m_columns) {
        if (!column.hidden)
            shown << column.category;
    }
    return shown;
}

void RatingsModel::setSettings(const ClassSettings &settings)
{
    if (settings == m_table.settings)
        return;
    m_table.settings = settings;
    m_edited = true;
    emit settingsChanged();
}

bool RatingsModel::isRequired(int column) const
{
    return column >= 0 && column < m_columns.size() && m_table.settings.required.contains(m_columns[column].category);
}

void RatingsModel::setRequired(int column, bool required)
{
    if (column < 0 || column >= m_columns.size() || isRequired(column) == required)
        return;
    // In the table's order; a 必写 category the library no longer has stays as it was kept.
    ClassSettings settings = m_table.settings;
    QStringList marked;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (c == column ? required : isRequired(c))
            marked << m_columns[c].category;
    }
    for (const QString &other : std::as_const(settings.required)) {
        if (!m_table.categories.contains(other))
            marked << other;
    }
    settings.required = marked;
    setSettings(settings);
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QList<int> RatingsModel::visibleColumnsFrom(int column) const
{
    QList<int> columns;
    for (int c = std::max(column, 0); c < m_columns.size(); ++c) {
        if (!m_columns[c].hidden)
            columns << c;
    }
    return columns;
}

void RatingsModel::setGrades(const QModelIndexList &cells, Rating grade, const QModelIndex &current)
{
    RatingsFile::Table after = m_table;
    for (const QModelIndex &cell : cells) {
        if (cell.isValid() && cell.model() == this && !isColumnHidden(cell.column()))
            after.grades[cell.row()][cell.column()] = grade;
    }
    pushStep(stepName(grade), after, current);
}

QString RatingsModel::paste(const QString &text, int row, int column)
{
    QList<int> hidden;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].hidden)
            hidden << c;
    }
    const RatingsPaste::Pasted pasted =
        RatingsPaste::paste(m_table, text, std::max(row, 0), visibleColumnsFrom(column), hidden);
    pushStep(PasteStep, pasted.table, index(row, column));
    return RatingsReport::pasted(pasted);
}

Result<RatingsReport::Message> RatingsModel::importFile(const QString &path)
{
    RatingsFile::Problems problems;
    const Result<RatingsFile::Merged> read = RatingsFile::mergeFile(path, m_table, &problems);
    if (!read)
        return read.failure();
    const bool changed = read->table != m_table;
    pushStep(ImportStep, read->table, QModelIndex());
    return RatingsReport::imported(QFileInfo(path).fileName(), *read, problems, hiddenCategories(), changed);
}

void RatingsModel::pushStep(const QString &text, const RatingsFile::Table &after, const QModelIndex &current)
{
    if (after == m_table)
        return;
    const QPoint at = current.isValid() ? QPoint(current.column(), current.row()) : QPoint(-1, -1);
    m_undo.push(new RatingsStep(*this, text, m_table, after, at));
}

void RatingsModel::putTable(const RatingsFile::Table &ratings, const QModelIndex &current)
{
    QList<int> rows;
    for (int r = 0; r < m_table.grades.size() && r < ratings.grades.size(); ++r) {
        if (m_table.grades[r] == ratings.grades[r])
            continue;
        m_table.grades[r] = ratings.grades[r];
        rows << r;
        emit dataChanged(index(r, 0), index(r, columnCount() - 1));
    }
    m_edited = true;
    emit gradesChanged(rows);
    if (current.isValid())
        emit currentRequested(current);
}

int RatingsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_table.names.size());
}

int RatingsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RatingsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Rating value = grade(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return RatingsFile::valueText(value);
    case RatingRole:
        return int(value);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::AccessibleTextRole:
        // A screen reader names the cell whole, as a teacher would read the row: who, what, how.
        return QStringLiteral("%1 %2 %3")
            .arg(m_table.names[index.row()], m_table.categories[index.column()],
                 value == Rating::None ? Unrated : RatingsFile::valueText(value));
    default:
        return {};
    }
}

QVariant RatingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const QStringList &labels = orientation == Qt::Horizontal ? m_table.categories : m_table.names;
    if (section < 0 || section >= labels.size())
        return {};
    if (orientation == Qt::Horizontal && isRequired(section))
        return RequiredHeader.arg(labels[section]);
    return labels[section];
}

bool RatingsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        (role != Qt::EditRole && role != RatingRole))
        return false;
    std::optional<Rating> grade;
    if (value.typeId() == QMetaType::QString) {
        grade = RatingsFile::parseValue(value.toString());
    } else if (const int number = value.toInt(); number >= int(Rating::Excellent) && number <= int(Rating::None)) {
        grade = Rating(number);
    }
    if (!grade || isColumnHidden(index.column()))
        return false;
    setGrades({index}, *grade, index);
    return true;
}

Qt::ItemFlags RatingsModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}
