#include "core/app/startupsequence.h"
#include "core/document/commentfile.h"
#include "core/document/session.h"
#include "core/library/commentlibrary.h"
#include "core/library/librarylock.h"
#include "core/platform/textfile.h"
#include "mainwindowtest.h"
#include "menuitem.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "ui/app/mainwindow.h"
#include "ui/editor/pyedit.h"
#include "ui/editor/stds.h"
#include "ui/library/librarycommands.h"
#include "ui/library/piliangdaoru.h"
#include "ui/library/pytools.h"

#include <QAction>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <thread>

namespace {

// Two categories; 学习 has two excellent comments and one good one.
const QStringList SmallLibrary = {
    "*!*类别之学习", "\t*!*学习好", "\t\t认真", "\t\t勤奋",    "\t*!*学习中", "\t\t一般", "\t*!*学习差",
    "*!*类别之纪律", "\t*!*纪律好", "\t\t守纪", "\t*!*纪律中", "\t*!*纪律差", "\t\t散漫",
};

QStringList items(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

} // namespace

class tst_LibraryCommands : public MainWindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowDocksAndToggles();
    void libraryLocationAndMerge_data();
    void libraryLocationAndMerge();
    void menuCommandOpensClosedWindow();
    void addCategorySelectsIt();
    void addCommentKeepsSelection();
    void saveWithEmptyTextKeepsPanel();
    void pressInListKeepsPanelMode();
    void editNeedsSelection_data();
    void editNeedsSelection();
    void editCategoryAndComment();
    void deleteCategory_data();
    void deleteCategory();
    void deleteComment_data();
    void deleteComment();
    void changeWaitsForLock_data();
    void changeWaitsForLock();
    void popupActsOnPressedList();
    void addSelectionFromEditor();
    void doubleClickInsertsIntoEditor();
    void batchImport_data();
    void batchImport();
    void batchImportEmptyList();
    void markerInCommentIsRewritten_data();
    void markerInCommentIsRewritten();

private:
    QTemporaryDir m_dir;

    void start(const QStringList &library = SmallLibrary, int students = 2);
    pytools *library() const { return m_window->library(); }
    QStringList fileLines() const
    {
        return TextFile::splitLines(TextFile::decode(fileBytes(m_folder->file("pyk.vxd"))));
    }
    void trigger(const char *name) { menuItem(*m_window, QString::fromLatin1(name))->trigger(); }
    void save() { QTest::mouseClick(library()->Command1(), Qt::LeftButton); }
};

void tst_LibraryCommands::init()
{
    setUpWorkspace();
}

void tst_LibraryCommands::cleanup()
{
    tearDownWorkspace();
}

void tst_LibraryCommands::start(const QStringList &libraryLines, int students)
{
    QVERIFY(TextFile::writeLines(m_folder->file("pyk.vxd"), libraryLines).ok());
    CommentDocument document;
    for (int i = 1; i <= students; ++i)
        document.slot(i) = {QStringLiteral("学生%1").arg(i), QString()};
    const QString path = m_dir.filePath("class.py");
    QVERIFY(CommentFile::write(path, document, document.ItemFonts).ok());
    QVERIFY(showWindow(path));
    QVERIFY(library());
}

void tst_LibraryCommands::windowDocksAndToggles()
{
    start();
    QVERIFY(menuItem(*m_window, "pyzy")->isChecked());
    QCOMPARE(library()->windowTitle(), QStringLiteral("评语资源库"));
    QCOMPARE(items(library()->lblb()), (QStringList{"学习", "纪律"}));
    QCOMPARE(library()->lblb()->currentRow(), 0);
    QVERIFY(library()->Option1()->isChecked());
    QCOMPARE(items(library()->lbnr()), (QStringList{"认真", "勤奋"}));

    // Docked along the bottom, under the editor, across the frame's width.
    m_window->resize(1500, 1000);
    const double dpi = m_window->logicalDpiY();
    const auto tw = [dpi](int pixels) { return qRound(pixels * 1440 / dpi); };
    const QRect client = m_window->libraryWindow()->mdiArea()->viewport()->rect();
    const QRect rect = m_window->libraryWindow()->geometry();
    QCOMPARE(rect.bottom(), client.bottom());
    QCOMPARE(rect.width(), client.width());
    QVERIFY(qAbs(tw(rect.height()) - 3000) <= 15);
    QCOMPARE(rect.y(), m_window->editorWindow()->geometry().bottom() + 1);

    menuItem(*m_window, "pyzy")->trigger();
    QVERIFY(!library());
    QVERIFY(!menuItem(*m_window, "pyzy")->isChecked());
    m_window->resize(1400, 950);
    QVERIFY(!library());
    menuItem(*m_window, "pyzy")->trigger();
    QVERIFY(library());
    QVERIFY(menuItem(*m_window, "pyzy")->isChecked());
}

void tst_LibraryCommands::menuCommandOpensClosedWindow()
{
    start();
    menuItem(*m_window, "pyzy")->trigger();
    QVERIFY(!library());
    trigger("addlb");
    QVERIFY(library());
    QVERIFY(menuItem(*m_window, "pyzy")->isChecked());
    QVERIFY(library()->Frame1()->isVisible());
    QCOMPARE(library()->panelMode(), PanelMode::AddCategory);
    QCOMPARE(library()->Frame1()->title(), QStringLiteral("添加类别：请输入类别，然后单击“保存”。"));
}

void tst_LibraryCommands::addCategorySelectsIt()
{
    start();
    trigger("addlb");
    library()->Text1()->setText(QStringLiteral("  劳动 "));
    save();
    QCOMPARE(fileLines().mid(SmallLibrary.size()),
             (QStringList{"*!*类别之劳动", "\t*!*劳动好", "\t*!*劳动中", "\t*!*劳动差"}));
    QCOMPARE(items(library()->lblb()), (QStringList{"学习", "纪律", "劳动"}));
    QCOMPARE(library()->lblb()->currentRow(), 2);
    QCOMPARE(library()->lbnr()->count(), 0);
    QVERIFY(!library()->Frame1()->isVisible());
    QCOMPARE(library()->panelMode(), PanelMode::None);
}

void tst_LibraryCommands::addCommentKeepsSelection()
{
    start();
    library()->lblb()->setCurrentRow(1);
    library()->setRating(Rating::Lagging);
    QCOMPARE(items(library()->lbnr()), QStringList{"散漫"});
    trigger("addpy");
    QCOMPARE(library()->Frame1()->title(),
             QStringLiteral("添加内容：请输入新内容，然后单击“保存”。（一次只能添加一条评语）"));
    library()->Text1()->setText(QStringLiteral("上课爱说话"));
    save();
    QCOMPARE(library()->lblb()->currentRow(), 1);
    QVERIFY(library()->Option3()->isChecked());
    QCOMPARE(items(library()->lbnr()), (QStringList{"上课爱说话", "散漫"}));
    QCOMPARE(fileLines().mid(11), (QStringList{"\t*!*纪律差", "\t\t上课爱说话", "\t\t散漫"}));
}

void tst_LibraryCommands::saveWithEmptyTextKeepsPanel()
{
    start();
    trigger("editlb");
    library()->Text1()->clear();
    const QByteArray before = fileBytes(m_folder->file("pyk.vxd"));
    m_platform->expectMessage();
    save();
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("内容不能为空！"));
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Information);
    QVERIFY(library()->Frame1()->isVisible());
    QCOMPARE(library()->panelMode(), PanelMode::EditCategory);
    QCOMPARE(fileBytes(m_folder->file("pyk.vxd")), before);
    // 取消 hides the panel and changes nothing.
    QTest::mouseClick(library()->Command2(), Qt::LeftButton);
    QVERIFY(!library()->Frame1()->isVisible());
    QCOMPARE(fileBytes(m_folder->file("pyk.vxd")), before);
}

void tst_LibraryCommands::pressInListKeepsPanelMode()
{
    start();
    trigger("addlb");
    library()->Text1()->setText(QStringLiteral("体育"));
    QListWidget *comments = library()->lbnr();
    QTest::mousePress(comments->viewport(), Qt::LeftButton, {},
                      comments->visualItemRect(comments->item(1)).center());
    QCOMPARE(library()->popupTarget(), PopupTarget::CommentList);
    save();
    QCOMPARE(items(library()->lblb()), (QStringList{"学习", "纪律", "体育"}));
}

void tst_LibraryCommands::editNeedsSelection_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::newRow("edit category") << "editlb"
                                   << "请选择一个类别再执行该功能！" << int(MsgIcon::Exclamation);
    QTest::newRow("delete category") << "dellb"
                                     << "请选择一个类别再执行该功能！" << int(MsgIcon::Exclamation);
    QTest::newRow("edit comment") << "editpy"
                                  << "请选择一条再执行该功能！" << int(MsgIcon::Exclamation);
    QTest::newRow("delete comment") << "delpy"
                                    << "请选择一条评语再执行该功能！" << int(MsgIcon::Information);
}

void tst_LibraryCommands::editNeedsSelection()
{
    QFETCH(QString, command);
    QFETCH(QString, message);
    QFETCH(int, icon);
    start();
    library()->lblb()->setCurrentRow(-1);
    library()->lbnr()->setCurrentRow(-1);
    m_platform->expectMessage();
    menuItem(*m_window, command)->trigger();
    QCOMPARE(m_platform->shown.last().text, message);
    QCOMPARE(m_platform->shown.last().icon, MsgIcon(icon));
    QCOMPARE(m_platform->shown.last().title, QStringLiteral("系统提示"));
    QVERIFY(!library()->Frame1()->isVisible());
}

void tst_LibraryCommands::editCategoryAndComment()
{
    start();
    library()->lblb()->setCurrentRow(1);
    trigger("editlb");
    QCOMPARE(library()->Frame1()->title(),
             QStringLiteral("编辑类别：请输入该类别的新名字，然后单击“保存”。"));
    QCOMPARE(library()->Text1()->text(), QStringLiteral("纪律"));
    QCOMPARE(library()->Text1()->cursorPosition(), 2);
    library()->Text1()->setText(QStringLiteral("纪律与习惯"));
    save();
    QCOMPARE(items(library()->lblb()), (QStringList{"学习", "纪律与习惯"}));
    QCOMPARE(library()->lblb()->currentRow(), 1);
    QCOMPARE(fileLines().mid(7, 3), (QStringList{"*!*类别之纪律与习惯", "\t*!*纪律与习惯好", "\t\t守纪"}));

    library()->lblb()->setCurrentRow(0);
    library()->lbnr()->setCurrentRow(1);
    trigger("editpy");
    QCOMPARE(library()->Text1()->text(), QStringLiteral("勤奋"));
    library()->Text1()->setText(QStringLiteral("勤奋好学"));
    save();
    QCOMPARE(items(library()->lbnr()), (QStringList{"认真", "勤奋好学"}));
    QCOMPARE(library()->lbnr()->currentRow(), 1);

    // Another teacher changed 认真 meanwhile: nothing is written, the typed text stays.
    QStringList changed = fileLines();
    changed[2] = QStringLiteral("\t\t认真听讲");
    QVERIFY(TextFile::writeLines(m_folder->file("pyk.vxd"), changed).ok());
    library()->lbnr()->setCurrentRow(0);
    trigger("editpy");
    library()->Text1()->setText(QStringLiteral("专心"));
    m_platform->expectMessage();
    save();
    QCOMPARE(m_platform->shown.last().text, CommentLibrary::VanishedMessage);
    QCOMPARE(fileLines(), changed);
    QVERIFY(library()->Frame1()->isVisible());
    QCOMPARE(library()->Text1()->text(), QStringLiteral("专心"));
}

void tst_LibraryCommands::deleteCategory_data()
{
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("middle: the next moves up")
        << QStringList{"甲", "乙", "丙"} << 1 << QStringList{"甲", "丙"} << 1;
    QTest::newRow("last: the one before")
        << QStringList{"甲", "乙", "丙"} << 2 << QStringList{"甲", "乙"} << 1;
    QTest::newRow("first") << QStringList{"甲", "乙"} << 0 << QStringList{"乙"} << 0;
    QTest::newRow("only one") << QStringList{"甲"} << 0 << QStringList{} << -1;
}

void tst_LibraryCommands::deleteCategory()
{
    QFETCH(QStringList, categories);
    QFETCH(int, selected);
    QFETCH(QStringList, remaining);
    QFETCH(int, selectedAfter);
    QStringList lines;
    for (const QString &name : categories)
        lines << "*!*类别之" + name << "\t*!*" + name + "好"
              << "\t\t" + name + "的评语"
              << "\t*!*" + name + "中"
              << "\t*!*" + name + "差";
    start(lines);
    library()->lblb()->setCurrentRow(selected);
    library()->setRating(Rating::Good);

    m_platform->expectMessage(MsgAnswer::No);
    trigger("dellb");
    QCOMPARE(m_platform->shown.last().text,
             QStringLiteral("确实要删除类别：“%1”吗？这将删除该类别的所有评语！").arg(categories[selected]));
    QCOMPARE(m_platform->shown.last().title, QStringLiteral("系统询问"));
    QCOMPARE(items(library()->lblb()), categories);

    m_platform->expectMessage(MsgAnswer::Yes);
    trigger("dellb");
    QCOMPARE(items(library()->lblb()), remaining);
    QCOMPARE(library()->lblb()->currentRow(), selectedAfter);
    QVERIFY(library()->Option1()->isChecked());
    if (selectedAfter >= 0)
        QCOMPARE(items(library()->lbnr()), QStringList{remaining[selectedAfter] + "的评语"});
    else
        QCOMPARE(library()->lbnr()->count(), 0);
}

void tst_LibraryCommands::deleteComment_data()
{
    QTest::addColumn<bool>("vanished"); // another teacher deleted it after the window showed it
    QTest::newRow("the selected entry only") << false;
    QTest::newRow("deleted meanwhile") << true;
}

void tst_LibraryCommands::deleteComment()
{
    QFETCH(bool, vanished);
    // 认真 stands in both categories; 学习's is selected. Either way only it goes.
    QStringList lines = SmallLibrary;
    lines.insert(9, QStringLiteral("\t\t认真"));
    start(lines);
    QStringList after = lines;
    after.removeAt(2);
    if (vanished)
        QVERIFY(TextFile::writeLines(m_folder->file("pyk.vxd"), after).ok());
    m_platform->expectMessage(MsgAnswer::Yes);
    if (vanished)
        m_platform->expectMessage();
    trigger("delpy");
    QCOMPARE(m_platform->shown.at(0).text, QStringLiteral("确实要删除评语：“认真”吗？"));
    QCOMPARE(fileLines(), after);
    QCOMPARE(items(library()->lbnr()), QStringList{"勤奋"});
    if (vanished) {
        QCOMPARE(m_platform->shown.size(), 2);
        QCOMPARE(m_platform->shown.last().text, CommentLibrary::VanishedMessage);
        QCOMPARE(m_platform->shown.last().icon, MsgIcon::Exclamation);
    } else {
        QCOMPARE(library()->lbnr()->currentRow(), -1);
    }
}

void tst_LibraryCommands::changeWaitsForLock_data()
{
    QTest::addColumn<int>("releaseMs"); // when the other teacher lets go (-1: not in time)
    QTest::addColumn<int>("limitMs");
    QTest::addColumn<bool>("stop"); // the teacher presses 停止 in the waiting box
    QTest::addColumn<QString>("told"); // what the failure says; "" when the change went through
    QTest::newRow("released while waiting") << 800 << 10000 << false << "";
    QTest::newRow("held past the limit") << -1 << 800 << false << "正由%1修改";
    QTest::newRow("停止 while waiting") << -1 << 30000 << true << "已停止等待";
}

void tst_LibraryCommands::changeWaitsForLock()
{
    QFETCH(int, releaseMs);
    QFETCH(int, limitMs);
    QFETCH(bool, stop);
    QFETCH(QString, told);
    start();
    const QString path = m_folder->file("pyk.vxd");
    QLockFile other(LibraryLock::lockPathFor(path));
    QVERIFY(other.tryLock());
    std::thread release([&] {
        if (releaseMs >= 0) {
            QThread::msleep(releaseMs);
            other.unlock();
        }
    });
    library()->setLockWait(std::chrono::milliseconds(limitMs), std::chrono::milliseconds(200));
    trigger("editpy");
    library()->Text1()->setText(QStringLiteral("专心"));
    m_platform->expectProgress(stop ? 0 : -1);
    if (releaseMs < 0)
        m_platform->expectMessage();
    save();
    release.join();

    const QString holder =
        QStringLiteral("%1（电脑 %2）").arg(QFileInfo(path).owner(), QSysInfo::machineHostName());
    QCOMPARE(m_platform->shown.size(), releaseMs < 0 ? 3 : 2);
    QCOMPARE(m_platform->shown.at(0).kind, ShownDialog::Progress);
    QCOMPARE(m_platform->shown.at(0).text, QStringLiteral("评语库正由%1修改，正在等待……").arg(holder));
    QCOMPARE(m_platform->shown.at(1).kind, ShownDialog::ProgressClosed);
    QCOMPARE(fileLines().contains(QStringLiteral("\t\t专心")), releaseMs >= 0);
    if (releaseMs < 0)
        QVERIFY2(m_platform->shown.last().text.contains(told.contains(u'%') ? told.arg(holder) : told),
                 qPrintable(m_platform->shown.last().text));
}

void tst_LibraryCommands::popupActsOnPressedList()
{
    start();
    QMenu *menu = m_window->kpingyu();
    QAction *addSelection = menuItem(*m_window, "setop");
    QListWidget *categories = library()->lblb();
    const QPoint category = categories->visualItemRect(categories->item(1)).center();
    QTest::mousePress(categories->viewport(), Qt::RightButton, {}, category);
    QTest::mouseRelease(categories->viewport(), Qt::RightButton, {}, category);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(library()->popupTarget(), PopupTarget::CategoryList);
    // The pop-up's 添加当前所选 is the menu bar's command: off for a category while the pop-up
    // shows, on again for the menu bar afterwards.
    QVERIFY(menu->actions().contains(addSelection));
    QVERIFY(!addSelection->isEnabled());
    menu->hide();
    QVERIFY(addSelection->isEnabled());
    menu->actions().at(0)->trigger(); // 修改 edits the category
    QCOMPARE(library()->panelMode(), PanelMode::EditCategory);
    QCOMPARE(library()->Text1()->text(), QStringLiteral("纪律"));

    QListWidget *comments = library()->lbnr();
    QTest::mousePress(comments->viewport(), Qt::LeftButton, {},
                      comments->visualItemRect(comments->item(0)).center());
    menuItem(*m_window, "kptianjia")->trigger(); // 添加 adds a comment
    QCOMPARE(library()->panelMode(), PanelMode::AddComment);
    QCOMPARE(library()->Text1()->text(), QString());
}

void tst_LibraryCommands::addSelectionFromEditor()
{
    start();
    m_window->studentList()->setFocus();
    QPlainTextEdit *box = m_window->editor()->pytext1(1);
    m_window->editor()->moveTo(1);
    box->setPlainText(QStringLiteral("上课认真\n听讲"));
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    trigger("setop");
    QCOMPARE(library()->panelMode(), PanelMode::AddComment);
    QCOMPARE(library()->Text1()->text(), QStringLiteral("认真听讲"));

    // Without a current student there is nothing to take, and nothing fails.
    m_state->setCurrentStudent(-1);
    menuItem(*m_window, "setop")->trigger();
    QCOMPARE(library()->Text1()->text(), QString());
}

void tst_LibraryCommands::doubleClickInsertsIntoEditor()
{
    start();
    m_window->editor()->moveTo(1);
    QListWidget *comments = library()->lbnr();
    const QPoint at = comments->visualItemRect(comments->item(1)).center();
    QTest::mouseClick(comments->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(comments->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(m_state->Document().slot(2).comment, QStringLiteral("    勤奋"));
    QVERIFY(m_state->Modified());
    QCOMPARE(m_window->editor()->pytext1(1)->textCursor().position(), 6);
    // A stock comment's placeholders become the student's name as it goes in.
    const QString name = m_state->Document().slot(2).name;
    library()->insertComment(QStringLiteral("{姓名}，{名}加油！"));
    QCOMPARE(m_state->Document().slot(2).comment,
             QStringLiteral("    勤奋%1，%2加油！").arg(name, name.size() > 2 ? name.mid(1) : name));
}

void tst_LibraryCommands::batchImport_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("section");
    QTest::newRow("two lines and a blank one") << "  踏实 \n\n刻苦" << QStringList{"  踏实 ", "刻苦", "一般"};
    QTest::newRow("only line breaks") << "\n\n" << QStringList{"一般"};
}

void tst_LibraryCommands::batchImport()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, section);
    start();
    menuItem(*m_window, "pyzy")->trigger(); // the import opens the window when it needs it
    trigger("pldr");
    QPointer<piliangdaoru> dialog = m_window->libraryCommands().batchImportDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("批量导入评语内容到评语库"));
    dialog->Text1()->setPlainText(typed);
    // The target is what the window shows at the moment of the import.
    QVERIFY(m_window->openLibraryWindow());
    library()->setRating(Rating::Good);
    QTest::mouseClick(dialog->Command1(), Qt::LeftButton);
    QCOMPARE(items(library()->lbnr()), section);
    QCOMPARE(library()->lblb()->currentRow(), 0);
    QVERIFY(library()->Option2()->isChecked());
    QTRY_VERIFY(!dialog);
}

void tst_LibraryCommands::batchImportEmptyList()
{
    start();
    m_window->kpingyu()->actions().last()->trigger();
    piliangdaoru *dialog = m_window->libraryCommands().batchImportDialog();
    QVERIFY(dialog);
    const QByteArray before = fileBytes(m_folder->file("pyk.vxd"));
    m_platform->expectMessage();
    dialog->Command1Click();
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("不能导入一个空的列表！"));
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Exclamation);
    QVERIFY(dialog->isVisible());
    QCOMPARE(fileBytes(m_folder->file("pyk.vxd")), before);
    dialog->Text1()->setPlainText(QStringLiteral("x"));
    QTest::mouseClick(dialog->Command2(), Qt::LeftButton);
    QCOMPARE(dialog->Text1()->toPlainText(), QString());
    QTest::mouseClick(dialog->Command3(), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
}

void tst_LibraryCommands::markerInCommentIsRewritten_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("section");
    QTest::newRow("add comment") << "addpy"
                                 << "bad*!*x" << QStringList{"bad*！*x", "认真", "勤奋"};
    QTest::newRow("edit comment") << "editpy"
                                  << "勤*!*奋" << QStringList{"认真", "勤*！*奋"};
    QTest::newRow("add selection") << "setop"
                                   << "bad*!*x" << QStringList{"bad*！*x", "认真", "勤奋"};
    QTest::newRow("batch import") << "pldr"
                                  << "bad*!*x\n好" << QStringList{"bad*！*x", "好", "认真", "勤奋"};
}

// The section keeps showing all its comments, the teacher is told of the change, and later
// changes to the section still show.
void tst_LibraryCommands::markerInCommentIsRewritten()
{
    QFETCH(QString, command);
    QFETCH(QString, typed);
    QFETCH(QStringList, section);
    start();
    m_platform->expectMessage();
    if (command == u"pldr") {
        trigger("pldr");
        QPointer<piliangdaoru> dialog = m_window->libraryCommands().batchImportDialog();
        dialog->Text1()->setPlainText(typed);
        QTest::mouseClick(dialog->Command1(), Qt::LeftButton);
        QTRY_VERIFY(!dialog);
    } else {
        if (command == u"setop") {
            QPlainTextEdit *box = m_window->editor()->pytext1(1);
            m_window->editor()->moveTo(1);
            box->setPlainText(QStringLiteral("甲") + typed + QStringLiteral("乙"));
            QTextCursor cursor = box->textCursor();
            cursor.setPosition(1);
            cursor.setPosition(1 + typed.size(), QTextCursor::KeepAnchor);
            box->setTextCursor(cursor);
        } else if (command == u"editpy") {
            library()->lbnr()->setCurrentRow(1);
        }
        trigger(qPrintable(command));
        if (command != u"setop")
            library()->Text1()->setText(typed);
        QCOMPARE(library()->Text1()->text(), typed);
        save();
    }
    QCOMPARE(m_platform->shown.size(), 1);
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("评语中的“*!*”已改为“*！*”。"));
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Information);
    QCOMPARE(m_platform->shown.last().title, QStringLiteral("系统提示"));
    QCOMPARE(m_platform->shown.last().buttons, MsgButtons::Ok);
    QCOMPARE(library()->lblb()->currentRow(), 0);
    QCOMPARE(items(library()->lbnr()), section);

    trigger("addpy");
    library()->Text1()->setText(QStringLiteral("后来"));
    save();
    QCOMPARE(items(library()->lbnr()), QStringList{"后来"} + section);
    QCOMPARE(m_platform->shown.size(), 1);
}

QTEST_MAIN(tst_LibraryCommands)
#include "tst_librarycommands.moc"

void tst_LibraryCommands::libraryLocationAndMerge_data()
{
    QTest::addColumn<QString>("setting"); // the library chosen before: "", "shared" or "gone"
    QTest::addColumn<QString>("command"); // what the teacher does
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<QString>("told"); // the last message, or ""
    QTest::newRow("a grade's library chosen") << "" << "choose shared" << "评语资源库 - 年级组评语库"
                                              << QStringList{"班风"} << "";
    QTest::newRow("back to the teacher's own") << "shared" << "choose own" << "评语资源库"
                                               << QStringList{"学习", "纪律"} << "";
    QTest::newRow("shared folder not connected: own offered")
        << "gone" << "" << "评语资源库" << QStringList{"学习", "纪律"}
        << "找不到评语库“%1”。如果它在学校网络的共享文件夹里，请检查网络连接和共享文件夹是否已连上。\n\n"
           "要改用您自己的评语库吗？";
    QTest::newRow("merge") << "" << "merge" << "评语资源库" << QStringList{"学习", "纪律", "班风"}
                           << "已从“年级组评语库.vxd”添加 2 条评语。";
}

void tst_LibraryCommands::libraryLocationAndMerge()
{
    QFETCH(QString, setting);
    QFETCH(QString, command);
    QFETCH(QString, title);
    QFETCH(QStringList, categories);
    QFETCH(QString, told);
    const QString shared = m_dir.filePath("年级组评语库.vxd");
    QVERIFY(TextFile::writeLines(shared, {"*!*类别之班风", "\t*!*班风好", "\t\t团结", "\t\t向上", "\t*!*班风中",
                                          "\t*!*班风差"})
                .ok());
    const QString gone = m_dir.filePath("未连接/年级组评语库.vxd");
    m_platform->settings.insert(QStringLiteral("library/path"), setting == u"shared" ? shared : setting == u"gone" ? gone : QString());
    if (setting == u"gone")
        m_platform->expectMessage(MsgAnswer::Yes);
    start();
    if (command == u"choose shared") {
        m_platform->expectChoice(0);
        m_platform->expectOpenFile(shared);
        menuItem(*m_window, "pykwz")->trigger();
        QCOMPARE(m_platform->shown.at(m_platform->shown.size() - 2).choices,
                 (QStringList{"选择评语库文件...", "用我自己的评语库", "取消"}));
        QCOMPARE(library()->pylb()->toolTip(), shared);
    } else if (command == u"choose own") {
        m_platform->expectChoice(1);
        menuItem(*m_window, "pykwz")->trigger();
        QCOMPARE(m_platform->settings.value(QStringLiteral("library/path")).toString(), QString());
    } else if (command == u"merge") {
        m_platform->expectOpenFile(shared);
        m_platform->expectMessage();
        menuItem(*m_window, "pykhb")->trigger();
        QCOMPARE(m_platform->shown.last().icon, MsgIcon::Information);
    }
    QCOMPARE(library()->windowTitle(), title);
    QCOMPARE(items(library()->lblb()), categories);
    if (!told.isEmpty())
        QCOMPARE(m_platform->shown.last().text, told.contains(u"%1") ? told.arg(gone) : told);
    if (setting == u"gone")
        QCOMPARE(m_platform->settings.value(QStringLiteral("library/path")).toString(), QString());
}
