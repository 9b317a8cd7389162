#include "menuitem.h"
#include "core/app/startupsequence.h"
#include "core/document/commentfile.h"
#include "core/document/session.h"
#include "core/platform/fontsubstitution.h"
#include "core/platform/textfile.h"
#include "mainwindowtest.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "ui/app/mainwindow.h"
#include "ui/app/studentcommands.h"
#include "ui/editor/editcommands.h"
#include "ui/editor/inputstudent.h"
#include "ui/editor/nostudent.h"
#include "ui/editor/pyedit.h"
#include "ui/editor/stds.h"
#include "ui/editor/teachersetup.h"
#include "ui/editor/tuice_teacher.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

// A class of n students; student i has the comment "评语i" unless listed as without one.
QString writeClass(const QTemporaryDir &dir, int n, const QList<int> &withoutComment = {})
{
    CommentDocument document;
    for (int i = 1; i <= n; ++i)
        document.slot(i) = {QStringLiteral("学生%1").arg(i),
                            withoutComment.contains(i) ? QString() : QStringLiteral("评语%1").arg(i)};
    const QString path = dir.filePath(QStringLiteral("class.py"));
    if (!CommentFile::write(path, document, document.ItemFonts))
        qWarning() << "could not write" << path;
    return path;
}

QStringList listNames(const stds *students)
{
    QStringList names;
    for (int i = 0; i < students->stdlist()->count(); ++i)
        names << students->stdlist()->item(i)->text();
    return names;
}

QStringList rosterNames(const CommentDocument &document)
{
    QStringList names;
    for (int i = 1; i <= document.studentCount(); ++i)
        names << document.slot(i).name;
    return names;
}

} // namespace

class tst_StudentCommands : public MainWindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void deleteStudent_data();
    void deleteStudent();
    void deleteAnsweredNoOrWithoutSelection();
    void pressOnNameChoosesThatStudent_data();
    void pressOnNameChoosesThatStudent();
    void addStudent();
    void addToFullRoster();
    void renameStudent_data();
    void renameStudent();
    void deleteAllThenGuessDialogImports_data();
    void deleteAllThenGuessDialogImports();
    void guessDialogNewAndOpenKeepTheDocumentOnCancel();
    void storeRosterAsDefault();
    void storeRosterFailsClearly();
    void statistics_data();
    void statistics();
    void studentNameFont_data();
    void studentNameFont();
    void clipboard_data();
    void clipboard();
    void clipboardPreconditions();
    void signaturePressOffersChoices();
    void signatureSetAsDefaultReachesNewDocument();

private:
    QTemporaryDir m_dir;

    void start(const QString &commandLine = QString());
    pyedit *editor() const { return m_window->editor(); }
    stds *list() const { return m_window->studentList(); }
    void trigger(const char *name) { menuItem(*m_window, QString::fromLatin1(name))->trigger(); }
};

void tst_StudentCommands::init()
{
    setUpWorkspace();
}

void tst_StudentCommands::cleanup()
{
    tearDownWorkspace();
}

void tst_StudentCommands::start(const QString &commandLine)
{
    QVERIFY(showWindow(commandLine));
}

void tst_StudentCommands::deleteStudent_data()
{
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("entry");    // the list entry deleted
    QTest::addColumn<int>("selected"); // the list entry selected afterwards
    QTest::newRow("3 of 5: the next moves up") << 5 << 2 << 2;
    QTest::newRow("last of 5: the new last") << 5 << 4 << 3;
    QTest::newRow("first of 5: no entry selected") << 5 << 0 << -1;
    QTest::newRow("only student") << 1 << 0 << -1;
    QTest::newRow("100th of 100") << 100 << 99 << 98;
}

void tst_StudentCommands::deleteStudent()
{
    QFETCH(int, students);
    QFETCH(int, entry);
    QFETCH(int, selected);
    start(writeClass(m_dir, students));
    list()->select(entry);
    m_platform->expectMessage(MsgAnswer::Yes);
    trigger("delstudent");
    const ShownDialog &question = m_platform->shown.last();
    QCOMPARE(question.text,
             QStringLiteral("确实要从当前评语文件中删除学生“学生%1”的所有信息吗？").arg(entry + 1));
    QCOMPARE(question.title, QStringLiteral("系统询问"));
    QCOMPARE(question.icon, MsgIcon::Question);
    QCOMPARE(question.buttons, MsgButtons::YesNo);

    // The students after the deleted one moved up with their comments.
    const CommentDocument &document = m_state->Document();
    QCOMPARE(document.studentCount(), students - 1);
    for (int slot = 1; slot < students; ++slot) {
        const int was = slot <= entry ? slot : slot + 1;
        QCOMPARE(document.slot(slot).name, QStringLiteral("学生%1").arg(was));
        QCOMPARE(document.slot(slot).comment, QStringLiteral("评语%1").arg(was));
    }
    QCOMPARE(document.slot(students).name, QString());
    QCOMPARE(document.slot(students).comment, QString());
    QCOMPARE(listNames(list()), rosterNames(document));
    QCOMPARE(editor()->cardCount(), std::max(students - 1, 1));
    QVERIFY(m_state->Modified());
    if (selected >= 0) {
        QCOMPARE(list()->stdlist()->currentRow(), selected);
        QCOMPARE(m_state->CurrentStudent(), selected);
        QCOMPARE(editor()->VScroll1()->value(), selected);
    } else if (students > 1) {
        QCOMPARE(list()->stdlist()->currentRow(), -1);
        QVERIFY(list()->stdlist()->selectedItems().isEmpty());
        QCOMPARE(editor()->VScroll1()->value(), 0);
    }
    if (students > 1) {
        // 编辑→撤消删除学生: the student is back in its place, in the list and on its card.
        QCOMPARE(menuItem(*m_window, "undo")->text(), QStringLiteral("撤消删除学生(&U)"));
        trigger("undo");
        QCOMPARE(document.studentCount(), students);
        QCOMPARE(listNames(list()), rosterNames(document));
        QCOMPARE(editor()->cardCount(), students);
        QCOMPARE(editor()->pytext1(entry)->toPlainText(), QStringLiteral("评语%1").arg(entry + 1));
        QVERIFY(!m_state->Modified());
    } else {
        QVERIFY(!list()->stdlist()->isEnabled());
        QVERIFY(!menuItem(*m_window, "save")->isEnabled());
        // The guess dialog comes once, half a second after the empty refresh.
        QTRY_VERIFY(m_window->studentCommands().noStudentDialog());
        m_window->studentCommands().noStudentDialog()->close();
    }
}

void tst_StudentCommands::pressOnNameChoosesThatStudent_data()
{
    QTest::addColumn<bool>("listOpen");
    QTest::addColumn<int>("button");
    QTest::newRow("list open, left") << true << int(Qt::LeftButton);
    QTest::newRow("list closed, left") << false << int(Qt::LeftButton);
    QTest::newRow("list closed, right") << false << int(Qt::RightButton);
}

// The pop-up shown by a press on a neighbour card's name acts on that student.
void tst_StudentCommands::pressOnNameChoosesThatStudent()
{
    QFETCH(bool, listOpen);
    QFETCH(int, button);
    start(writeClass(m_dir, 4));
    if (!listOpen)
        trigger("student");
    QCOMPARE(m_state->CurrentStudent(), 0);
    QTest::mousePress(editor()->student(1), Qt::MouseButton(button));
    QTRY_VERIFY(m_window->kstudent()->isVisible());
    m_window->kstudent()->hide();
    QCOMPARE(m_state->CurrentStudent(), 1);
    m_platform->expectMessage(MsgAnswer::No);
    m_window->kstudent()->actions().at(0)->trigger();
    QCOMPARE(m_platform->shown.last().text,
             QStringLiteral("确实要从当前评语文件中删除学生“学生2”的所有信息吗？"));
}

void tst_StudentCommands::deleteAnsweredNoOrWithoutSelection()
{
    start(writeClass(m_dir, 3));
    const CommentDocument before = m_state->Document();
    list()->select(1);
    m_platform->expectMessage(MsgAnswer::No);
    m_window->kstudent()->actions().at(0)->trigger(); // the pop-up's first entry deletes
    QCOMPARE(m_state->Document(), before);
    QVERIFY(!m_state->Modified());

    list()->stdlist()->setCurrentRow(-1);
    for (const char *command : {"delstudent", "renamestudent"}) {
        m_platform->expectMessage();
        trigger(command);
        const ShownDialog &warning = m_platform->shown.last();
        QCOMPARE(warning.text, QStringLiteral("请选定一名学生后再选择此功能！"));
        QCOMPARE(warning.icon, MsgIcon::Exclamation);
        QCOMPARE(warning.title, QStringLiteral("系统提示"));
    }
    QCOMPARE(m_state->Document(), before);

    // With the list window closed, the editor's current student is the one meant.
    menuItem(*m_window, "student")->trigger();
    QVERIFY(!list());
    editor()->moveTo(2);
    m_platform->expectMessage(MsgAnswer::Yes);
    trigger("delstudent");
    QCOMPARE(m_platform->shown.last().text,
             QStringLiteral("确实要从当前评语文件中删除学生“学生3”的所有信息吗？"));
    QCOMPARE(rosterNames(m_state->Document()), (QStringList{"学生1", "学生2"}));
    QCOMPARE(m_state->CurrentStudent(), 1);
}

void tst_StudentCommands::addStudent()
{
    start(writeClass(m_dir, 3));
    m_platform->expectInput(QString()); // cancelled
    trigger("s_add");
    QCOMPARE(m_state->Document().studentCount(), 3);
    QVERIFY(!m_state->Modified());

    // A duplicate name is accepted; the earlier student of that name is selected.
    m_platform->expectInput(QStringLiteral("学生2"));
    trigger("s_add");
    const ShownDialog &input = m_platform->shown.last();
    QCOMPARE(input.text, QStringLiteral("请输入需要添加的学生的姓名："));
    QCOMPARE(input.title, QStringLiteral("添加学生"));
    QCOMPARE(input.defaultText, QString());
    QCOMPARE(rosterNames(m_state->Document()), (QStringList{"学生1", "学生2", "学生3", "学生2"}));
    QCOMPARE(m_state->Document().slot(4).comment, QString());
    QCOMPARE(listNames(list()), rosterNames(m_state->Document()));
    QCOMPARE(list()->stdlist()->currentRow(), 1);
    QCOMPARE(editor()->cardCount(), 4);
    QVERIFY(m_state->Modified());

    m_platform->expectInput(QStringLiteral(" 新 同 学 "));
    trigger("s_add");
    QCOMPARE(m_state->Document().slot(5).name, QStringLiteral(" 新 同 学 "));
    QCOMPARE(list()->stdlist()->currentRow(), 4);
    QCOMPARE(m_state->CurrentStudent(), 4);
    QCOMPARE(editor()->teacher(4)->text(), m_state->Document().TeacherSignature);
}

void tst_StudentCommands::addToFullRoster()
{
    start(writeClass(m_dir, 99));
    m_platform->expectInput(QStringLiteral("第一百"));
    trigger("s_add");
    QCOMPARE(m_state->Document().studentCount(), 100);
    // The 101st: a warning before any name is asked for, and nothing changes.
    const CommentDocument before = m_state->Document();
    m_platform->expectMessage();
    trigger("s_add");
    QCOMPARE(m_platform->shown.last().text,
             QStringLiteral("每个文件中最多只能有100个学生，不能再添加学生了！"));
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Exclamation);
    QCOMPARE(m_state->Document(), before);
    QCOMPARE(list()->stdlist()->count(), 100);
}

void tst_StudentCommands::renameStudent_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("roster");
    QTest::addColumn<int>("selected");
    QTest::newRow("new name") << "王小明" << QStringList{"学生1", "学生2", "王小明", "学生4"} << 2;
    QTest::newRow("an earlier student's name")
        << "学生1" << QStringList{"学生1", "学生2", "学生1", "学生4"} << 0;
    QTest::newRow("cancelled") << "" << QStringList{"学生1", "学生2", "学生3", "学生4"} << 2;
}

void tst_StudentCommands::renameStudent()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, roster);
    QFETCH(int, selected);
    start(writeClass(m_dir, 4));
    list()->select(2);
    m_platform->expectInput(answer);
    trigger("renamestudent");
    const ShownDialog &input = m_platform->shown.last();
    QCOMPARE(input.text, QStringLiteral("请输入该学生的新姓名："));
    QCOMPARE(input.title, QStringLiteral("重命名"));
    QCOMPARE(input.defaultText, QStringLiteral("学生3"));
    QCOMPARE(rosterNames(m_state->Document()), roster);
    QCOMPARE(m_state->Document().slot(3).comment, QStringLiteral("评语3"));
    QCOMPARE(listNames(list()), roster);
    QCOMPARE(list()->stdlist()->currentRow(), selected);
    QCOMPARE(editor()->student(2)->text(), roster.at(2));
    QCOMPARE(m_state->Modified(), !answer.isEmpty());
}

void tst_StudentCommands::deleteAllThenGuessDialogImports_data()
{
    QTest::addColumn<int>("students");
    QTest::newRow("4") << 4;
    QTest::newRow("100") << 100;
}

void tst_StudentCommands::deleteAllThenGuessDialogImports()
{
    QFETCH(int, students);
    start(writeClass(m_dir, students));
    m_platform->expectMessage(MsgAnswer::No);
    trigger("delall");
    QCOMPARE(m_state->Document().studentCount(), students);

    m_platform->expectMessage(MsgAnswer::Yes);
    trigger("delall"); // one action for the menu bar and the pop-up
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("您确认要删除当前所有学生的信息吗？"));
    for (int i = 1; i <= CommentDocument::MaxStudents; ++i)
        QVERIFY(m_state->Document().slot(i).name.isEmpty() && m_state->Document().slot(i).comment.isEmpty());
    QCOMPARE(list()->stdlist()->count(), 0);
    QCOMPARE(editor()->cardCount(), 1);
    // The commands on students go too, in the student pop-up as in the menu bar (one action each).
    for (const char *name : {"save", "saveas", "close", "cut", "copy", "paste", "delstudent", "delall",
                             "renamestudent", "s_font"})
        QVERIFY2(!menuItem(*m_window, QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(!m_window->kstudent()->actions().at(0)->isEnabled());

    // Half a second later the guess dialog offers the import; choosing it opens the import.
    QTRY_VERIFY(m_window->studentCommands().noStudentDialog());
    nostudent *guess = m_window->studentCommands().noStudentDialog();
    QVERIFY(guess->isVisible());
    guess->Option1()->setChecked(true);
    guess->Command1Click();
    inputstudent *import = m_window->studentCommands().importDialog();
    QVERIFY(import);
    QVERIFY(import->isVisible());
    QVERIFY(import->Option1()->isChecked());
    import->Text1()->setPlainText(QStringLiteral("张三\n\n李四\n"));
    import->Option2()->setChecked(true);
    import->Command1Click();
    QCOMPARE(rosterNames(m_state->Document()), (QStringList{"张三", "李四"}));
    QCOMPARE(listNames(list()), (QStringList{"张三", "李四"}));
    QVERIFY(list()->stdlist()->isEnabled());
    QCOMPARE(editor()->cardCount(), 2);
    QVERIFY(menuItem(*m_window, "save")->isEnabled());
    QTRY_VERIFY(!m_window->studentCommands().importDialog());
}

void tst_StudentCommands::guessDialogNewAndOpenKeepTheDocumentOnCancel()
{
    const QString path = writeClass(m_dir, 2);
    start(path);
    m_platform->expectMessage(MsgAnswer::Yes);
    trigger("delall"); // an unsaved change: the file still has its two students
    QTRY_VERIFY(m_window->studentCommands().noStudentDialog());
    QPointer<nostudent> guess = m_window->studentCommands().noStudentDialog();

    // 打开文件 with the open dialog cancelled: nothing happens and the dialog stays.
    guess->Option3()->setChecked(true);
    m_platform->expectOpenFile(QString());
    guess->Command1Click();
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("评语文件|*.py|所有文件|*.*"));
    QVERIFY(guess && guess->isVisible());

    // 新建文件 answered Cancel at the save question: the document and its name stay.
    guess->Option2()->setChecked(true);
    m_platform->expectMessage(MsgAnswer::Cancel);
    guess->Command1Click();
    QCOMPARE(m_platform->shown.last().text,
             QStringLiteral("您刚才编辑的文件内容已修改，需要保存您的修改吗？"));
    QCOMPARE(m_state->CurrentPath(), path);
    QVERIFY(m_state->HasFileName());
    QVERIFY(m_state->Modified());
    QCOMPARE(m_state->Document().studentCount(), 0);
    QTRY_VERIFY(!guess);
}

void tst_StudentCommands::storeRosterAsDefault()
{
    start(writeClass(m_dir, 2));
    const QStringList header =
        TextFile::splitLines(TextFile::decode(fileBytes(m_folder->file("normal.pyn")))).mid(0, 14);
    m_platform->expectMessage();
    trigger("defaultstudent");
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("设置成功！"));
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Information);
    const QByteArray expected =
        TextFile::encode(TextFile::joinLines(header + QStringList{"*!*学生1", "*!*", "*!*学生2", "*!*"}));
    QCOMPARE(fileBytes(m_folder->file("normal.pyn")), expected);
    QVERIFY(!m_state->Modified());

    // New documents start with that roster, and no comments.
    menuItem(*m_window, "new")->trigger();
    QCOMPARE(rosterNames(m_state->Document()), (QStringList{"学生1", "学生2"}));
    QCOMPARE(m_state->Document().slot(1).comment, QString());
}

void tst_StudentCommands::storeRosterFailsClearly()
{
    start(writeClass(m_dir, 2));
    const QString templ = m_folder->file("normal.pyn");
    QVERIFY(TextFile::writeText(templ, u"版本=标准版v1.0\r\nteacher=某老师\r\n").ok());
    const QByteArray before = fileBytes(templ);
    m_platform->expectMessage();
    m_window->kstudent()->actions().last()->trigger(); // the pop-up's last entry stores the default
    const ShownDialog &failure = m_platform->shown.last();
    QVERIFY2(failure.text.startsWith(QStringLiteral("设置失败！")), qPrintable(failure.text));
    QCOMPARE(failure.icon, MsgIcon::Critical);
    QCOMPARE(fileBytes(templ), before);
    QVERIFY(!m_platform->messageTexts().contains(QStringLiteral("设置成功！")));
}

void tst_StudentCommands::statistics_data()
{
    QTest::addColumn<int>("students");
    QTest::addColumn<QList<int>>("withoutComment");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty roster") << 0 << QList<int>{} << "共有学生 0人，其中已输入评语的共 0人。";
    QTest::newRow("some written") << 30
                                  << QList<int>{2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 30, 1, 4, 6, 8, 9, 10, 12}
                                  << "共有学生 30人，其中已输入评语的共 12人。";
    QTest::newRow("all written") << 100 << QList<int>{} << "共有学生 100人，其中已输入评语的共 100人。";
}

void tst_StudentCommands::statistics()
{
    QFETCH(int, students);
    QFETCH(QList<int>, withoutComment);
    QFETCH(QString, message);
    start(students ? writeClass(m_dir, students, withoutComment) : QString());
    m_platform->expectMessage();
    trigger("tongji");
    QCOMPARE(m_platform->shown.last().text, message);
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Information);
    QCOMPARE(m_platform->shown.last().title, QStringLiteral("系统提示"));
    if (!students)
        QTRY_VERIFY(m_window->studentCommands().noStudentDialog());
}

void tst_StudentCommands::studentNameFont_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("expectedFace");
    QTest::newRow("宋体 14 bold") << "宋体" << 14.0 << true << "宋体";
    QTest::newRow("no face chosen keeps the name") << "" << 12.0 << false << "宋体";
    QTest::newRow("cancelled: the preset back") << "宋体" << 9.0 << false << "宋体";
    QTest::newRow("another face") << "黑体" << 10.5 << false << "黑体";
}

void tst_StudentCommands::studentNameFont()
{
    QFETCH(QString, face);
    QFETCH(double, size);
    QFETCH(bool, bold);
    QFETCH(QString, expectedFace);
    // Only card 0 has a comment, so the refresh itself rewrites no comment box.
    const QString path = writeClass(m_dir, 8, {2, 3, 4, 5, 6, 7, 8});
    start(path);
    const ItemFonts before = m_state->Document().ItemFonts;
    m_platform->expectFont({face, size, bold, false});
    trigger("s_font");
    QCOMPARE(m_platform->shown.last().font, before[0]);
    const ItemFont expected{expectedFace, size, bold, false};
    QCOMPARE(m_state->Document().ItemFonts[0], expected);
    QCOMPARE(m_state->Document().ItemFonts[1], before[1]);
    QCOMPARE(m_state->Document().ItemFonts[2], before[2]);
    const bool changed = expected != before[0];
    QCOMPARE(m_state->Modified(), changed);

    // Every name box shows the font once the editor has repainted.
    editor()->moveTo(6);
    editor()->repaint();
    const QFont shown = FontSubstitution::toQFont(expected);
    for (int i : {0, 4, 6, 7}) {
        QCOMPARE(editor()->student(i)->font().pointSizeF(), shown.pointSizeF());
        QCOMPARE(editor()->student(i)->font().bold(), bold);
        QCOMPARE(editor()->pytext1(i)->font(), FontSubstitution::toQFont(before[1]));
        // "同学：" keeps the window's font on every card, and a long name shows its start.
        QCOMPARE(editor()->Label1(i)->font(), editor()->Label1(0)->font());
        QCOMPARE(editor()->student(i)->cursorPosition(), 0);
    }

    // The next save writes the font lines from the editor.
    menuItem(*m_window, "save")->trigger();
    CommentDocument onDisk;
    QVERIFY(CommentFile::read(path, onDisk));
    QCOMPARE(onDisk.ItemFonts[0], expected);
    QCOMPARE(onDisk.ItemFonts[1], before[1]);
}

void tst_StudentCommands::clipboard_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("clipboardBefore");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("clipboardAfter");
    QTest::addColumn<int>("caretAfter");
    QTest::addColumn<bool>("modified");
    // The comment box holds "ABCDEF".
    QTest::newRow("paste at start") << "paste" << 0 << 0 << "xy"
                                    << "xyABCDEF"
                                    << "xy" << 2 << true;
    QTest::newRow("paste in the middle") << "paste" << 3 << 3 << "xy"
                                         << "ABCxyDEF"
                                         << "xy" << 5 << true;
    QTest::newRow("paste at end") << "paste" << 6 << 6 << "xy"
                                  << "ABCDEFxy"
                                  << "xy" << 8 << true;
    QTest::newRow("paste over a selection") << "paste" << 1 << 4 << "好"
                                            << "A好EF"
                                            << "好" << 2 << true;
    QTest::newRow("paste CR LF lines") << "paste" << 6 << 6 << "1\r\n2"
                                       << "ABCDEF1\r\n2"
                                       << "1\r\n2" << 9 << true;
    QTest::newRow("paste empty clipboard") << "paste" << 2 << 2 << ""
                                           << "ABCDEF"
                                           << "" << 2 << false;
    QTest::newRow("copy") << "copy" << 1 << 4 << "old"
                          << "ABCDEF"
                          << "BCD" << 4 << false;
    QTest::newRow("cut") << "cut" << 4 << 1 << "old"
                         << "AEF"
                         << "BCD" << 1 << true;
}

void tst_StudentCommands::clipboard()
{
    QFETCH(QString, command);
    QFETCH(int, selectionStart);
    QFETCH(int, caret);
    QFETCH(QString, clipboardBefore);
    QFETCH(QString, comment);
    QFETCH(QString, clipboardAfter);
    QFETCH(int, caretAfter);
    QFETCH(bool, modified);
    start(writeClass(m_dir, 3));
    list()->select(1);
    QPlainTextEdit *box = editor()->pytext1(1);
    box->setPlainText(QStringLiteral("ABCDEF"));
    m_state->markSaved();
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(selectionStart);
    cursor.setPosition(caret, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    m_platform->clipboard = clipboardBefore;
    // The toolbar's buttons run the same commands as the Edit menu.
    QTest::mouseClick(m_window->toolButton(command), Qt::LeftButton);
    QCOMPARE(m_state->Document().slot(2).comment, comment);
    QCOMPARE(m_platform->clipboard, clipboardAfter);
    QCOMPARE(box->textCursor().position(), caretAfter);
    QCOMPARE(m_state->Modified(), modified);
}

void tst_StudentCommands::clipboardPreconditions()
{
    start(writeClass(m_dir, 2));
    m_platform->clipboard = QStringLiteral("kept");
    for (const char *command : {"copy", "cut"}) {
        m_platform->expectMessage();
        trigger(command);
        const ShownDialog &message = m_platform->shown.last();
        QCOMPARE(message.text,
                 QString::fromUtf8(command == QByteArray("copy") ? "您还没有选定任何可复制的内容！"
                                                                 : "您还没有选定任何可剪切的内容！"));
        QCOMPARE(message.icon, MsgIcon::Exclamation);
        QCOMPARE(message.title, QStringLiteral("系统提示"));
    }
    QCOMPARE(m_platform->clipboard, QStringLiteral("kept"));
    QVERIFY(!m_state->Modified());

    // No current student: paste asks where to, and a click into a comment answers.
    m_state->setCurrentStudent(-1);
    m_platform->expectMessage();
    trigger("paste");
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("您想把剪贴板中的内容粘贴到哪儿？请用鼠标定位！"));
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Question);
    QCOMPARE(m_state->Document().slot(2).comment, QStringLiteral("评语2"));
    QTest::mouseClick(editor()->pytext1(1)->viewport(), Qt::LeftButton, {}, QPoint(200, 5));
    trigger("paste");
    QCOMPARE(m_state->Document().slot(2).comment, QStringLiteral("评语2kept"));
}

void tst_StudentCommands::signaturePressOffersChoices()
{
    start(writeClass(m_dir, 3));
    QTest::mouseClick(editor()->teacher(1), Qt::LeftButton);
    tuice_teacher *guess = m_window->studentCommands().signatureGuessDialog();
    QVERIFY(guess);
    QVERIFY(guess->isVisible());
    QVERIFY(!guess->Option1()->isChecked() && !guess->Option2()->isChecked());

    // Changing the signature font: the chooser preset with the signature's font.
    guess->Option2()->setChecked(true);
    const ItemFont chosen{QStringLiteral("楷体_GB2312"), 12, false, true};
    m_platform->expectFont(chosen);
    guess->Command1Click();
    QCOMPARE(m_platform->shown.last().font, ItemFont{});
    QCOMPARE(m_state->Document().ItemFonts[2], chosen);
    QCOMPARE(m_state->Document().ItemFonts[0], ItemFont{});
    QTRY_VERIFY(!m_window->studentCommands().signatureGuessDialog());

    // Changing the signature: the signature dialog, set for this file only.
    QTest::mouseClick(editor()->teacher(0), Qt::LeftButton);
    guess = m_window->studentCommands().signatureGuessDialog();
    QVERIFY(guess);
    guess->Option1()->setChecked(true);
    guess->Command1Click();
    teachersetup *setup = m_window->studentCommands().signatureDialog();
    QVERIFY(setup);
    QCOMPARE(setup->Text1()->text(), QStringLiteral("****老师"));
    setup->Text1()->setText(QStringLiteral("李老师"));
    m_platform->expectMessage();
    setup->Command2Click();
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("设置成功！"));
    QCOMPARE(m_state->Document().TeacherSignature, QStringLiteral("李老师"));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(editor()->teacher(i)->text(), QStringLiteral("李老师"));
}

void tst_StudentCommands::signatureSetAsDefaultReachesNewDocument()
{
    start(writeClass(m_dir, 2));
    trigger("teacher");
    teachersetup *setup = m_window->studentCommands().signatureDialog();
    QVERIFY(setup);
    QVERIFY(setup->isVisible());
    setup->Text1()->setText(QStringLiteral("张老师"));
    m_platform->expectMessage(MsgAnswer::Yes);
    m_platform->expectMessage();
    setup->Command1Click();
    QCOMPARE(m_state->Document().TeacherSignature, QStringLiteral("张老师"));
    m_platform->expectMessage(MsgAnswer::No); // the signature changed the open file
    menuItem(*m_window, "new")->trigger();
    QCOMPARE(m_state->Document().TeacherSignature, QStringLiteral("张老师"));
    QCOMPARE(m_state->Document().studentCount(), 0);
    QTRY_VERIFY(m_window->studentCommands().noStudentDialog());
}

QTEST_MAIN(tst_StudentCommands)
#include "tst_studentcommands.moc"
