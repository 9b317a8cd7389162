#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class Platform;
class Session;
class pyedit;

/// 编辑 → 查找和替换: finds text in every comment of the class (next, previous, round the class),
/// replaces the one found or all of them. It works on the comment boxes, so that each replace is
/// an edit the box can undo and only a real change marks the document modified. A replace-all
/// asks first, saying how many places in how many students, and is one step of the class's
/// history (编辑→撤消全部替换). It stays open beside the editor.
class FindDialog : public QDialog
{
    Q_OBJECT

public:
    /// editor gives the open editor, or nullptr.
    FindDialog(Session &session, Platform &platform, std::function<pyedit *()> editor,
               QWidget *parent = nullptr);

    QLineEdit *findText() const { return m_find; }
    QLineEdit *replaceText() const { return m_replace; }
    /// What the last action found or did.
    QLabel *status() const { return m_status; }

    /// Selects the next place (or the previous one) after the caret of the current comment.
    bool findNext(bool backwards = false);
    /// Replaces the place selected, if it is one, and finds the next.
    void replaceOne();
    /// Replaces every place in the class once the teacher agreed; how many (0 when cancelled).
    int replaceAll();
private:
    Qt::CaseSensitivity caseSensitivity() const;
    QPlainTextEdit *box(int student) const;
    /// The comment boxes' texts of the roster, in order.
    QStringList boxTexts() const;

    Session &m_session;
    Platform &m_platform;
    std::function<pyedit *()> m_editor;
    QLineEdit *m_find = nullptr;
    QLineEdit *m_replace = nullptr;
    QCheckBox *m_case = nullptr;
    QLabel *m_status = nullptr;
};
