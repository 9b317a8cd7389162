#pragma once

#include "core/library/commentlibrary.h"
#include "core/library/librarylocation.h"
#include "core/library/librarywatch.h"

#include <QColor>
#include <QPoint>
#include <QWidget>

#include <chrono>

#include <functional>
#include <optional>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTreeWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class Session;
class Platform;
class pyedit;

/// The open editing panel's purpose.
enum class PanelMode { None, AddCategory, EditCategory, AddComment, EditComment };

/// The list in which a mouse button was last pressed: what the pop-up commands act on.
enum class PopupTarget { CategoryList, CommentList };

/// The library window "评语资源库", docked under the editor: categories on the left, the stock
/// comments of the selected category and rating on the right, and the editing panel `Frame1`
/// used by the library commands. A double click on a comment inserts it into the current
/// student's comment.
class pytools : public QWidget
{
    Q_OBJECT

public:
    /// editor gives the open editor window or nullptr.
    pytools(Session &session, Platform &platform, std::function<pyedit *()> editor,
            QWidget *parent = nullptr);

    QGroupBox *pylb() const { return m_pylb; }
    QListWidget *lblb() const { return m_lblb; }
    QGroupBox *xxnr() const { return m_xxnr; }
    QRadioButton *Option1() const { return m_options[0]; }
    QRadioButton *Option2() const { return m_options[1]; }
    QRadioButton *Option3() const { return m_options[2]; }
    QListWidget *lbnr() const { return m_lbnr; }
    /// The search box above the comment list, and what it found (shown instead of the list
    /// while the box holds a word).
    QLineEdit *searchBox() const { return m_search; }
    QTreeWidget *searchResults() const { return m_results; }
    QGroupBox *Frame1() const { return m_frame; }
    QLineEdit *Text1() const { return m_text; }
    QPushButton *Command1() const { return m_save; }
    QPushButton *Command2() const { return m_cancel; }
    QTimer *Timer1() const { return m_timer; }
    /// Asks every few seconds whether the library file changed (reloadIfChanged).
    QTimer *libraryWatchTimer() const { return m_watchTimer; }

    /// The library in use (评语库位置...): the teacher's own in the program folder, or another.
    /// A change that waits for another teacher's lock longer than a few seconds shows who
    /// holds it in a progress box until the lock is had or the wait is given up.
    CommentLibrary library() const;
    /// How long a change waits for another's lock, and when it says so (tests shorten them).
    void setLockWait(std::chrono::milliseconds limit, std::chrono::milliseconds noticeAfter);
    /// The progress box's text while a change waits for the lock `who` holds.
    static QString lockWaitText(const LockHolder &who);
    LibraryLocation location() const;

    /// The window's load: the category list refilled from the file with its first entry
    /// selected (which fills the comment list), the panel hidden, no panel mode. The rating
    /// options keep their state. Shows the corrupt-library message when the file is unreadable.
    void load();

    /// Loads the library again when its file changed since it was read (another teacher's or
    /// another window's change), keeping the selected category, rating and comment (by text,
    /// else by place). Waits while the editing panel is open, so nothing typed is lost. Runs
    /// on libraryWatchTimer and when the window gets the focus.
    void reloadIfChanged();

    /// Refills the comment list for the selected category (blanks around it removed) and the
    /// rating that is on, and selects its first entry.
    void fillComments();

    /// The rating whose option is on; setting it checks that option (which refills the list).
    Rating rating() const;
    void setRating(Rating rating);

    /// The selected category's text as listed (or "" with none), and its index (-1).
    QString selectedCategory() const;
    int selectedCategoryIndex() const;
    /// The selected comment (or "" with none), and its index (-1).
    QString selectedComment() const;
    int selectedCommentIndex() const;

    PanelMode panelMode() const { return m_mode; }
    PopupTarget popupTarget() const { return m_popupTarget; }
    /// Which pop-up commands the list pressed last allows: 修改 and 删除 (edit), and
    /// 添加当前所选 (addSelection, in the comment list only).
    struct PopupItems
    {
        bool edit = true;
        bool addSelection = false;
    };
    PopupItems popupItems() const { return m_popupItems; }

    /// Opens the editing panel for a mode: its caption, its place, the text, the focus in
    /// Text1 with the caret at the end.
    void openPanel(PanelMode mode, const QString &text);
    /// Hides the panel ("取消"); the panel mode stays until the next load.
    void Command2Click();

    /// Inserts the selected stock comment into the current student's comment at the caret.
    void insertStockComment();
    /// Inserts a stock comment at the caret of the current comment box, as insertStockComment.
    void insertComment(const QString &comment);
    /// Shows the stock comments of every category and rating holding the query's words.
    void search(const QString &query);

    /// The panel's caption for a mode.
    static QString panelCaption(PanelMode mode);

    /// Tells the teacher why a library query or change failed: the corrupt-library message
    /// when the file could not be read, "保存评语库失败！" and the reason when it could not be
    /// written (critical icon).
    static void tellFailure(Platform &platform, const Failure &failure);
    /// The tooltip that shows a stock comment's marks; "" for a comment without marks.
    static QString marksTip(const QString &line);
    /// Tells the teacher why result failed, if it did; returns whether it succeeded.
    template<typename T> static bool reportFailure(Platform &platform, const Result<T> &result)
    {
        if (!result)
            tellFailure(platform, result.failure());
        return result.ok();
    }

signals:
    /// "保存" was pressed: the library commands carry out the panel's mode.
    void saveRequested();
    /// The right button was pressed in a list: show the pop-up menu here.
    void popupRequested(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void insertAtCaret(const std::optional<QString> &comment);
    int px(double twips) const;
    void placeControls();
    void placePanel();
    void placeIn(QWidget *control, int shift, int left, int top, int width, int height) const;
    int titleShift(QGroupBox *box, int designTop) const;
    void movePanel(const QPoint &topLeft);
    void endDrag();
    QColor captionColour() const;
    void setCaptionColour(const QColor &colour);
    void blink();

    Session &m_session;
    Platform &m_platform;
    std::function<pyedit *()> m_editor;
    QGroupBox *m_pylb = nullptr;
    QListWidget *m_lblb = nullptr;
    QGroupBox *m_xxnr = nullptr;
    QRadioButton *m_options[3] = {};
    QListWidget *m_lbnr = nullptr;
    QLineEdit *m_search = nullptr;
    QTreeWidget *m_results = nullptr;
    /// The library read for searching; read again after a change.
    std::optional<QList<CommentLibrary::Entry>> m_entries;
    QGroupBox *m_frame = nullptr;
    QLineEdit *m_text = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    QTimer *m_timer = nullptr;
    QTimer *m_watchTimer = nullptr;
    LibraryWatch m_watch;
    LockWait m_lockWait;
    PanelMode m_mode = PanelMode::None;
    PopupTarget m_popupTarget = PopupTarget::CategoryList;
    PopupItems m_popupItems;
    QPoint m_grabOffset;
    bool m_grabbing = false;
    bool m_forwarding = false; ///< a list press is being passed on to the list
};
