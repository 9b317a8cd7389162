#pragma once

#include "core/document/ratingsfile.h"
#include "core/document/ratingsreport.h"
#include "core/platform/result.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QUndoStack>

/// The 评价表's ratings as a table model: one row a student, one column a library category, each
/// cell a grade. Every change (a key, a paste, an import) is one step of the model's own undo
/// stack; the class takes the ratings only when the window keeps them. Columns carry their own
/// settings (hidden), and the class's drafting settings (stage, term, length, 必写 columns) go
/// with the ratings.
class RatingsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    /// A category as the 评价表 shows it.
    struct Column
    {
        QString category;
        bool hidden = false;
    };

    /// The grade of a cell as an int (Rating), for data() and setData().
    static constexpr int RatingRole = Qt::UserRole;

    explicit RatingsModel(QObject *parent = nullptr);

    /// Starts afresh on `names` (rows) and `categories` (columns), each cell taking its grade from
    /// `kept` by student row and category name; the categories in `hidden` are hidden. The undo
    /// stack is emptied and nothing counts as edited.
    void load(const QStringList &names, const QStringList &categories, const RatingsFile::Table &kept,
              const QStringList &hidden = {});
    /// The ratings as they stand.
    const RatingsFile::Table &table() const { return m_table; }
    Rating grade(int row, int column) const;
    /// Whether the ratings changed since load() or the last markKept().
    bool edited() const { return m_edited; }
    /// The ratings were handed to the class.
    void markKept() { m_edited = false; }
    /// The class's drafting settings, kept with the ratings.
    const ClassSettings &settings() const { return m_table.settings; }
    /// Changes the settings (no step of the undo stack: no rating changes); the ratings count
    /// as edited, so that they are kept.
    void setSettings(const ClassSettings &settings);
    /// Whether the column always gets its sentence in a draft (必写).
    bool isRequired(int column) const;
    /// Marks or unmarks a column 必写; its header says so.
    void setRequired(int column, bool required);
    /// The ratings' own steps since load().
    QUndoStack *undoStack() { return &m_undo; }

    const Column &column(int column) const { return m_columns.at(column); }
    bool isColumnHidden(int column) const;
    /// Shows or hides a category; no step of the undo stack (it changes no rating).
    void setColumnHidden(int column, bool hidden);
    /// The hidden categories by name, in column order.
    QStringList hiddenCategories() const;
    /// The shown categories by name, in column order.
    QStringList visibleCategories() const;
    /// The shown columns from `column` on, in order.
    QList<int> visibleColumnsFrom(int column) const;

    /// Sets `grade` in `cells` (hidden columns left as they are) as one step named after the
    /// grade ("评为优秀", "清除评价"); `current` is where undo goes back to. No step when nothing
    /// changes.
    void setGrades(const QModelIndexList &cells, Rating grade, const QModelIndex &current);
    /// Pastes tab-separated text at cell (`row`, `column`) into the shown columns (a heading naming
    /// a hidden one counts as having nowhere to go), as one step;
    /// what could not go in, as the message says it, or empty.
    QString paste(const QString &text, int row, int column);
    /// Reads a ratings spreadsheet into the ratings as one step; what the teacher is told, or
    /// the reason the file could not be read.
    Result<RatingsReport::Message> importFile(const QString &path);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    /// The grade's text, centred; for a screen reader "student category rating".
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    /// A grade (int or Rating's text) set in one cell as one step.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    /// The grades of these students changed (a step done, undone or redone).
    void gradesChanged(const QList<int> &rows);
    /// A step was undone: the view goes back to the cell it was taken at.
    void currentRequested(const QModelIndex &index);
    /// A column was shown or hidden.
    void columnHiddenChanged(int column, bool hidden);
    /// The class's drafting settings changed.
    void settingsChanged();

private:
    friend class RatingsStep;

    /// Pushes the step from the ratings now to `after` (none when they are equal).
    void pushStep(const QString &text, const RatingsFile::Table &after, const QModelIndex &current);
    /// For the steps: the ratings become `ratings`; `current` is asked for when valid.
    void putTable(const RatingsFile::Table &ratings, const QModelIndex &current);

    RatingsFile::Table m_table;
    QList<Column> m_columns;
    QUndoStack m_undo;
    bool m_edited = false;
};
