#pragma once

#include <QDialog>

class ClassSettingsBar;
class DraftsBoard;
class QLabel;
class QPushButton;
class QScrollArea;
class QTableView;
class Platform;
class Session;

/// 评价表: the class's ratings, one row a student and one column a library category, the class's
/// stage, term and length above them, with a preview of the current student's draft and the
/// sentences the class's drafts share; 生成 writes the drafts into the comments as one
/// step of the class's history (编辑→撤消生成草稿). Each change of the ratings (a key, a paste,
/// an import) is a step of the ratings' own undo stack (撤消, Ctrl+Z; Ctrl+Y redoes). The window
/// shows a DraftsBoard, which holds the ratings and the drafts.
class DraftsDialog : public QDialog
{
    Q_OBJECT

public:
    DraftsDialog(Session &session, Platform &platform, QWidget *parent = nullptr);
    ~DraftsDialog() override;

    QTableView *grid() const { return m_grid; }
    QLabel *preview() const { return m_preview; }
    /// "全班没有重复的句子。" or the sentences the drafts share.
    QLabel *repeats() const { return m_repeats; }
    ClassSettingsBar *classSettings() const { return m_settings; }
    QScrollArea *previewArea() const { return m_previewArea; }
    DraftsBoard &board() const { return *m_board; }

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
    /// The ratings become the class's; a message when they could not be written beside it.
    void keepRatings();
    void setSelected(int grade);
    /// Makes (row, column) the current cell, the highlight on it alone.
    void goTo(int row, int column);
    /// The selection follows the current cell when a key moved it alone (Ctrl+Home).
    void currentMoved();
    /// The preview as tall as its text, the grid taking the rest.
    void fitPreview();
    void refreshPreview();
    void showHeaderMenu(const QPoint &at);

    Session &m_session;
    Platform &m_platform;
    DraftsBoard *m_board = nullptr;
    QTableView *m_grid = nullptr;
    QLabel *m_preview = nullptr;
    QLabel *m_repeats = nullptr;
    ClassSettingsBar *m_settings = nullptr;
    QScrollArea *m_previewArea = nullptr;
    QPushButton *m_undoButton = nullptr;
};
