#include "core/app/startupsequence.h"
#include "core/document/commentfile.h"
#include "core/document/ratingsfile.h"
#include "core/document/session.h"
#include "core/export/exporttext.h"
#include "core/platform/textfile.h"
#include "mainwindowtest.h"
#include "menuitem.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "sessionedit.h"
#include "ui/app/accessibility.h"
#include "ui/app/classcheckdialog.h"
#include "ui/app/copyright.h"
#include "ui/app/helpviewer.h"
#include "ui/app/mainwindow.h"
#include "ui/app/screenfit.h"
#include "ui/app/writingstatus.h"
#include "ui/editor/finddialog.h"
#include "ui/editor/pyedit.h"
#include "ui/editor/stds.h"
#include "ui/library/pytools.h"
#include "ui/printing/previewpanel.h"
#include "ui/printing/ps_control.h"
#include "ui/printing/ps_paper.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>

namespace {

// Writes a class of n students into dir and returns its path.
QString writeClass(const QTemporaryDir &dir, int n, const QString &name = QStringLiteral("class.py"))
{
    CommentDocument document;
    for (int i = 1; i <= n; ++i)
        document.slot(i) = {QStringLiteral("学生%1").arg(i),
                            QStringLiteral("第%1位的评语。\r\n第二行").arg(i)};
    const QString path = dir.filePath(name);
    if (!CommentFile::write(path, document, document.ItemFonts))
        qWarning() << "could not write" << path;
    return path;
}

const QStringList DocumentItems = {"save", "saveas", "close"};

} // namespace

class tst_MainWindow : public MainWindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menusAndToolbar();
    void opensClassFromCommandLine();
    void visibleCards_data();
    void visibleCards();
    void typingGoesIntoTheDocument_data();
    void typingGoesIntoTheDocument();
    void progressFollowsTyping();
    void nextStudentKeys_data();
    void nextStudentKeys();
    void classCheckMovesToTheFinding();
    void fitWarningFollowsTyping();
    void findAndReplace();
    void recentFilesInTheMenu();
    void listAndNeighbourCardMoveTheStrip();
    void closeQuestion_data();
    void closeQuestion();
    void saveUnnamedAsksAndSetsCaption();
    void ctrlSSavesAndFailedSaveKeepsModified();
    void closeLeavesTemplateAndDisablesCommands();
    void rejectedFileIsNeverOverwritten();
    void layoutNumbers();
    void emptyNameBoxShowsMessage();
    void linkedRatingsFileIsNotRead();
    void studentsCancelTheEmptyRosterGuess_data();
    void studentsCancelTheEmptyRosterGuess();
    void unnamedYesThenCancelledDialogKeepsEverything();
    void toolbarDispatchesByKey();
    void exportCommandsLeaveTheDocument();
    void aboutWindowTakesTheKeyboard_data();
    void aboutWindowTakesTheKeyboard();
    void printWindowReachesScreenReaders();
    void printWindowEntry_data();
    void printWindowEntry();
    void fileCommandsLeaveThePrintWindow_data();
    void fileCommandsLeaveThePrintWindow();
    void f6GoesRoundThePanes();
    void findingLeavesThePrintWindow();
    void dialogStepsAside_data();
    void dialogStepsAside();
    void printWindowKeepsTheStudent_data();
    void printWindowKeepsTheStudent();

private:
    QTemporaryDir m_dir;

    void start(const QString &commandLine = QString());
    pyedit *editor() const { return m_window->editor(); }
};

void tst_MainWindow::init()
{
    setUpWorkspace();
}

void tst_MainWindow::cleanup()
{
    tearDownWorkspace();
}

void tst_MainWindow::start(const QString &commandLine)
{
    QVERIFY(showWindow(commandLine));
}

void tst_MainWindow::menusAndToolbar()
{
    start();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Quillmark 青禾书苑 v1.0"));
    QCOMPARE(menuItem(*m_window, "new")->text(), QStringLiteral("新建(&N)"));
    QCOMPARE(menuItem(*m_window, "save")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(menuItem(*m_window, "print1")->text(), QStringLiteral("打印(&P)..."));
    QVERIFY(menuItem(*m_window, "student")->isChecked());
    QCOMPARE(m_window->kstudent()->actions().size(), 8);
    QCOMPARE(m_window->kpingyu()->actions().size(), 6);
    QStringList keys;
    for (QAction *button : m_window->Toolbar1()->actions())
        keys << (button->isSeparator() ? QStringLiteral("-") : button->property("key").toString());
    QCOMPARE(keys, (QStringList{"new", "open", "save", "-", "cut", "copy", "paste", "-", "privew", "print"}));
    // A button's tip and the name a screen reader reads: the command without its access key.
    for (const auto &[key, name] : {std::pair{"privew", "打印预览"}, std::pair{"open", "打开"}}) {
        QCOMPARE(m_window->toolButton(key)->toolTip(), QString::fromUtf8(name));
        QCOMPARE(m_window->toolButton(key)->accessibleName(), QString::fromUtf8(name));
    }
    // The pop-ups hold the menu bar's own commands where the command is the same.
    QCOMPARE(m_window->kstudent()->actions().at(0), menuItem(*m_window, "delstudent"));
    QVERIFY(m_window->kpingyu()->actions().contains(menuItem(*m_window, "pldr")));
    // Without students the document commands are disabled, on the menus and the toolbar.
    for (const char *name : {"cut", "setup"})
        QVERIFY2(!menuItem(*m_window, QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(!m_window->toolButton("cut")->isEnabled());
    menuItem(*m_window, "zhuti")->trigger();
    QCOMPARE(m_platform->openedInViewer, QStringList{m_folder->file("help/indexhelp.htm")});
    QVERIFY(!m_window->helpViewer());

    // Where the desktop cannot show the page, the program's own viewer does.
    m_platform->viewerOpens = false;
    menuItem(*m_window, "zhuti")->trigger();
    HelpViewer *viewer = m_window->helpViewer();
    QVERIFY(viewer && viewer->isVisible());
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Quillmark 青禾书苑 帮助"));
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("青禾书苑")));
}

void tst_MainWindow::opensClassFromCommandLine()
{
    start(writeClass(m_dir, 30));
    QCOMPARE(m_window->studentList()->stdlist()->count(), 30);
    QCOMPARE(m_window->studentList()->stdlist()->currentRow(), 0);
    QCOMPARE(editor()->cardCount(), 30);
    QCOMPARE(m_window->editorWindow()->windowTitle(), QStringLiteral("评语编辑窗口：class.py"));
    QVERIFY(!m_state->Modified());
    QVERIFY(m_state->HasFileName());
    QCOMPARE(m_state->CurrentStudent(), 0);
    QPlainTextEdit *box = editor()->pytext1(0);
    QTRY_VERIFY(box->hasFocus());
    QCOMPARE(box->textCursor().position(), box->toPlainText().size());
    // Card 0 is centred in the frame.
    const int top = editor()->student(0)->y();
    const int bottom = editor()->teacher(0)->geometry().bottom();
    QVERIFY(qAbs(top - (editor()->frame()->height() - bottom)) <= 2);
    for (const QString &name : DocumentItems)
        QVERIFY(menuItem(*m_window, name)->isEnabled());
}

void tst_MainWindow::visibleCards_data()
{
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("value");
    QTest::addColumn<QList<int>>("visible");
    QTest::newRow("one") << 1 << 0 << QList<int>{0};
    QTest::newRow("two at 0") << 2 << 0 << QList<int>{0, 1};
    QTest::newRow("two at 1") << 2 << 1 << QList<int>{0, 1};
    QTest::newRow("100 at 50") << 100 << 50 << QList<int>{48, 49, 50, 51, 52};
    QTest::newRow("100 at 99") << 100 << 99 << QList<int>{97, 98, 99};
}

void tst_MainWindow::visibleCards()
{
    QFETCH(int, students);
    QFETCH(int, value);
    QFETCH(QList<int>, visible);
    start(writeClass(m_dir, students));
    QCOMPARE(editor()->VScroll1()->maximum(), students - 1);
    editor()->VScroll1()->setValue(1); // leave 0 so that the layout runs for value 0 too
    editor()->VScroll1()->setValue(value);
    QList<int> shown;
    for (int i = 0; i < editor()->cardCount(); ++i) {
        if (editor()->pytext1(i)->isVisibleTo(editor()))
            shown << i;
    }
    QCOMPARE(shown, visible);
    QCOMPARE(m_window->studentList()->stdlist()->currentRow(), value);
    QCOMPARE(m_state->CurrentStudent(), value);
}

void tst_MainWindow::typingGoesIntoTheDocument_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("comment"); // of the student afterwards; empty: unchanged
    const QString before = QStringLiteral("第4位的评语。\r\n第二行");
    QTest::newRow("a letter") << int(Qt::Key_A) << int(Qt::NoModifier) << before + u'a';
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << before.chopped(1);
    QTest::newRow("enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << before + QStringLiteral("\r\n");
    // Keys that edit nothing leave the document unmodified.
    QTest::newRow("arrow") << int(Qt::Key_Left) << int(Qt::NoModifier) << QString();
    QTest::newRow("alt alone") << int(Qt::Key_Alt) << int(Qt::AltModifier) << QString();
    QTest::newRow("alt+F4") << int(Qt::Key_F4) << int(Qt::AltModifier) << QString();
    QTest::newRow("copy") << int(Qt::Key_C) << int(Qt::ControlModifier) << QString();
}

void tst_MainWindow::typingGoesIntoTheDocument()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, comment);
    start(writeClass(m_dir, 5));
    QVERIFY(!m_state->Modified());
    m_window->studentList()->select(3);
    QPlainTextEdit *box = editor()->pytext1(3);
    QTRY_VERIFY(box->hasFocus());
    const QString before = m_state->Document().slot(4).comment;
    QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_state->Document().slot(4).comment, comment.isEmpty() ? before : comment);
    QCOMPARE(m_state->Modified(), !comment.isEmpty());
}

// The list's marks and the status bar follow every keystroke.
void tst_MainWindow::progressFollowsTyping()
{
    start(writeClass(m_dir, 3));
    editor()->pytext1(1)->clear(); // 学生2 has no comment yet
    stds *list = m_window->studentList();
    auto *status = m_window->findChild<WritingStatus *>();
    QVERIFY(status);
    QCOMPARE(status->written()->text(), QStringLiteral("已写 2/3"));
    QVERIFY(!list->markedEmpty(0) && list->markedEmpty(1) && !list->markedEmpty(2));
    QCOMPARE(list->stdlist()->item(1)->text(), QStringLiteral("学生2")); // a mark, not a new name

    list->select(1);
    QPlainTextEdit *box = editor()->pytext1(1);
    QTRY_VERIFY(box->hasFocus());
    QCOMPARE(status->length()->text(), QStringLiteral("本条评语 0 字"));
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("好"), Qt::NoModifier);
    QCOMPARE(status->written()->text(), QStringLiteral("已写 3/3"));
    QCOMPARE(status->length()->text(), QStringLiteral("本条评语 1 字"));
    QVERIFY(!list->markedEmpty(1));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(status->written()->text(), QStringLiteral("已写 2/3"));
    QVERIFY(list->markedEmpty(1));
}

void tst_MainWindow::nextStudentKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    const int ctrl = int(Qt::ControlModifier);
    const int alt = int(Qt::AltModifier);
    QTest::newRow("Ctrl+PgDn") << int(Qt::Key_PageDown) << ctrl << 1 << 2;
    QTest::newRow("Alt+Down") << int(Qt::Key_Down) << alt << 1 << 2;
    QTest::newRow("Ctrl+PgUp") << int(Qt::Key_PageUp) << ctrl << 1 << 0;
    QTest::newRow("Alt+Up") << int(Qt::Key_Up) << alt << 2 << 1;
    QTest::newRow("before the first stays") << int(Qt::Key_PageUp) << ctrl << 0 << 0;
    QTest::newRow("after the last stays") << int(Qt::Key_Down) << alt << 4 << 4;
    // Tab moves on instead of typing a tab into the comment.
    QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << 1 << 2;
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 2 << 1;
}

// From a comment box, the keys move on as a click in the list does: the card centred, the
// caret at the end of its comment, the list following.
void tst_MainWindow::nextStudentKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, from);
    QFETCH(int, to);
    start(writeClass(m_dir, 5));
    m_window->studentList()->select(from);
    QPlainTextEdit *box = editor()->pytext1(from);
    QTRY_VERIFY(box->hasFocus());
    QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_state->CurrentStudent(), to);
    QCOMPARE(editor()->VScroll1()->value(), to);
    QCOMPARE(m_window->studentList()->stdlist()->currentRow(), to);
    QPlainTextEdit *now = editor()->pytext1(to);
    QTRY_VERIFY(now->hasFocus());
    QCOMPARE(now->textCursor().position(), now->document()->characterCount() - 1);
    QCOMPARE(m_state->Document().slot(from + 1).comment,
             QStringLiteral("第%1位的评语。\r\n第二行").arg(from + 1));
    QVERIFY(!m_state->Modified());
}

// 检查全班评语 lists the findings; double-clicking one selects the text concerned.
void tst_MainWindow::classCheckMovesToTheFinding()
{
    start(writeClass(m_dir, 4));
    editDocument(*m_state, [](CommentDocument &d) {
        d.slot(3).comment = QStringLiteral("第一行\r\n要多向学生2学习。");
        d.slot(4).comment.clear();
    });
    m_window->RefreshViews();
    menuItem(*m_window, "check")->trigger();
    ClassCheckDialog *dialog = m_window->classCheck();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("检查全班评语"));
    QTreeWidget *findings = dialog->findings();
    // Each kind a row, its findings under it.
    QStringList rows;
    for (QTreeWidgetItemIterator it(findings); *it; ++it)
        rows << QString((*it)->parent() ? "  " : "") + (*it)->text(0) + u' ' + (*it)->text(1) + u' ' +
                    (*it)->text(2);
    QCOMPARE(rows, (QStringList{"空评语（1 项）  ", "  学生4 空评语 ", "提到其他学生（1 项）  ",
                                "  学生3 提到其他学生 学生2"}));

    emit findings->itemActivated(findings->topLevelItem(0), 0); // a kind moves nowhere
    QCOMPARE(m_state->CurrentStudent(), 0);
    emit findings->itemActivated(findings->topLevelItem(1)->child(0), 0);
    QCOMPARE(m_state->CurrentStudent(), 2);
    QCOMPARE(editor()->pytext1(2)->textCursor().selectedText(), QStringLiteral("学生2"));

    // Typing on, the findings follow once it pauses.
    editor()->pytext1(3)->setPlainText(QStringLiteral("好"));
    QTRY_COMPARE(findings->topLevelItemCount(), 1);
    dialog->close();
}

// The current card says when its comment runs past its printed box, with the scheme's name.
void tst_MainWindow::fitWarningFollowsTyping()
{
    start(writeClass(m_dir, 3));
    m_window->studentList()->select(1);
    QPlainTextEdit *box = editor()->pytext1(1);
    QTRY_VERIFY(box->hasFocus());
    QLabel *warning = editor()->fitWarning();
    QVERIFY(!warning->isVisible());
    box->setPlainText(QStringLiteral("你上课认真听讲，积极举手发言，作业书写工整。").repeated(60));
    QVERIFY(warning->isVisible());
    QVERIFY2(warning->text().startsWith(QStringLiteral("超出打印区域 ")) && warning->text().endsWith(u'行'),
             qPrintable(warning->text()));
    QVERIFY(warning->toolTip().contains(QStringLiteral("“A4纵向”")));
    QVERIFY(warning->geometry().intersects(
        QRect(box->geometry().left(), 0, box->width(), box->geometry().top())));
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    QVERIFY(!warning->isVisible());
}

// 查找和替换: next and previous round the class; replace-all asks, can be undone for the class,
// and only a change marks the document modified.
void tst_MainWindow::findAndReplace()
{
    start(writeClass(m_dir, 3)); // comments "第<i>位的评语。" CR LF "第二行"
    menuItem(*m_window, "find")->trigger();
    FindDialog *dialog = m_window->findDialog();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("查找和替换"));
    const auto selected = [this] {
        const QTextCursor cursor = editor()->pytext1(m_state->CurrentStudent())->textCursor();
        return QStringLiteral("%1:%2:%3")
            .arg(m_state->CurrentStudent())
            .arg(cursor.selectionStart())
            .arg(cursor.selectedText());
    };

    dialog->findText()->setText(QStringLiteral("评语"));
    editor()->pytext1(0)->moveCursor(QTextCursor::Start);
    QVERIFY(dialog->findNext());
    QCOMPARE(selected(), QStringLiteral("0:4:评语"));
    QVERIFY(dialog->findNext());
    QCOMPARE(selected(), QStringLiteral("1:4:评语"));
    QVERIFY(dialog->findNext(true));
    QCOMPARE(selected(), QStringLiteral("0:4:评语"));
    dialog->findText()->setText(QStringLiteral("无此文字"));
    QVERIFY(!dialog->findNext());
    QCOMPARE(dialog->status()->text(), QStringLiteral("找不到“无此文字”。"));
    QCOMPARE(dialog->replaceAll(), 0);
    QVERIFY(!m_state->Modified());

    // Replace-all asks first; 否 changes nothing.
    dialog->findText()->setText(QStringLiteral("第二行"));
    dialog->replaceText()->setText(QStringLiteral("第三行"));
    const CommentDocument before = m_state->Document();
    m_platform->expectMessage(MsgAnswer::No);
    QCOMPARE(dialog->replaceAll(), 0);
    QCOMPARE(m_platform->shown.last().text,
             QStringLiteral("将把 3 名学生评语中的 3 处“第二行”替换为“第三行”。\n"
                            "替换之后可以用“编辑”菜单的“撤消全部替换”全部恢复。要替换吗？"));
    QCOMPARE(m_platform->shown.last().buttons, MsgButtons::YesNo);
    QCOMPARE(m_state->Document(), before);
    QVERIFY(!menuItem(*m_window, "undo")->isEnabled());

    // 编辑→撤消全部替换 takes the whole replacement back, and the class is unchanged again.
    m_platform->expectMessage(MsgAnswer::Yes);
    QCOMPARE(dialog->replaceAll(), 3);
    QCOMPARE(dialog->status()->text(), QStringLiteral("已替换 3 名学生评语中的 3 处。"));
    QVERIFY(m_state->Modified());
    QCOMPARE(m_state->Document().slot(2).comment, QStringLiteral("第2位的评语。\r\n第三行"));
    QCOMPARE(menuItem(*m_window, "undo")->text(), QStringLiteral("撤消全部替换(&U)"));
    menuItem(*m_window, "undo")->trigger();
    QCOMPARE(m_state->Document(), before);
    QVERIFY(!m_state->Modified());
    QVERIFY(!menuItem(*m_window, "undo")->isEnabled());
    QCOMPARE(menuItem(*m_window, "redo")->text(), QStringLiteral("重做全部替换(&Y)"));

    // A box's Ctrl+Z takes back only what was typed into it, Ctrl+Y brings that back; the
    // class step's undo then leaves the typed box and says so.
    m_platform->expectMessage(MsgAnswer::Yes);
    QCOMPARE(dialog->replaceAll(), 3);
    QPlainTextEdit *box = editor()->pytext1(1);
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_state->Document().slot(2).comment, QStringLiteral("第2位的评语。\r\n第三行"));
    box->insertPlainText(QStringLiteral("好好加油。")); // as typed: one edit of the box
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_state->Document().slot(2).comment, QStringLiteral("第2位的评语。\r\n第三行"));
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m_state->Document().slot(2).comment, QStringLiteral("第2位的评语。\r\n第三行好好加油。"));
    QCOMPARE(menuItem(*m_window, "undo")->text(), QStringLiteral("撤消全部替换（保留改过的 1 条评语）(&U)"));
    menuItem(*m_window, "undo")->trigger();
    QCOMPARE(m_state->Document().slot(1).comment, before.slot(1).comment);
    QCOMPARE(box->toPlainText(), QStringLiteral("第2位的评语。\n第三行好好加油。"));

    // Replace the one selected, then on to the next.
    dialog->findText()->setText(QStringLiteral("评语"));
    dialog->replaceText()->setText(QStringLiteral("话"));
    editor()->pytext1(0)->moveCursor(QTextCursor::Start);
    m_state->setCurrentStudent(0);
    QVERIFY(dialog->findNext());
    dialog->replaceOne();
    QCOMPARE(m_state->Document().slot(1).comment, QStringLiteral("第1位的话。\r\n第二行"));
    QCOMPARE(selected(), QStringLiteral("1:4:评语"));
    dialog->close();
}

// 文件 lists the files opened or saved last that still exist; choosing one opens it.
void tst_MainWindow::recentFilesInTheMenu()
{
    start(writeClass(m_dir, 2));
    const QString other = writeClass(m_dir, 5, QStringLiteral("另一班.py"));
    m_platform->recent = {other, m_dir.filePath(QStringLiteral("已删除.py")), m_state->CurrentPath()};
    QMenu *file = m_window->findChild<QMenu *>(QStringLiteral("file"));
    emit file->aboutToShow();
    QVERIFY(menuItem(*m_window, "recent1")->isVisible() && menuItem(*m_window, "recent2")->isVisible());
    QVERIFY(!menuItem(*m_window, "recent3")->isVisible() && !menuItem(*m_window, "recent4")->isVisible());
    QCOMPARE(menuItem(*m_window, "recent1")->text(), QStringLiteral("&1 另一班.py"));
    QCOMPARE(menuItem(*m_window, "recent2")->text(), QStringLiteral("&2 class.py"));
    // The tip gives the whole path; a command whose tip only repeats its text shows none.
    file->popup(m_window->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(file));
    const auto askTip = [&](const char *name) {
        const QPoint at = file->actionGeometry(menuItem(*m_window, name)).center();
        QHelpEvent help(QEvent::ToolTip, at, file->mapToGlobal(at));
        QCoreApplication::sendEvent(file, &help);
    };
    askTip("recent1");
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), other);
    askTip("new");
    QTRY_VERIFY(!QToolTip::isVisible());
    file->hide();
    menuItem(*m_window, "recent1")->trigger();
    QCOMPARE(m_state->CurrentPath(), other);
    QCOMPARE(editor()->cardCount(), 5);
    QCOMPARE(m_platform->recent.first(), other);
}

void tst_MainWindow::listAndNeighbourCardMoveTheStrip()
{
    start(writeClass(m_dir, 10));
    QListWidget *list = m_window->studentList()->stdlist();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(5)).center());
    QCOMPARE(editor()->VScroll1()->value(), 5);
    QCOMPARE(m_state->CurrentStudent(), 5);
    // A click into the next card's comment makes it current and centres it.
    QPlainTextEdit *next = editor()->pytext1(6);
    QVERIFY(next->isVisibleTo(editor()));
    QTest::mouseClick(next->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(editor()->VScroll1()->value(), 6);
    QCOMPARE(list->currentRow(), 6);
    QCOMPARE(m_state->CurrentStudent(), 6);
    // The list's move rule runs with it: the caret goes to the end of the comment.
    QCOMPARE(next->textCursor().position(), next->document()->characterCount() - 1);
}

void tst_MainWindow::closeQuestion_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    using A = MsgAnswer;
    for (const char *command : {"new", "close", "exit"}) {
        QTest::addRow("%s cancel", command) << command << int(A::Cancel) << false;
        QTest::addRow("%s no", command) << command << int(A::No) << true;
        QTest::addRow("%s yes", command) << command << int(A::Yes) << true;
    }
}

void tst_MainWindow::closeQuestion()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    const QString path = writeClass(m_dir, 3);
    start(path);
    QTest::keyClick(editor()->pytext1(0), Qt::Key_X);
    const QString typed = m_state->Document().slot(1).comment;
    m_platform->expectMessage(MsgAnswer(answer));
    menuItem(*m_window, command)->trigger();
    QCOMPARE(m_platform->shown.last().text,
             QStringLiteral("您刚才编辑的文件内容已修改，需要保存您的修改吗？"));
    QCOMPARE(m_platform->shown.last().buttons, MsgButtons::YesNoCancel);
    QCOMPARE(m_platform->shown.last().title, QStringLiteral("系统提示"));
    if (!closed) {
        QVERIFY(m_state->Modified());
        QVERIFY(m_window->editor());
        QCOMPARE(m_state->Document().slot(1).comment, typed);
        QCOMPARE(m_state->CurrentPath(), path);
        QVERIFY(m_window->isVisible());
        return;
    }
    QVERIFY(!m_state->Modified());
    CommentDocument onDisk;
    QVERIFY(CommentFile::read(path, onDisk));
    QCOMPARE(onDisk.slot(1).comment == typed, MsgAnswer(answer) == MsgAnswer::Yes);
    if (command == u"new") {
        QCOMPARE(m_window->editorWindow()->windowTitle(), QStringLiteral("评语编辑窗口：新文件"));
        QVERIFY(!m_state->HasFileName());
    } else if (command == u"exit") {
        QVERIFY(!m_window->isVisible());
    }
}

void tst_MainWindow::saveUnnamedAsksAndSetsCaption()
{
    start();
    editDocument(*m_state, [&](CommentDocument &d) { d.slot(1) = {"甲", "评语"}; });
    m_window->RefreshViews();
    const QString path = m_dir.filePath("新班级"); // no extension is added
    m_platform->expectSaveFile(path);
    menuItem(*m_window, "save")->trigger();
    QCOMPARE(m_platform->shown.last().text,
             QStringLiteral("评语文件|*.py|文本文件|*.txt|Word文件|*.doc|所有文件|*.*"));
    QVERIFY(QFile::exists(path));
    QCOMPARE(m_window->editorWindow()->windowTitle(), QStringLiteral("评语编辑窗口：新班级"));
    QVERIFY(m_state->HasFileName());
    QVERIFY(!m_state->Modified());
    // Cancelling the dialog of Save As changes nothing.
    m_platform->expectSaveFile(QString());
    menuItem(*m_window, "saveas")->trigger();
    QCOMPARE(m_state->CurrentPath(), path);
}

void tst_MainWindow::ctrlSSavesAndFailedSaveKeepsModified()
{
    const QString path = writeClass(m_dir, 2);
    start(path);
    QTest::keyClick(editor()->pytext1(0), Qt::Key_Z);
    QTest::keyClick(editor()->pytext1(0), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!m_state->Modified());
    CommentDocument onDisk;
    QVERIFY(CommentFile::read(path, onDisk));
    QVERIFY(onDisk.slot(1).comment.endsWith(u'z'));

    // A save that fails keeps the flag, the caption and the name, and says why.
    QTest::keyClick(editor()->pytext1(0), Qt::Key_Y);
    QDir(m_dir.path()).mkdir("blocked.py");
    m_platform->expectSaveFile(m_dir.filePath("blocked.py"));
    m_platform->expectMessage();
    menuItem(*m_window, "saveas")->trigger();
    QVERIFY(m_state->Modified());
    QCOMPARE(m_state->CurrentPath(), path);
    QCOMPARE(m_window->editorWindow()->windowTitle(), QStringLiteral("评语编辑窗口：class.py"));
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Critical);
}

void tst_MainWindow::closeLeavesTemplateAndDisablesCommands()
{
    // A template with a default roster.
    CommentDocument templ;
    templ.slot(1) = {"默认甲", ""};
    templ.slot(2) = {"默认乙", ""};
    QVERIFY(CommentFile::write(m_folder->file("normal.pyn"), templ, templ.ItemFonts).ok());
    start(writeClass(m_dir, 4));
    menuItem(*m_window, "close")->trigger();
    QVERIFY(!m_window->editor());
    QCOMPARE(m_state->CurrentPath(), QString());
    QCOMPARE(m_state->CurrentStudent(), -1);
    QListWidget *list = m_window->studentList()->stdlist();
    QCOMPARE(list->count(), 2);
    QVERIFY(!list->isEnabled());
    for (const QString &name : DocumentItems)
        QVERIFY(!menuItem(*m_window, name)->isEnabled());
    QVERIFY(!m_window->toolButton("save")->isEnabled());
    // New opens the template again.
    menuItem(*m_window, "new")->trigger();
    QCOMPARE(m_window->editorWindow()->windowTitle(), QStringLiteral("评语编辑窗口：新文件"));
    QCOMPARE(editor()->cardCount(), 2);
    QVERIFY(menuItem(*m_window, "save")->isEnabled());
    QVERIFY(!m_state->Modified());
}

void tst_MainWindow::rejectedFileIsNeverOverwritten()
{
    start();
    const QString path = m_dir.filePath("other.py");
    QVERIFY(TextFile::writeText(path, u"not a comment file").ok());
    m_platform->expectOpenFile(path);
    m_platform->expectMessage(); // the rejection
    menuItem(*m_window, "open")->trigger();
    QVERIFY(!m_state->HasFileName());
    QCOMPARE(m_state->CurrentPath(), QString());
    QVERIFY(!menuItem(*m_window, "save")->isEnabled()); // the roster is empty
    m_platform->expectSaveFile(QString());              // and Save would ask for a new name
    m_window->lifecycle().SaveDocument();
    QCOMPARE(fileBytes(path), QByteArray("not a comment file"));
}

void tst_MainWindow::layoutNumbers()
{
    start(writeClass(m_dir, 3));
    m_window->resize(1500, 1000);
    m_window->EditorLayout();
    const double dpi = m_window->logicalDpiY();
    const auto tw = [dpi](int pixels) { return qRound(pixels * 1440 / dpi); };
    // The children share the client area: the library's 3000 twips at the bottom, the
    // editor from 1300 twips to the right edge above it, the list at the left.
    const QRect client = m_window->editorWindow()->mdiArea()->viewport()->rect();
    const int h = tw(client.height());
    const QRect editorRect = m_window->editorWindow()->geometry();
    QVERIFY(qAbs(tw(editorRect.x()) - 1300) <= 15);
    QCOMPARE(editorRect.right(), client.right());
    QVERIFY(qAbs(tw(editorRect.height()) - (h - 3000)) <= 15);
    QCOMPARE(m_window->studentListWindow()->height(), editorRect.height());
    QCOMPARE(m_window->libraryWindow()->geometry().top(), editorRect.bottom() + 1);
    // The student list closed through the View menu stays closed on resize.
    menuItem(*m_window, "student")->trigger();
    QVERIFY(!m_window->studentList());
    m_window->resize(1400, 950);
    QVERIFY(!m_window->studentList());
    QVERIFY(!menuItem(*m_window, "student")->isChecked());
    menuItem(*m_window, "student")->trigger();
    QVERIFY(m_window->studentList());
    QVERIFY(menuItem(*m_window, "student")->isChecked());
    // Too small a window leaves every child a usable size.
    m_window->resize(200, 150);
    m_window->EditorLayout();
    QVERIFY(m_window->editorWindow()->height() > 0);
}

void tst_MainWindow::emptyNameBoxShowsMessage()
{
    start(); // the shipped template has no students
    QCOMPARE(editor()->cardCount(), 1);
    QVERIFY(!menuItem(*m_window, "save")->isEnabled());
    QVERIFY(editor()->Timer1()->isActive());
    m_platform->expectMessage();
    QTest::mouseClick(editor()->student(0), Qt::MiddleButton);
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("没有任何学生或评语信息时不能执行该功能！"));
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Information);
}

// A ratings file that is a link (to a file of someone else's, say) is not read through: the
// teacher is told once, and nothing of the file it points at is shown.
void tst_MainWindow::linkedRatingsFileIsNotRead()
{
    start();
    const QString path = writeClass(m_dir, 2, QStringLiteral("链接.py"));
    const QString elsewhere = m_dir.filePath(QStringLiteral("别人的.csv"));
    QVERIFY(TextFile::saveAtomically(elsewhere, QStringLiteral("姓名,密\r\n学生1,机密内容\r\n").toUtf8()).ok());
    QVERIFY(QFile::link(elsewhere, RatingsFile::sidecarPath(path)));
    const qsizetype before = m_platform->shown.size();
    m_platform->expectMessage();

    m_window->lifecycle().openPath(path);

    QCOMPARE(m_platform->shown.size(), before + 1);
    const QString told = m_platform->shown.last().text;
    QVERIFY2(told.contains(RatingsFile::sidecarPath(path)) && told.contains(QStringLiteral("没有读取")) &&
                 !told.contains(u'密'),
             qPrintable(told));
    QVERIFY(m_state->Ratings().categories.isEmpty());
    QVERIFY(QFile::remove(RatingsFile::sidecarPath(path)));
}

void tst_MainWindow::studentsCancelTheEmptyRosterGuess_data()
{
    QTest::addColumn<bool>("openClass");
    QTest::newRow("students added in the editor") << false;
    QTest::newRow("class opened over the empty document") << true;
}

// The smart guess is for a roster that stays empty: once students are there, or the empty
// editor is closed for a class, no guess comes half a second later (a message shown meanwhile,
// such as the warning about unreadable bytes, would otherwise let it through).
void tst_MainWindow::studentsCancelTheEmptyRosterGuess()
{
    QFETCH(bool, openClass);
    start();
    const QPointer<pyedit> empty = editor();
    QVERIFY(empty->Timer1()->isActive());
    if (openClass) {
        m_window->lifecycle().openPath(writeClass(m_dir, 2));
    } else {
        editDocument(*m_state, [&](CommentDocument &d) { d.slot(1) = {"甲", "评语"}; });
        m_window->RefreshViews();
    }
    // Nothing has run the event loop since: the closed editor is still there to be asked.
    QVERIFY(empty);
    QVERIFY(!empty->Timer1()->isActive());
    QVERIFY(!editor()->Timer1()->isActive());
}

void tst_MainWindow::unnamedYesThenCancelledDialogKeepsEverything()
{
    start();
    editDocument(*m_state, [&](CommentDocument &d) { d.slot(1) = {"甲", "评语"}; });
    m_window->RefreshViews();
    QTest::keyClick(editor()->pytext1(0), Qt::Key_Q);
    m_platform->expectMessage(MsgAnswer::Yes);
    m_platform->expectSaveFile(QString());
    menuItem(*m_window, "new")->trigger();
    QVERIFY(m_state->Modified());
    QVERIFY(m_window->editor());
    QVERIFY(m_state->Document().slot(1).comment.contains(u'q'));
    QCOMPARE(m_window->editorWindow()->windowTitle(), QStringLiteral("评语编辑窗口：新文件"));
}

void tst_MainWindow::toolbarDispatchesByKey()
{
    const QString path = writeClass(m_dir, 2);
    start(path);
    QTest::keyClick(editor()->pytext1(1), Qt::Key_W);
    QTest::mouseClick(m_window->toolButton("save"), Qt::LeftButton);
    QVERIFY(!m_state->Modified());
    CommentDocument onDisk;
    QVERIFY(CommentFile::read(path, onDisk));
    QVERIFY(onDisk.slot(2).comment.contains(u'w'));
    // The print button runs the print command: the print window opens in its print mode.
    QTest::mouseClick(m_window->toolButton("print"), Qt::LeftButton);
    QVERIFY(m_window->printControl());
    QCOMPARE(m_window->printControl()->mode(), PrintPanelMode::Print);
    m_window->printControl()->close();
}

namespace {

/// The interface of `object` among the descendants of `root`, as a screen reader walks them.
QAccessibleInterface *reachable(QAccessibleInterface *root, const QObject *object)
{
    for (int i = 0; root && i < root->childCount(); ++i) {
        QAccessibleInterface *child = root->child(i);
        if (child && child->object() == object)
            return child;
        if (QAccessibleInterface *found = reachable(child, object))
            return found;
    }
    return nullptr;
}

} // namespace

// The print window sits beside the editing windows, where Qt's own interface does not look: a
// screen reader reaches its controls through the editing area, and the page as one graphic
// that names the student shown.
void tst_MainWindow::printWindowReachesScreenReaders()
{
    Accessibility::install();
    start(writeClass(m_dir, 3));
    m_state->setCurrentStudent(1);
    menuItem(*m_window, "privew")->trigger();
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(m_window.get());
    QVERIFY(reachable(window, m_window->printControl()->jprivew()->Combo3()));
    QAccessibleInterface *page = reachable(window, m_window->findChild<ps_paper *>());
    QVERIFY(page);
    QCOMPARE(page->role(), QAccessible::Graphic);
    QCOMPARE(page->text(QAccessible::Description), m_state->Document().slot(2).name);
    m_window->printControl()->close();
}

void tst_MainWindow::printWindowEntry_data()
{
    QTest::addColumn<bool>("printer");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer"); // to the empty-comment question; -1: not asked
    QTest::addColumn<bool>("opens");
    // Setup, preview and the print window itself need no printer: only 打印 does.
    QTest::newRow("preview, no printer") << false << "privew" << -1 << true;
    QTest::newRow("print window, no printer") << false << "print1" << -1 << true;
    QTest::newRow("preview") << true << "privew" << -1 << true;
    QTest::newRow("setup, back to the editor") << true << "setup" << int(MsgAnswer::Yes) << false;
    QTest::newRow("setup anyway, no printer") << false << "setup" << int(MsgAnswer::No) << true;
}

void tst_MainWindow::printWindowEntry()
{
    QFETCH(bool, printer);
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(bool, opens);
    start(writeClass(m_dir, 3));
    editDocument(*m_state, [](CommentDocument &d) { d.slot(1).comment.clear(); }); // no comment yet
    m_platform->printerAvailable = printer;
    if (answer >= 0)
        m_platform->expectMessage(MsgAnswer(answer));
    menuItem(*m_window, command)->trigger();
    QCOMPARE(m_platform->shown.size(), answer >= 0 ? 1 : 0);
    if (answer >= 0) {
        QVERIFY(m_platform->shown.last().text.endsWith(QStringLiteral("需要返回评语编辑界面吗？")));
        QCOMPARE(m_platform->shown.last().buttons, MsgButtons::YesNo);
    }
    QCOMPARE(m_window->printControl() != nullptr, opens);
    QCOMPARE(m_window->editorWindow()->isVisible(), !opens);
    QCOMPARE(m_window->Toolbar1()->isEnabled(), !opens);
    if (!opens)
        return;
    QVERIFY(!m_window->studentListWindow()->isVisible());
    QVERIFY(!m_window->libraryWindow()->isVisible());
    QVERIFY(m_window->printPaper()->isVisible());
    // Again while open: brought forward, the panel keeps its mode.
    const PrintPanelMode mode = m_window->printControl()->mode();
    menuItem(*m_window, "print1")->trigger();
    QCOMPARE(m_window->printControl()->mode(), mode);
    // Closing shows the editing windows again and enables the toolbar.
    m_window->printControl()->close();
    QVERIFY(!m_window->printControl());
    QVERIFY(m_window->editorWindow()->isVisible());
    QVERIFY(m_window->studentListWindow()->isVisible());
    QVERIFY(m_window->libraryWindow()->isVisible());
    QVERIFY(m_window->Toolbar1()->isEnabled());
}

void tst_MainWindow::fileCommandsLeaveThePrintWindow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("students"); // the class the editor shows afterwards; 0: none
    QTest::newRow("new") << "new" << 0;
    QTest::newRow("open") << "open" << 5;
    QTest::newRow("recent") << "recent1" << 5;
    QTest::newRow("close") << "close" << -1;
}

// New, Open, a recent file and Close leave the print window as its 退出 does, so the main
// window is whole afterwards: editing windows shown, toolbar enabled, the library where it was.
void tst_MainWindow::fileCommandsLeaveThePrintWindow()
{
    QFETCH(QString, command);
    QFETCH(int, students);
    start(writeClass(m_dir, 2));
    const QString other = writeClass(m_dir, 5, QStringLiteral("另一班.py"));
    m_platform->recent = {other};
    emit m_window->findChild<QMenu *>(QStringLiteral("file"))->aboutToShow();
    menuItem(*m_window, "privew")->trigger();
    QVERIFY(m_window->printControl());
    if (command == u"open")
        m_platform->expectOpenFile(other);
    menuItem(*m_window, command)->trigger();
    QVERIFY(!m_window->printControl());
    QVERIFY(m_window->Toolbar1()->isEnabled());
    QVERIFY(m_window->libraryWindow()->isVisible());
    QVERIFY(menuItem(*m_window, "pyzy")->isChecked());
    QVERIFY(m_window->studentListWindow()->isVisible());
    QCOMPARE(m_window->editorWindow() != nullptr, students >= 0);
    if (students > 0) {
        QCOMPARE(editor()->cardCount(), students);
        QVERIFY(m_window->editorWindow()->isVisible());
        QVERIFY(m_window->toolButton("privew")->isEnabled());
    }
}

// F6 goes round the open panes: student list, editor (the current comment), library.
void tst_MainWindow::f6GoesRoundThePanes()
{
    start(writeClass(m_dir, 3));
    m_window->studentList()->select(1);
    QTRY_VERIFY(editor()->pytext1(1)->hasFocus());
    const auto f6 = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6); };
    f6();
    QVERIFY(m_window->library()->isAncestorOf(QApplication::focusWidget()));
    f6();
    QCOMPARE(QApplication::focusWidget(), m_window->studentList()->stdlist());
    f6();
    QCOMPARE(QApplication::focusWidget(), editor()->pytext1(1));
    // A closed pane is passed over.
    menuItem(*m_window, "pyzy")->trigger();
    f6();
    QCOMPARE(QApplication::focusWidget(), m_window->studentList()->stdlist());
    QCOMPARE(menuItem(*m_window, "nextpane")->shortcut(), QKeySequence(Qt::Key_F6));
}

// A finding chosen while the print window is open is shown in the editor, the check's window
// beside the card instead of over it.
void tst_MainWindow::findingLeavesThePrintWindow()
{
    start(writeClass(m_dir, 4));
    menuItem(*m_window, "check")->trigger();
    ClassCheckDialog *dialog = m_window->classCheck();
    menuItem(*m_window, "privew")->trigger();
    QVERIFY(m_window->printControl());
    dialog->move(m_window->editor()->mapToGlobal(QPoint(0, 0))); // over the cards
    emit dialog->findingChosen(2, 1, 3);
    QVERIFY(!m_window->printControl());
    QVERIFY(m_window->Toolbar1()->isEnabled());
    QCOMPARE(m_state->CurrentStudent(), 2);
    QCOMPARE(editor()->pytext1(2)->textCursor().selectedText(), QStringLiteral("3位的"));
    const QRect card(editor()->frame()->mapToGlobal(editor()->pytext1(2)->geometry().topLeft()),
                     editor()->pytext1(2)->size());
    QVERIFY(!dialog->frameGeometry().intersects(card));
}

void tst_MainWindow::dialogStepsAside_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("keep");
    QTest::addColumn<QRect>("to");
    // On a screen of 1000 × 800, the window at least 200 × 150.
    QTest::newRow("covers nothing: stays") << QRect(700, 0, 200, 100) << QRect(100, 100, 400, 300)
                                           << QRect(700, 0, 200, 100);
    QTest::newRow("to the right") << QRect(200, 150, 300, 200) << QRect(100, 100, 400, 300)
                                  << QRect(500, 150, 300, 200);
    QTest::newRow("to the left, no room right") << QRect(600, 150, 300, 200) << QRect(400, 100, 500, 300)
                                                << QRect(100, 150, 300, 200);
    QTest::newRow("below, no room beside") << QRect(100, 100, 300, 200) << QRect(50, 50, 900, 300)
                                           << QRect(100, 350, 300, 200);
    QTest::newRow("nowhere whole: lower, below") << QRect(100, 100, 300, 500) << QRect(50, 50, 900, 300)
                                                 << QRect(100, 350, 300, 450);
    QTest::newRow("no room anywhere: stays, on the screen")
        << QRect(100, 100, 600, 900) << QRect(100, 100, 750, 650) << QRect(100, 0, 600, 900);
}

void tst_MainWindow::dialogStepsAside()
{
    QFETCH(QRect, window);
    QFETCH(QRect, keep);
    QFETCH(QRect, to);
    QCOMPARE(ScreenFit::clearOf(window, keep, QRect(0, 0, 1000, 800), QSize(200, 150)), to);
}

void tst_MainWindow::printWindowKeepsTheStudent_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("listOpen");
    QTest::newRow("setup") << "setup" << true;
    QTest::newRow("preview") << "privew" << true;
    QTest::newRow("print") << "print1" << true;
    QTest::newRow("preview, list closed") << "privew" << false;
}

// Hiding and showing the editing windows around the print window changes neither the current
// student, nor the list's selection, nor the modified flag.
void tst_MainWindow::printWindowKeepsTheStudent()
{
    QFETCH(QString, command);
    QFETCH(bool, listOpen);
    start(writeClass(m_dir, 6));
    if (!listOpen)
        menuItem(*m_window, "student")->trigger();
    m_window->selectStudent(3);
    QTRY_COMPARE(QApplication::focusWidget(), editor()->pytext1(3));
    QVERIFY(!m_state->Modified());
    for (int trip = 0; trip < 2; ++trip) {
        menuItem(*m_window, command)->trigger();
        QVERIFY(m_window->printControl());
        QCOMPARE(m_state->CurrentStudent(), 3);
        QCOMPARE(m_window->printControl()->jprivew()->Combo3()->currentText(), QStringLiteral("学生4"));
        // No hidden comment box keeps the keyboard while the print window is open.
        const QWidget *focus = QApplication::focusWidget();
        QVERIFY(!focus || !m_window->editorWindow()->isAncestorOf(focus));
        if (trip == 1) {
            // 打印当前 prints the student shown, and a print run changes nothing either.
            m_platform->expectMessage(); // how many pages went to the printer
            m_window->printControl()->jprivew()->Command11()->click();
            QCOMPARE(m_platform->recordingPrinter.documents.size(), 1);
            QVERIFY(m_platform->recordingPrinter.documents.first().texts().join(u'|').contains(
                QStringLiteral("学生4")));
        }
        m_window->printControl()->close();
        QCOMPARE(m_state->CurrentStudent(), 3);
        QCOMPARE(editor()->VScroll1()->value(), 3);
        if (listOpen)
            QCOMPARE(m_window->studentList()->stdlist()->currentRow(), 3);
        QVERIFY(!m_state->Modified());
    }
}

void tst_MainWindow::aboutWindowTakesTheKeyboard_data()
{
    QTest::addColumn<bool>("key");
    QTest::newRow("a key closes it") << true;
    QTest::newRow("a click closes it") << false;
}

// While the About window is open, what the teacher types reaches it, never a comment box.
void tst_MainWindow::aboutWindowTakesTheKeyboard()
{
    QFETCH(bool, key);
    copyright::StartupDone = true; // as after the start-up that opened the main window
    start(writeClass(m_dir, 3));
    m_window->selectStudent(1);
    QTRY_COMPARE(QApplication::focusWidget(), editor()->pytext1(1));
    const QString before = editor()->pytext1(1)->toPlainText();
    menuItem(*m_window, "zuozhe")->trigger();
    auto *about = m_window->findChild<QDialog *>("copyright");
    QVERIFY(about);
    QVERIFY(QTest::qWaitForWindowExposed(about));
    // Sent to the main window's screen window, as the window system would deliver it.
    if (key)
        QTest::keyClick(m_window->windowHandle(), Qt::Key_A);
    else
        QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    QTRY_VERIFY(!about->isVisible());
    QCOMPARE(editor()->pytext1(1)->toPlainText(), before);
    QVERIFY(!m_state->Modified());
    QTest::keyClick(m_window->windowHandle(), Qt::Key_B); // the next key is the teacher's again
    QTRY_VERIFY(m_state->Modified());
}

void tst_MainWindow::exportCommandsLeaveTheDocument()
{
    const QString path = writeClass(m_dir, 3);
    start(path);
    QTest::keyClick(editor()->pytext1(0), Qt::Key_M); // an unsaved change stays unsaved
    const QString out = m_dir.filePath("导出.txt");
    m_platform->expectSaveFile(out);
    menuItem(*m_window, "totext")->trigger();
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("文本文件|*.txt"));
    QCOMPARE(fileBytes(out), TextFile::encode(exportFileText(m_state->Document())));
    QVERIFY(fileBytes(out).contains(TextFile::encode(u"第1位的评语。\r\n第二行m")));

    menuItem(*m_window, "out")->trigger();
    QCOMPARE(m_platform->wordProcessorDocuments.size(), 1);
    QCOMPARE(m_platform->clipboard, composeExportText(m_state->Document(), NameLineStyle::Colon));
    QVERIFY(m_state->Modified());
    CommentDocument onDisk;
    QVERIFY(CommentFile::read(path, onDisk));
    QCOMPARE(onDisk.slot(1).comment, QStringLiteral("第1位的评语。\r\n第二行"));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
