#pragma once

#include "core/document/documentlifecycle.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/textmeasurer.h"
#include "ui/app/commandid.h"
#include "ui/editor/workspace.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QToolButton;
class Session;
class Platform;
class copyright;
class HelpViewer;
class pyedit;
class stds;
class EditCommands;
class LibraryCommands;
class pytools;
class ps_control;
class ps_paper;
class ClassCheckDialog;
class FindDialog;
class DraftsDialog;
enum class PrintPanelMode;
class StudentCommands;

/// The main window `main`: menus, toolbar and the frame that holds the student list, the
/// editor and the library window.
class MainWindow : public QMainWindow, public Workspace
{
    Q_OBJECT

public:
    static inline const QString Caption = QStringLiteral("Quillmark 青禾书苑 v1.0");
    /// The docked layout, in twips: the editor starts this far right of the frame's left edge
    /// (the student list stands before it), and the library window is this high.
    static constexpr int StudentPaneWidth = 1300;
    static constexpr int LibraryPaneHeight = 3000;

    MainWindow(Session &session, Platform &platform, QWidget *parent = nullptr);
    ~MainWindow() override;

    /// The load: opens the child windows with the template, then the comment file named by
    /// the command-line text, if any.
    void load(const QString &commandLineText);

    /// The one action of a command, shared by the menus, the pop-up menus and the toolbar.
    QAction *command(CommandId id) const;
    /// The toolbar button with that string key ("save", "print", ...).
    QToolButton *toolButton(const QString &key) const;
    /// Enables the document commands while the editor shows a class with students; runs
    /// whenever the roster or the document changes and when the editor opens or closes.
    void updateActions();
    QMenu *kstudent() const { return m_kstudent; }
    QMenu *kpingyu() const { return m_kpingyu; }
    QToolBar *Toolbar1() const { return m_toolbar; }
    pyedit *editor() const override { return m_editor; }
    stds *studentList() const override { return m_students; }
    QMdiSubWindow *editorWindow() const { return m_editorWindow; }
    QMdiSubWindow *studentListWindow() const { return m_studentsWindow; }
    pytools *library() const override { return m_library; }
    HelpViewer *helpViewer() const { return m_helpViewer; }
    QMdiSubWindow *libraryWindow() const { return m_libraryWindow; }
    LibraryCommands &libraryCommands() { return *m_libraryCommands; }

    /// Opens the library window (docked at the bottom) if it is closed; returns it.
    pytools *openLibraryWindow() override;

    /// Print setup, preview and print: checks the printer, hides the editing windows and shows
    /// the sample page and the print panel (or brings them forward when they are open).
    void openPrintWindow(PrintPanelMode mode);
    ps_control *printControl() const { return m_printControl; }
    /// The class check's window, once it has been opened.
    ClassCheckDialog *classCheck() const { return m_classCheck; }
    /// The find-and-replace window, once it has been opened.
    FindDialog *findDialog() const { return m_find; }
    ps_paper *printPaper() const { return m_printPaper; }
    DocumentLifecycle &lifecycle() override { return m_lifecycle; }
    StudentCommands &studentCommands() { return *m_studentCommands; }
    EditCommands &editCommands() { return *m_editCommands; }

    /// Selects student k in the list (when it is open) and moves the editor to that student.
    void selectStudent(int k) override;

    /// Closes and reopens the student list, so that it lists the document's roster.
    void reopenStudentList(bool listEnabled) override;

    /// Rebuilds the editor from the document and enables the document commands when the
    /// roster has students. The one place that enables them.
    void RefreshViews() override;

    /// Places the child windows for the main window's current size.
    void EditorLayout();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // EditorHost
    void showEditorWindow(const QString &caption) override;
    void closeEditorWindow() override;
    bool editorIsOpen() const override;
    void setEditorCaption(const QString &caption) override;
    QWidget *dialogParent() override { return this; }
    ItemFonts displayFonts() const override;
    bool showEditingWindows() override;

    void createCommands();
    void createMenus();
    void createToolbar();
    /// A menu's entry: a command, or a separator with its object name.
    struct MenuEntry
    {
        MenuEntry(CommandId id)
            : id(id)
        {}
        MenuEntry(const char *separator)
            : separator(separator)
        {}
        CommandId id = CommandId::New;
        const char *separator = nullptr;
    };
    /// Adds the commands and separators to a menu.
    void fillMenu(QMenu *menu, std::initializer_list<MenuEntry> entries);
    QAction *recentCommand(int index) const;
    void openStudentList();
    void closeStudentList();
    void toggleStudentList();
    void closeLibraryWindow();
    void closePrintWindow();
    /// F6: the keyboard goes round the open panes, student list → editor → library.
    void focusNextPane();
    /// The library's pop-up with the commands the pressed list allows.
    void showLibraryPopup(const QPoint &at);
    void toggleLibraryWindow();
    void showHelp();
    void showAbout();
    /// 检查全班评语: the findings, measured with the print window's last scheme.
    void showClassCheck();
    /// A finding of the class check: its student in the editor with the text concerned
    /// selected, the dialog beside the card rather than over it.
    void showFinding(int student, int position, int length);
    /// 查找和替换: the window stays open beside the editor.
    void showFind();
    /// 评价表: the class's ratings and the drafts made from them.
    void showDrafts();
    /// 编辑→撤消 (redo false) or 重做: one step of the class's history; the views follow the roster.
    void takeStep(bool redo);
    /// 导出每位学生一份: the dialog, each time a new one.
    void showEachStudent();
    /// Lists the comment files opened or saved last in 文件 (those that still exist).
    void listRecentFiles();
    void openRecent(int index);
    int px(double twips) const;

    Session &m_session;
    Platform &m_platform;
    DocumentLifecycle m_lifecycle;
    std::array<QAction *, CommandCount> m_commands{};
    QAction *m_recentSeparator = nullptr;
    QtTextMeasurer m_measurer; ///< for 导出为PDF文件...
    QMdiArea *m_mdiArea = nullptr;
    QMenu *m_kstudent = nullptr;
    QMenu *m_kpingyu = nullptr;
    QToolBar *m_toolbar = nullptr;
    ClassCheckDialog *m_classCheck = nullptr;
    FindDialog *m_find = nullptr;
    DraftsDialog *m_drafts = nullptr;
    QStringList m_recentFiles; ///< what 文件 lists, in its order
    /// The scheme the print window showed last: comments are measured with it.
    /// The scheme comments are measured with: the one the print window showed last, as saved.
    pyedit *m_editor = nullptr;
    QMdiSubWindow *m_editorWindow = nullptr;
    stds *m_students = nullptr;
    QMdiSubWindow *m_studentsWindow = nullptr;
    copyright *m_about = nullptr;
    HelpViewer *m_helpViewer = nullptr;
    StudentCommands *m_studentCommands = nullptr;
    LibraryCommands *m_libraryCommands = nullptr;
    pytools *m_library = nullptr;
    QMdiSubWindow *m_libraryWindow = nullptr;
    ps_control *m_printControl = nullptr;
    ps_paper *m_printPaper = nullptr;
    std::unique_ptr<EditCommands> m_editCommands;
    bool m_closingEditor = false;
    QSize m_firstSize;
    bool m_frameChecked = false; // the first size was checked against the real frame
};
