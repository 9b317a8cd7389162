#include "ui/app/mainwindow.h"

#include "core/document/roster.h"
#include "core/document/session.h"
#include "core/platform/platform.h"
#include "core/platform/twips.h"
#include "core/printing/messages.h"
#include "core/printing/schemestore.h"
#include "ui/app/classcheckdialog.h"
#include "ui/app/copyright.h"
#include "ui/app/helpviewer.h"
#include "ui/app/screenfit.h"
#include "ui/app/studentcommands.h"
#include "ui/app/writingstatus.h"
#include "ui/editor/editcommands.h"
#include "ui/editor/finddialog.h"
#include "ui/editor/pyedit.h"
#include "ui/editor/stds.h"
#include "ui/library/draftsdialog.h"
#include "ui/library/librarycommands.h"
#include "ui/library/pytools.h"
#include "ui/platform/present.h"
#include "ui/printing/eachstudentdialog.h"
#include "ui/printing/paperarea.h"
#include "ui/printing/ps_control.h"
#include "ui/printing/ps_paper.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QWindow>

#include <algorithm>

namespace {

// The student list keeps its design client width.
constexpr int StudentListWidth = 1215;

// The window's design size, and an allowance for a window manager's frame until the real
// frame is known.
constexpr QSize DesignSize(1100, 780);
constexpr QMargins EstimatedFrame(4, 30, 4, 4);

} // namespace

MainWindow::MainWindow(Session &session, Platform &platform, QWidget *parent)
    : QMainWindow(parent)
    , m_session(session)
    , m_platform(platform)
    , m_lifecycle(session, platform, *this)
{
    setObjectName(QStringLiteral("main"));
    setWindowTitle(Caption);
    setWindowIcon(QIcon(m_session.Files().programIcon()));
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdiArea);
    // The children are laid out whenever the client area changes, whatever changed it.
    m_mdiArea->viewport()->installEventFilter(this);
    m_studentCommands = new StudentCommands(m_session, m_platform, *this);
    m_editCommands = std::make_unique<EditCommands>(m_session, m_platform, *this);
    m_libraryCommands = new LibraryCommands(m_session, m_platform, *this, this);
    createCommands();
    createMenus();
    createToolbar();
    setStatusBar(new WritingStatus(m_session, this));
    updateActions();
    connect(&m_session, &Session::rosterChanged, this, &MainWindow::updateActions);
    connect(&m_session, &Session::documentReplaced, this, &MainWindow::updateActions);
    // 撤消/重做 name the step they take and what it leaves: a comment typed changes that too.
    connect(&m_session.History(), &QUndoStack::indexChanged, this, &MainWindow::updateActions);
    connect(&m_session, &Session::historyCleared, this, &MainWindow::updateActions);
    connect(&m_session, &Session::commentChanged, this, &MainWindow::updateActions);
    resize(ScreenFit::firstSize(DesignSize, screen()->availableGeometry(), EstimatedFrame));
    m_firstSize = size();
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    // Once the window manager has framed the window, the real frame replaces the estimate.
    if (!m_frameChecked)
        m_frameChecked = ScreenFit::fitFramed(*this, m_firstSize);
}

MainWindow::~MainWindow() = default;

int MainWindow::px(double twips) const
{
    return Twips::toPixels(twips, logicalDpiY());
}

void MainWindow::load(const QString &commandLineText)
{
    m_session.setCurrentFile(QString(), m_session.HasFileName());
    openLibraryWindow();
    m_lifecycle.OpenEditor();
    m_session.markSaved();
    if (m_editor)
        m_editor->setFocus();
    if (!commandLineText.isEmpty())
        m_lifecycle.openPath(commandLineText);
}

void MainWindow::RefreshViews()
{
    if (!m_editor)
        return;
    const int n = m_editor->rebuildCards();
    if (m_students)
        m_students->stdlist()->setEnabled(n > 0);
    updateActions();
}

void MainWindow::takeStep(bool redo)
{
    const QStringList names = Roster::names(m_session.Document());
    const int current = m_session.CurrentStudent();
    redo ? m_session.History().redo() : m_session.History().undo();
    // A roster step: the list and the cards are laid out anew, on the same student where it is
    // still there.
    if (Roster::names(m_session.Document()) != names) {
        if (m_students)
            reopenStudentList(true);
        RefreshViews();
        if (current >= 0 && current < m_session.Document().studentCount())
            selectStudent(current);
    }
}

void MainWindow::showEditorWindow(const QString &caption)
{
    if (!m_editor) {
        m_editor = new pyedit(m_session, m_platform);
        m_editorWindow = m_mdiArea->addSubWindow(m_editor);
        m_editorWindow->setObjectName(QStringLiteral("pyeditWindow"));
        m_editorWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_editorWindow->installEventFilter(this);
        connect(m_editor, &pyedit::currentCardChanged, this, [this](int v) {
            if (m_students)
                m_students->select(v);
        });
        connect(m_editor, &pyedit::studentMenuRequested, this,
                [this](const QPoint &at) { m_kstudent->popup(at); });
        connect(m_editor, &pyedit::signaturePressed, m_studentCommands, &StudentCommands::showSignatureGuess);
        connect(m_editor, &pyedit::emptyRosterTimeout, m_studentCommands,
                &StudentCommands::showNoStudentGuess);
        // Comments are measured as they are typed, with the session's chosen scheme.
        m_editor->setFitScheme(SchemeStore(m_session).activeOrNone());
        connect(&m_session, &Session::activeSchemeChanged, m_editor,
                [this] { m_editor->setFitScheme(SchemeStore(m_session).activeOrNone()); });
    }
    m_editorWindow->setWindowTitle(caption);
    EditorLayout();
    m_editorWindow->show();
}

void MainWindow::closeEditorWindow()
{
    if (!m_editorWindow)
        return;
    m_closingEditor = true;
    m_editorWindow->close();
    m_closingEditor = false;
    m_editorWindow = nullptr;
    m_editor = nullptr;
    updateActions();
}

bool MainWindow::editorIsOpen() const
{
    return m_editor != nullptr;
}

void MainWindow::setEditorCaption(const QString &caption)
{
    if (m_editorWindow)
        m_editorWindow->setWindowTitle(caption);
}

ItemFonts MainWindow::displayFonts() const
{
    return m_editor ? m_editor->displayFonts() : m_session.Document().ItemFonts;
}

void MainWindow::selectStudent(int k)
{
    if (k < 0)
        return;
    if (m_students)
        m_students->select(k);
    if (m_editor) {
        m_editor->moveTo(k);
        m_editor->focusCommentEnd(k);
    }
}

void MainWindow::openStudentList()
{
    if (m_students)
        return;
    m_students = new stds(m_session, m_platform);
    m_studentsWindow = m_mdiArea->addSubWindow(m_students);
    m_studentsWindow->setObjectName(QStringLiteral("stdsWindow"));
    m_studentsWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_studentsWindow->installEventFilter(this);
    connect(m_students, &stds::stdlistClick, this, [this](int k) {
        if (!m_editor)
            return;
        m_editor->moveTo(k);
        m_editor->focusCommentEnd(k);
    });
    connect(m_students, &stds::studentMenuRequested, this,
            [this](const QPoint &at) { m_kstudent->popup(at); });
    EditorLayout();
    m_studentsWindow->show();
    m_students->fill();
    command(CommandId::StudentList)->setChecked(true);
}

void MainWindow::closeStudentList()
{
    if (m_studentsWindow)
        m_studentsWindow->close();
}

void MainWindow::reopenStudentList(bool listEnabled)
{
    closeStudentList();
    openStudentList();
    m_students->stdlist()->setEnabled(listEnabled && m_students->stdlist()->count() > 0);
}

void MainWindow::toggleStudentList()
{
    if (m_students)
        closeStudentList();
    else
        openStudentList();
    command(CommandId::StudentList)->setChecked(m_students != nullptr);
}

pytools *MainWindow::openLibraryWindow()
{
    if (m_library)
        return m_library;
    m_library = new pytools(m_session, m_platform, [this] { return m_editor; });
    m_libraryWindow = m_mdiArea->addSubWindow(m_library);
    m_libraryWindow->setObjectName(QStringLiteral("pytoolsWindow"));
    m_libraryWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_libraryWindow->installEventFilter(this);
    connect(m_library, &pytools::saveRequested, this, [this] { m_libraryCommands->save(m_library); });
    connect(m_library, &pytools::popupRequested, this, &MainWindow::showLibraryPopup);
    EditorLayout();
    m_libraryWindow->show();
    command(CommandId::Library)->setChecked(true);
    return m_library;
}

void MainWindow::openPrintWindow(PrintPanelMode mode)
{
    if (m_printControl) {
        // Already open: bring it forward; the panel keeps the mode its box shows.
        m_printPaper->raise();
        m_printControl->raise();
        m_printControl->activateWindow();
        return;
    }
    if (mode == PrintPanelMode::Setup && m_session.CurrentStudent() >= 0 &&
        m_session.Document().slot(m_session.CurrentStudent() + 1).comment.isEmpty()) {
        if (m_platform.messageBox(PrintMessages::EmptyCommentQuestion, Platform::QuestionTitle,
                                  MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes)
            return;
    }
    if (m_session.CurrentStudent() < 0)
        m_session.setCurrentStudent(0);
    m_toolbar->setEnabled(false);
    // Take the keyboard away from the editing windows first: Qt would otherwise hand it on to
    // another comment box, hidden, where a key would still land.
    if (QWidget *focus = QApplication::focusWidget(); focus && m_mdiArea->isAncestorOf(focus))
        focus->clearFocus();
    for (QMdiSubWindow *window : {m_editorWindow, m_libraryWindow, m_studentsWindow}) {
        if (window)
            window->hide();
    }
    QWidget *area = m_mdiArea->viewport();
    // The page scrolls in an area of its own, which goes when the page is closed.
    m_printPaper = new ps_paper;
    auto *paperArea = new PaperArea(m_printPaper, area);
    paperArea->show();
    m_printControl = new ps_control(m_session, m_platform, m_printPaper, mode, area);
    m_printControl->move(0, 0);
    m_printControl->show();
    m_printControl->raise();
    m_printControl->setFocus(Qt::OtherFocusReason);
    paperArea->keepClearOf(m_printControl);
    connect(m_printControl, &ps_control::closed, this, &MainWindow::closePrintWindow);
}

void MainWindow::closePrintWindow()
{
    if (m_printPaper) {
        m_printPaper->deleteLater();
        m_printPaper = nullptr;
    }
    if (m_printControl) {
        // The page it composes is going: the editor's moves below are none of its business.
        disconnect(&m_session, nullptr, m_printControl, nullptr);
        m_printControl->deleteLater();
        m_printControl = nullptr;
    }
    // The editor comes back at the student the preview showed last (its repaint applies any
    // font changed in the print window). Read it before the windows reappear.
    const int student = m_session.CurrentStudent();
    for (QMdiSubWindow *window : {m_editorWindow, m_libraryWindow, m_studentsWindow}) {
        if (window)
            window->show();
    }
    m_toolbar->setEnabled(true);
    EditorLayout();
    // The chosen scheme as saved: edits the print window did not save went with it.
    if (m_editor)
        m_editor->setFitScheme(SchemeStore(m_session).activeOrNone());
    if (m_editor && student >= 0 && student < m_editor->cardCount())
        selectStudent(student);
    else if (m_editor)
        m_session.setCurrentStudent(m_editor->VScroll1()->value());
}

bool MainWindow::showEditingWindows()
{
    if (m_printControl)
        m_printControl->close(); // as its 退出: a run in progress stops first, and it stays open
    return m_printControl == nullptr;
}

void MainWindow::focusNextPane()
{
    if (m_printControl)
        return; // the panes are hidden behind the print window
    QMdiSubWindow *const panes[] = {m_studentsWindow, m_editorWindow, m_libraryWindow};
    QWidget *focus = QApplication::focusWidget();
    int from = -1;
    for (int i = 0; i < 3; ++i) {
        if (panes[i] && focus && panes[i]->isAncestorOf(focus))
            from = i;
    }
    for (int step = 1; step <= 3; ++step) {
        const int i = (from + step) % 3;
        QMdiSubWindow *pane = panes[i];
        if (!pane || i == from)
            continue;
        // The area makes the pane that gets the focus its active window.
        if (pane == m_editorWindow && m_editor) {
            const int k = std::clamp(m_session.CurrentStudent(), 0, m_editor->cardCount() - 1);
            m_editor->pytext1(k)->setFocus(Qt::ShortcutFocusReason);
        } else if (pane == m_studentsWindow) {
            m_students->stdlist()->setFocus(Qt::ShortcutFocusReason);
        } else if (m_library) {
            // Where the library had the keyboard last, or its category list.
            QWidget *last = m_library->focusWidget();
            (last ? last : m_library->lblb())->setFocus(Qt::ShortcutFocusReason);
        }
        return;
    }
}

void MainWindow::showClassCheck()
{
    if (!m_classCheck) {
        m_classCheck = new ClassCheckDialog(
            m_session, [this] { return SchemeStore(m_session).activeOrNone(); }, this);
        connect(m_classCheck, &ClassCheckDialog::findingChosen, this, &MainWindow::showFinding);
    }
    m_classCheck->check();
    present(m_classCheck);
}

void MainWindow::showFinding(int student, int position, int length)
{
    // The finding is shown in the editor: the print window, if open, is left first.
    if (!showEditingWindows() || !m_editor || student >= m_editor->cardCount())
        return;
    selectStudent(student);
    if (position >= 0)
        m_editor->selectInComment(student, position, length);
    // The dialog steps aside so that the card it points at can be read.
    const QRect name = m_editor->student(student)->geometry();
    const QRect comment = m_editor->pytext1(student)->geometry();
    const QRect card((name | comment).topLeft() + m_editor->frame()->mapToGlobal(QPoint()),
                     (name | comment).size());
    const QRect frame = m_classCheck->frameGeometry();
    const QSize chrome = frame.size() - m_classCheck->size();
    const QRect clear = ScreenFit::clearOf(frame, card, m_classCheck->screen()->availableGeometry(),
                                           m_classCheck->minimumSizeHint() + chrome);
    // A window's position is that of its frame; its size is without the frame.
    m_classCheck->move(clear.topLeft());
    m_classCheck->resize(clear.size() - chrome);
}

void MainWindow::showFind()
{
    if (!m_find) {
        m_find = new FindDialog(
            m_session, m_platform, [this] { return m_editor; }, this);
    }
    present(m_find);
}

void MainWindow::showDrafts()
{
    if (!m_drafts) {
        m_drafts = new DraftsDialog(m_session, m_platform, this);
    }
    m_drafts->reload();
    present(m_drafts);
}

void MainWindow::showEachStudent()
{
    auto *dialog = new EachStudentDialog(m_session, m_measurer, m_platform, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(true);
    present(dialog);
}

void MainWindow::closeLibraryWindow()
{
    if (m_libraryWindow)
        m_libraryWindow->close();
}

void MainWindow::toggleLibraryWindow()
{
    if (m_library)
        closeLibraryWindow();
    else
        openLibraryWindow();
    command(CommandId::Library)->setChecked(m_library != nullptr);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mdiArea->viewport() && event->type() == QEvent::Resize) {
        EditorLayout();
        return false;
    }
    if (event->type() == QEvent::Close) {
        if (watched == m_editorWindow && !m_closingEditor) {
            // The editor's own close box closes the document, with the save question.
            event->ignore();
            m_lifecycle.closeDocument();
            return true;
        }
        if (watched == m_libraryWindow) {
            m_libraryWindow = nullptr;
            m_library = nullptr;
            command(CommandId::Library)->setChecked(false);
        }
        if (watched == m_studentsWindow) {
            m_studentsWindow = nullptr;
            m_students = nullptr;
            command(CommandId::StudentList)->setChecked(false);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::EditorLayout()
{
    if (isMinimized())
        return;
    // The children share the frame's client area: the outer size less the chrome around it
    // (title bar, menu bar, toolbar, borders). That chrome is measured here rather than
    // assumed, so the layout is the same before and after the window manager adds its frame,
    // and the library window always ends at the bottom edge instead of below it.
    const QSize client = m_mdiArea->viewport()->size();
    // A window too small for the constants keeps every child at least this size.
    const int minimum = px(300);
    const int libraryHeight = px(LibraryPaneHeight);
    const int paneHeight = std::max(client.height() - libraryHeight, minimum);
    if (m_libraryWindow)
        m_libraryWindow->setGeometry(0, paneHeight, std::max(client.width(), minimum), libraryHeight);
    if (m_studentsWindow)
        m_studentsWindow->setGeometry(0, 0, px(StudentListWidth + 100), paneHeight);
    if (m_editorWindow) {
        const int left = px(StudentPaneWidth);
        m_editorWindow->setGeometry(left, 0, std::max(client.width() - left, minimum), paneHeight);
    }
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    EditorLayout();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_lifecycle.canExit())
        event->accept();
    else
        event->ignore();
}

void MainWindow::showHelp()
{
    const QString page = m_session.Files().help();
    if (m_platform.openWithDefaultViewer(page))
        return;
    // The desktop cannot show the page: the program's own viewer does, so help always works.
    if (!m_helpViewer)
        m_helpViewer = new HelpViewer(this);
    m_helpViewer->showPage(page);
}

void MainWindow::showAbout()
{
    if (!m_about)
        m_about = new copyright(m_session, m_platform, m_session.ProgramFolder(), {}, this);
    present(m_about);
}
