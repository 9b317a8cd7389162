// The main window's commands: one action each, created once and placed in the menus, the
// pop-up menus and the toolbar, and the one place that enables them.
#include "ui/app/mainwindow.h"

#include "core/document/recentfiles.h"
#include "core/document/session.h"
#include "core/export/exportcommands.h"
#include "core/platform/platform.h"
#include "core/printing/pdfcommand.h"
#include "ui/app/menutips.h"
#include "ui/app/studentcommands.h"
#include "ui/editor/editcommands.h"
#include "ui/library/librarycommands.h"
#include "ui/library/pytools.h"
#include "ui/platform/accessiblenames.h"
#include "ui/printing/ps_control.h"

#include <QAction>
#include <QIcon>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// Commands that need an open class with students.
constexpr CommandId DocumentCommands[] = {
    CommandId::Save,          CommandId::SaveAs,      CommandId::Close,         CommandId::ExportPdf,     CommandId::ExportEach,
    CommandId::PrintSetup,    CommandId::Preview,     CommandId::Print,         CommandId::Cut,
    CommandId::Copy,          CommandId::Paste,       CommandId::NextStudent,   CommandId::PreviousStudent,
    CommandId::CheckClass,    CommandId::Find,        CommandId::DeleteStudent, CommandId::DeleteAllStudents,
    CommandId::RenameStudent, CommandId::StudentFont, CommandId::GenerateDrafts,
};

// 撤消 and 重做 while the history has no step to take.
const QString UndoText = QStringLiteral("撤消(&U)");
const QString RedoText = QStringLiteral("重做(&Y)");

} // namespace

QAction *MainWindow::command(CommandId id) const
{
    return m_commands[std::size_t(id)];
}

// The command table reads best one command a line.
// clang-format off
void MainWindow::createCommands()
{
    struct Row
    {
        CommandId id;
        const char *name;
        const char *caption;
        std::function<void()> run;
    };
    StudentCommands *students = m_studentCommands;
    EditCommands *clipboard = m_editCommands.get();
    LibraryCommands *library = m_libraryCommands;
    const Row rows[] = {
        {CommandId::New, "new", "新建(&N)", [this] { m_lifecycle.NewDocument(); }},
        {CommandId::Open, "open", "打开(&O)...", [this] { m_lifecycle.OpenDocument(); }},
        {CommandId::Save, "save", "保存(&S)", [this] { m_lifecycle.SaveDocument(); }},
        {CommandId::SaveAs, "saveas", "另存为(&A)...", [this] { m_lifecycle.SaveDocumentAs(); }},
        {CommandId::Close, "close", "关闭(&C)", [this] { m_lifecycle.closeDocument(); }},
        {CommandId::OpenInWord, "out", "用Word打开(&Y)", [this] { openInWordProcessor(m_session.Document(), m_platform); }},
        {CommandId::ExportText, "totext", "导出到文本文件(&D)...", [this] { exportToTextFile(m_session.Document(), m_platform, m_session.namedPath()); }},
        {CommandId::ExportWord, "toword", "导出为Word文档(&W)...", [this] { exportToWordDocument(m_session.Document(), m_platform, m_session.namedPath()); }},
        {CommandId::ExportPdf, "topdf", "导出为PDF文件(&F)...", [this] { PdfCommand::exportClassPdf(m_session, m_measurer, m_platform); }},
        {CommandId::ExportEach, "toeach", "导出每位学生一份(&G)...", [this] { showEachStudent(); }},
        {CommandId::PrintSetup, "setup", "打印设置(&S)...", [this] { openPrintWindow(PrintPanelMode::Setup); }},
        {CommandId::Preview, "privew", "打印预览(&V)", [this] { openPrintWindow(PrintPanelMode::Preview); }},
        {CommandId::Print, "print1", "打印(&P)...", [this] { openPrintWindow(PrintPanelMode::Print); }},
        {CommandId::Recent1, "recent1", "&1", [this] { openRecent(0); }},
        {CommandId::Recent2, "recent2", "&2", [this] { openRecent(1); }},
        {CommandId::Recent3, "recent3", "&3", [this] { openRecent(2); }},
        {CommandId::Recent4, "recent4", "&4", [this] { openRecent(3); }},
        {CommandId::Exit, "exit", "退出(&E)", [this] { close(); }},
        {CommandId::Cut, "cut", "剪切(&X)", [clipboard] { clipboard->cut(); }},
        {CommandId::Copy, "copy", "复制(&C)", [clipboard] { clipboard->copy(); }},
        {CommandId::Paste, "paste", "粘贴(&P)", [clipboard] { clipboard->paste(); }},
        {CommandId::Undo, "undo", "撤消(&U)", [this] { takeStep(false); }},
        {CommandId::Redo, "redo", "重做(&Y)", [this] { takeStep(true); }},
        {CommandId::Find, "find", "查找和替换(&F)...", [this] { showFind(); }},
        {CommandId::DeleteStudent, "delstudent", "删除当前学生(&D)", [students] { students->s_delete(); }},
        {CommandId::DeleteAllStudents, "delall", "删除所有学生(&A)", [students] { students->s_delall(); }},
        {CommandId::RenameStudent, "renamestudent", "重命名当前学生(&R)...", [students] { students->s_rename(); }},
        {CommandId::DefaultStudents, "defaultstudent", "将当前学生列表设为默认(&J)", [students] { students->s_setup(); }},
        {CommandId::NextStudent, "nextstudent", "下一个学生(&N)", [students] { students->moveBy(1); }},
        {CommandId::PreviousStudent, "prevstudent", "上一个学生(&V)", [students] { students->moveBy(-1); }},
        {CommandId::StudentFont, "s_font", "字体(&F)...", [students] { students->s_font(); }},
        {CommandId::AddStudent, "s_add", "添加(&A)...", [students] { students->s_add(); }},
        {CommandId::AddCategory, "addlb", "添加类别(&A)", [library] { library->addlb(); }},
        {CommandId::DeleteCategory, "dellb", "删除类别(&D)", [library] { library->dellb(); }},
        {CommandId::EditCategory, "editlb", "编辑类别(&E)", [library] { library->editlb(); }},
        {CommandId::AddComment, "addpy", "添加评语内容(&N)", [library] { library->addpy(); }},
        {CommandId::DeleteComment, "delpy", "删除评语内容(&P)", [library] { library->delpy(); }},
        {CommandId::EditComment, "editpy", "编辑评语内容(&Y)", [library] { library->editpy(); }},
        {CommandId::BatchImport, "pldr", "批量导入评语内容(&L)...", [library] { library->pldr(); }},
        {CommandId::AddSelection, "setop", "添加选定内容到评语库(&S)", [library] { library->setop(); }},
        {CommandId::GenerateDrafts, "drafts", "生成评语草稿(&G)...", [this] { showDrafts(); }},
        {CommandId::LibraryLocation, "pykwz", "评语库位置(&W)...", [library] { library->chooseLocation(); }},
        {CommandId::MergeLibrary, "pykhb", "合并评语库(&H)...", [library] { library->mergeLibrary(); }},
        {CommandId::PopupEdit, "kpxiugai", "修改(&E)", [library] { library->kpxiugai(); }},
        {CommandId::PopupDelete, "kpshanchu", "删除(&D)", [library] { library->kpshanchu(); }},
        {CommandId::PopupAdd, "kptianjia", "添加(&A)", [library] { library->kptianjia(); }},
        {CommandId::StudentList, "student", "学生列表(&S)", [this] { toggleStudentList(); }},
        {CommandId::Library, "pyzy", "评语资源库(&P)", [this] { toggleLibraryWindow(); }},
        {CommandId::NextPane, "nextpane", "切换窗格(&W)", [this] { focusNextPane(); }},
        {CommandId::ImportNames, "input", "导入学生名单(&D)...", [students] { students->input(); }},
        {CommandId::Signature, "teacher", "设置教师签名(&S)...", [students] { students->teacher(); }},
        {CommandId::Progress, "tongji", "统计工作进度(&T)...", [students] { students->tongji(); }},
        {CommandId::CheckClass, "check", "检查全班评语(&K)...", [this] { showClassCheck(); }},
        {CommandId::Help, "zhuti", "帮助主题(&H)...", [this] { showHelp(); }},
        {CommandId::About, "zuozhe", "关于(&G)...", [this] { showAbout(); }},
    };
    static_assert(std::size(rows) == CommandCount, "one entry a command");
    for (const Row &row : rows) {
        auto *item = new QAction(QString::fromUtf8(row.caption), this);
        item->setObjectName(QString::fromLatin1(row.name));
        // Buttons, tips and screen readers name the command without its access key.
        item->setIconText(AccessibleNames::withoutAccessKey(item->text()));
        connect(item, &QAction::triggered, this, row.run);
        m_commands[std::size_t(row.id)] = item;
    }
    Q_ASSERT(std::all_of(m_commands.begin(), m_commands.end(), [](QAction *a) { return a != nullptr; }));

    command(CommandId::New)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    command(CommandId::Open)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    command(CommandId::Save)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    command(CommandId::Find)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::CTRL | Qt::Key_H)});
    // The keys of the next and the previous student work from a comment box too.
    command(CommandId::NextStudent)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageDown),
                                                   QKeySequence(Qt::ALT | Qt::Key_Down)});
    command(CommandId::PreviousStudent)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                                                       QKeySequence(Qt::ALT | Qt::Key_Up)});
    // F6 goes round the panes, as on every desktop: student list, editor, library.
    command(CommandId::NextPane)->setShortcut(QKeySequence(Qt::Key_F6));
    command(CommandId::StudentList)->setCheckable(true);
    command(CommandId::Library)->setCheckable(true);
    for (int i = 0; i < RecentFiles::Max; ++i) // filled each time the menu opens
        recentCommand(i)->setVisible(false);
}

void MainWindow::fillMenu(QMenu *menu, std::initializer_list<MenuEntry> entries)
{
    for (const MenuEntry &entry : entries) {
        if (entry.separator)
            menu->addSeparator()->setObjectName(QString::fromLatin1(entry.separator));
        else
            menu->addAction(command(entry.id));
    }
}

void MainWindow::createMenus()
{
    using C = CommandId;
    const auto topMenu = [this](const char *name, const char *caption) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    QMenu *file = topMenu("file", "文件(&F)");
    fillMenu(file, {C::New, C::Open, C::Save, C::SaveAs, C::Close, "f1", C::OpenInWord, C::ExportText,
                    C::ExportWord, C::ExportPdf, C::ExportEach, "f2", C::PrintSetup, C::Preview, C::Print, "f3",
                    C::Recent1, C::Recent2, C::Recent3, C::Recent4});
    m_recentSeparator = file->addSeparator();
    m_recentSeparator->setObjectName(QStringLiteral("f4"));
    m_recentSeparator->setVisible(false);
    fillMenu(file, {C::Exit});
    // The files opened or saved last are listed each time the menu opens; missing ones are left out.
    connect(file, &QMenu::aboutToShow, this, &MainWindow::listRecentFiles);
    MenuTips::install(file); // a recent file's full path

    fillMenu(topMenu("edit", "编辑(&E)"),
             {C::Undo, C::Redo, "eg0", C::Cut, C::Copy, C::Paste, C::Find, "eg1", C::DeleteStudent,
              C::DeleteAllStudents, C::RenameStudent, C::DefaultStudents, "eg2", C::NextStudent,
              C::PreviousStudent});
    fillMenu(topMenu("pingyu", "评语(&P)"),
             {C::AddCategory, C::DeleteCategory, C::EditCategory, "ggggg", C::AddComment, C::DeleteComment,
              C::EditComment, C::BatchImport, "gggg1", C::AddSelection, "gggg2", C::GenerateDrafts, "gggg3",
              C::LibraryLocation, C::MergeLibrary});
    fillMenu(topMenu("see", "查看(&V)"), {C::StudentList, C::Library, C::NextPane});
    fillMenu(topMenu("tools", "工具(&T)"), {C::ImportNames, C::Signature, C::Progress, C::CheckClass});
    fillMenu(topMenu("help", "帮助(&H)"), {C::Help, C::About});

    // The two pop-up menus are not on the menu bar; the child windows show them. They hold
    // the menu bar's own commands where the command is the same.
    m_kstudent = new QMenu(QStringLiteral("学生"), this);
    m_kstudent->setObjectName(QStringLiteral("kstudent"));
    fillMenu(m_kstudent, {C::DeleteStudent, C::RenameStudent, C::StudentFont, "s_g1", C::AddStudent,
                          C::ImportNames, C::DeleteAllStudents, C::DefaultStudents});
    m_kpingyu = new QMenu(QStringLiteral("评语"), this);
    m_kpingyu->setObjectName(QStringLiteral("kpingyu"));
    fillMenu(m_kpingyu, {C::PopupEdit, C::PopupDelete, C::PopupAdd, "gg1", C::AddSelection, C::BatchImport});
    // What the library's pop-up allows holds while it is shown; afterwards the commands are
    // as the menu bar has them.
    connect(m_kpingyu, &QMenu::aboutToHide, this, &MainWindow::updateActions);
}
// clang-format on

void MainWindow::createToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("工具栏"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    // The buttons are the menu commands themselves, each with its string key and icon; the
    // tip and the name a screen reader reads are the command's text without its access key.
    struct Button
    {
        const char *key;
        CommandId id;
    };
    const Button buttons[] = {
        {"new", CommandId::New},     {"open", CommandId::Open}, {"save", CommandId::Save},
        {nullptr, CommandId::New},   {"cut", CommandId::Cut},   {"copy", CommandId::Copy},
        {"paste", CommandId::Paste}, {nullptr, CommandId::New}, {"privew", CommandId::Preview},
        {"print", CommandId::Print},
    };
    for (const Button &button : buttons) {
        if (!button.key) {
            m_toolbar->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(button.key);
        QAction *item = command(button.id);
        item->setIcon(QIcon(m_session.Files().toolbarIcon(key)));
        item->setIconVisibleInMenu(false);
        item->setToolTip(item->iconText());
        item->setProperty("key", key);
        m_toolbar->addAction(item);
        QWidget *widget = m_toolbar->widgetForAction(item);
        widget->setObjectName(QStringLiteral("Toolbar1_") + key);
        widget->setAccessibleName(item->iconText());
    }
}

QAction *MainWindow::recentCommand(int index) const
{
    return command(CommandId(int(CommandId::Recent1) + index));
}

void MainWindow::listRecentFiles()
{
    m_recentFiles = RecentFiles::existing(m_platform.recentFiles());
    for (int i = 0; i < RecentFiles::Max; ++i) {
        QAction *item = recentCommand(i);
        const bool listed = i < m_recentFiles.size();
        item->setVisible(listed);
        if (listed) {
            item->setText(RecentFiles::menuText(i, m_recentFiles));
            item->setStatusTip(m_recentFiles[i]);
            item->setToolTip(m_recentFiles[i]);
        }
    }
    m_recentSeparator->setVisible(!m_recentFiles.isEmpty());
}

void MainWindow::openRecent(int index)
{
    if (index < m_recentFiles.size())
        m_lifecycle.openPath(m_recentFiles[index]);
}

QToolButton *MainWindow::toolButton(const QString &key) const
{
    return m_toolbar->findChild<QToolButton *>(QStringLiteral("Toolbar1_") + key);
}

void MainWindow::updateActions()
{
    // The document commands need an open editor with students in it.
    const bool document = m_editor && m_session.Document().studentCount() > 0;
    for (const CommandId id : DocumentCommands)
        command(id)->setEnabled(document);
    // The class's history: each names the step it takes, e.g. 撤消全部替换. A whole-class step
    // may leave an empty class (全部删除), so these do not need students.
    const bool editing = m_editor != nullptr;
    const QString undo = m_session.undoCaption();
    const QString redo = m_session.redoCaption();
    command(CommandId::Undo)->setEnabled(editing && !undo.isEmpty());
    command(CommandId::Undo)->setText(undo.isEmpty() ? UndoText : undo + QStringLiteral("(&U)"));
    command(CommandId::Redo)->setEnabled(editing && !redo.isEmpty());
    command(CommandId::Redo)->setText(redo.isEmpty() ? RedoText : redo + QStringLiteral("(&Y)"));
    // Outside the library's pop-up, its commands are always there (they open the window).
    for (const CommandId id : {CommandId::PopupEdit, CommandId::PopupDelete, CommandId::AddSelection})
        command(id)->setEnabled(true);
}

void MainWindow::showLibraryPopup(const QPoint &at)
{
    const pytools::PopupItems items = m_library->popupItems();
    command(CommandId::PopupEdit)->setEnabled(items.edit);
    command(CommandId::PopupDelete)->setEnabled(items.edit);
    command(CommandId::AddSelection)->setEnabled(items.addSelection);
    m_kpingyu->popup(at);
}
