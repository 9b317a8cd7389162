#pragma once

#include "core/app/classdrafts.h"

#include <QDialog>
#include <QHash>
#include <QPoint>

#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;
class QTableWidget;
class QUndoStack;
class Platform;
class Session;

/// 评价表: the class's ratings, one row a student and one column a library category, with a
/// preview of the current student's draft; 生成 writes the drafts into the comments as one
/// step of the class's history (编辑→撤消生成草稿). Each change of the ratings (a key, a paste,
/// an import) is a step of the window's own undo stack (撤消, Ctrl+Z; Ctrl+Y redoes).
class DraftsDialog : public QDialog
{
    Q_OBJECT

public:
    DraftsDialog(Session &session, Platform &platform, QWidget *parent = nullptr);
    ~DraftsDialog() override;

    QTableWidget *grid() const { return m_grid; }
    QLabel *preview() const { return m_preview; }
    QScrollArea *previewArea() const { return m_previewArea; }
    /// The ratings' own steps, since the window opened.
    QUndoStack *ratingsUndo() const { return m_ratingsUndo; }

    /// Fills the grid from the library and the class's ratings (each time the window opens).
    void reload();
    /// 导入...: fills the grid's cells that a spreadsheet rates, and says what it set and left.
    void importFile();
    /// Ctrl+V: tab-separated text from the clipboard at the current cell, by name where it
    /// holds names or headings.
    void pasteRatings();
    /// 换一句 for the selected student.
    void redrawCurrent();
    /// 生成: the drafts go into the comments; false when nothing was done.
    bool apply();

    /// 关闭 (and Esc): the ratings are kept with the class all the same.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    RatingsFile::Table table() const;
    /// The grid's ratings become the class's, written beside a named class.
    void keepRatings();
    void setCell(int row, int column, Rating grade);
    void setSelected(Rating grade);
    /// The grid's ratings become `after` as one undoable step named `text` (none when unchanged).
    void pushRatings(const QString &text, const RatingsFile::Table &after);
    /// Puts a table into the grid (a step done or undone); `current` (column, row) when not -1.
    void showRatings(const RatingsFile::Table &ratings, QPoint current);
    /// The visible columns from `column` on, in order.
    QList<int> visibleColumnsFrom(int column) const;
    /// The selection follows the current cell when a key moved it alone (Ctrl+Home).
    void currentMoved();
    /// The preview as tall as its text, the grid taking the rest.
    void fitPreview();
    void ratingsEdited(int row);
    void refreshPreview();
    void showHeaderMenu(const QPoint &at);

    Session &m_session;
    Platform &m_platform;
    QTableWidget *m_grid = nullptr;
    QLabel *m_preview = nullptr;
    QScrollArea *m_previewArea = nullptr;
    QUndoStack *m_ratingsUndo = nullptr;
    QPushButton *m_undoButton = nullptr;
    std::unique_ptr<ClassDrafts::Drafter> m_drafter;
    QList<Drafts::Draft> m_drafts;      ///< as drawn for the grid's ratings
    QHash<int, Drafts::Draft> m_redrawn; ///< 换一句 per student, until its ratings change
    bool m_edited = false; ///< the grid's ratings changed since the window opened
};
