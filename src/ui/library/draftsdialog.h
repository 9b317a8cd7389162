#pragma once

#include "core/app/classdrafts.h"

#include <QDialog>
#include <QHash>

#include <memory>

class QLabel;
class QTableWidget;
class Platform;
class Session;

/// 评价表: the class's ratings, one row a student and one column a library category, with a
/// preview of the selected student's draft; 生成 writes the drafts into the comments as one
/// step of the class's history (编辑→撤消生成草稿).
class DraftsDialog : public QDialog
{
    Q_OBJECT

public:
    DraftsDialog(Session &session, Platform &platform, QWidget *parent = nullptr);
    ~DraftsDialog() override;

    QTableWidget *grid() const { return m_grid; }
    QLabel *preview() const { return m_preview; }

    /// Fills the grid from the library and the class's ratings (each time the window opens).
    void reload();
    /// 导入...: reads a spreadsheet into the grid and lists what it could not take.
    void importFile();
    /// Ctrl+V: tab-separated text from the clipboard, from the current cell on.
    void pasteRatings();
    /// 换一句 for the selected student.
    void redrawCurrent();
    /// 生成: the drafts go into the comments; false when nothing was done.
    bool apply();

    /// 关闭 (and Esc): the ratings are kept with the class all the same.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    RatingsFile::Table table() const;
    /// The grid's ratings become the class's, written beside a named class.
    void keepRatings();
    void setCell(int row, int column, Grade grade);
    void setSelected(Grade grade);
    void ratingsEdited(int row);
    void refreshPreview();
    void showHeaderMenu(const QPoint &at);

    Session &m_session;
    Platform &m_platform;
    QTableWidget *m_grid = nullptr;
    QLabel *m_preview = nullptr;
    std::unique_ptr<ClassDrafts::Drafter> m_drafter;
    QList<Drafts::Draft> m_drafts;      ///< as drawn for the grid's ratings
    QHash<int, Drafts::Draft> m_redrawn; ///< 换一句 per student, until its ratings change
    bool m_edited = false; ///< the grid's ratings changed since the window opened
};
