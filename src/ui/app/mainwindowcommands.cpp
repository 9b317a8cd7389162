// The main window's commands: the menus, the toolbar that shows some of the same actions, and
// the one place that enables them.
#include "ui/app/mainwindow.h"

#include "core/document/recentfiles.h"
#include "core/document/session.h"
#include "core/export/exportcommands.h"
#include "core/platform/platform.h"
#include "core/printing/pdfcommand.h"
#include "ui/app/studentcommands.h"
#include "ui/editor/editcommands.h"
#include "ui/library/librarycommands.h"
#include "ui/printing/ps_control.h"

#include <QAction>
#include <QIcon>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// Menu items and toolbar buttons that follow whether a document with students is open.
const QStringList DocumentCommands = {"save",        "saveas",      "close", "topdf", "setup",
                                      "privew",      "print1",      "cut",   "copy",  "paste",
                                      "nextstudent", "prevstudent", "check", "find"};

} // namespace

void MainWindow::addCommands(QMenu *menu, std::initializer_list<Command> commands)
{
    for (const Command &command : commands) {
        const QString name = QString::fromLatin1(command.name);
        if (qstrcmp(command.caption, "-") == 0) {
            menu->addSeparator()->setObjectName(name);
            continue;
        }
        auto *item = new QAction(QString::fromUtf8(command.caption), this);
        item->setObjectName(name);
        connect(item, &QAction::triggered, this, command.run);
        menu->addAction(item);
    }
}

QAction *MainWindow::action(const QString &name) const
{
    return findChild<QAction *>(name);
}

// The command tables read best one command a line.
// clang-format off
void MainWindow::createMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->setObjectName(QStringLiteral("file"));
    addCommands(file, {
        {"new", "新建(&N)", [this] { m_lifecycle.NewDocument(); }},
        {"open", "打开(&O)...", [this] { m_lifecycle.OpenDocument(); }},
        {"save", "保存(&S)", [this] { m_lifecycle.SaveDocument(); }},
        {"saveas", "另存为(&A)...", [this] { m_lifecycle.SaveDocumentAs(); }},
        {"close", "关闭(&C)", [this] { m_lifecycle.closeDocument(); }},
    });
    action("new")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    // The files opened or saved last are listed each time the menu opens; missing ones are left out.
    connect(file, &QMenu::aboutToShow, this, &MainWindow::listRecentFiles);
    action("open")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    action("save")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addCommands(file, {
        {"f1", "-", {}},
        {"out", "用Word打开(&Y)", [this] { openInWordProcessor(m_session.Document(), m_platform); }},
        {"totext", "导出到文本文件(&D)...", [this] { exportToTextFile(m_session.Document(), m_platform); }},
        {"toword", "导出为Word文档(&W)...", [this] { exportToWordDocument(m_session.Document(), m_platform); }},
        {"topdf", "导出为PDF文件(&F)...", [this] { PdfCommand::exportClassPdf(m_session, m_measurer, m_platform); }},
        {"f2", "-", {}},
        {"setup", "打印设置(&S)...", [this] { openPrintWindow(PrintPanelMode::Setup); }},
        {"privew", "打印预览(&V)", [this] { openPrintWindow(PrintPanelMode::Preview); }},
        {"print1", "打印(&P)...", [this] { openPrintWindow(PrintPanelMode::Print); }},
        {"f3", "-", {}},
        {"recent1", "&1", [this] { openRecent(0); }},
        {"recent2", "&2", [this] { openRecent(1); }},
        {"recent3", "&3", [this] { openRecent(2); }},
        {"recent4", "&4", [this] { openRecent(3); }},
        {"f4", "-", {}},
        {"exit", "退出(&E)", [this] { close(); }},
    });
    for (int i = 1; i <= RecentFiles::Max; ++i) // filled each time the menu opens
        action(QStringLiteral("recent%1").arg(i))->setVisible(false);
    action(QStringLiteral("f4"))->setVisible(false);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    edit->setObjectName(QStringLiteral("edit"));
    StudentCommands *students = m_studentCommands;
    EditCommands *clipboard = m_editCommands.get();
    addCommands(edit, {
        {"cut", "剪切(&X)", [clipboard] { clipboard->cut(); }},
        {"copy", "复制(&C)", [clipboard] { clipboard->copy(); }},
        {"paste", "粘贴(&P)", [clipboard] { clipboard->paste(); }},
        {"find", "查找和替换(&F)...", [this] { showFind(); }},
        {"eg1", "-", {}},
        {"delstudent", "删除当前学生(&D)", [students] { students->s_delete(); }},
        {"delall", "删除所有学生(&A)", [students] { students->s_delall(); }},
        {"renamestudent", "重命名当前学生(&R)...", [students] { students->s_rename(); }},
        {"defaultstudent", "将当前学生列表设为默认(&J)", [students] { students->s_setup(); }},
        {"eg2", "-", {}},
        {"nextstudent", "下一个学生(&N)", [students] { students->moveBy(1); }},
        {"prevstudent", "上一个学生(&V)", [students] { students->moveBy(-1); }},
    });
    action("find")->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::CTRL | Qt::Key_H)});
    // The keys of the next and the previous student work from a comment box too.
    action("nextstudent")->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageDown),
                                         QKeySequence(Qt::ALT | Qt::Key_Down)});
    action("prevstudent")->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                                         QKeySequence(Qt::ALT | Qt::Key_Up)});

    QMenu *pingyu = menuBar()->addMenu(QStringLiteral("评语(&P)"));
    pingyu->setObjectName(QStringLiteral("pingyu"));
    LibraryCommands *library = m_libraryCommands;
    addCommands(pingyu, {
        {"addlb", "添加类别(&A)", [library] { library->addlb(); }},
        {"dellb", "删除类别(&D)", [library] { library->dellb(); }},
        {"editlb", "编辑类别(&E)", [library] { library->editlb(); }},
        {"ggggg", "-", {}},
        {"addpy", "添加评语内容(&N)", [library] { library->addpy(); }},
        {"delpy", "删除评语内容(&P)", [library] { library->delpy(); }},
        {"editpy", "编辑评语内容(&Y)", [library] { library->editpy(); }},
        {"pldr", "批量导入评语内容(&L)...", [library] { library->pldr(); }},
        {"gggg1", "-", {}},
        {"setop", "添加选定内容到评语库(&S)", [library] { library->setop(); }},
    });

    QMenu *see = menuBar()->addMenu(QStringLiteral("查看(&V)"));
    see->setObjectName(QStringLiteral("see"));
    addCommands(see, {
        {"student", "学生列表(&S)", [this] { toggleStudentList(); }},
        {"pyzy", "评语资源库(&P)", [this] { toggleLibraryWindow(); }},
    });
    action("student")->setCheckable(true);
    action("pyzy")->setCheckable(true);

    QMenu *tools = menuBar()->addMenu(QStringLiteral("工具(&T)"));
    tools->setObjectName(QStringLiteral("tools"));
    addCommands(tools, {
        {"input", "导入学生名单(&D)...", [students] { students->input(); }},
        {"teacher", "设置教师签名(&S)...", [students] { students->teacher(); }},
        {"tongji", "统计工作进度(&T)...", [students] { students->tongji(); }},
        {"check", "检查全班评语(&K)...", [this] { showClassCheck(); }},
    });

    QMenu *help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("help"));
    addCommands(help, {
        {"zhuti", "帮助主题(&H)...", [this] { showHelp(); }},
        {"zuozhe", "关于(&G)...", [this] { showAbout(); }},
    });

    // The two pop-up menus are not on the menu bar; the child windows show them.
    m_kstudent = new QMenu(QStringLiteral("学生"), this);
    m_kstudent->setObjectName(QStringLiteral("kstudent"));
    addCommands(m_kstudent, {
        {"s_delete", "从当前文件中删除(&D)", [students] { students->s_delete(); }},
        {"s_rename", "改名(&E)...", [students] { students->s_rename(); }},
        {"s_font", "字体(&F)...", [students] { students->s_font(); }},
        {"s_g1", "-", {}},
        {"s_add", "添加(&A)...", [students] { students->s_add(); }},
        {"s_input", "批量导入(&I)...", [students] { students->input(); }},
        {"s_delall", "全部删除(&C)", [students] { students->s_delall(); }},
        {"s_setup", "设为默认(&S)", [students] { students->s_setup(); }},
    });

    m_kpingyu = new QMenu(QStringLiteral("评语"), this);
    m_kpingyu->setObjectName(QStringLiteral("kpingyu"));
    addCommands(m_kpingyu, {
        {"kpxiugai", "修改(&E)", [library] { library->kpxiugai(); }},
        {"kpshanchu", "删除(&D)", [library] { library->kpshanchu(); }},
        {"kptianjia", "添加(&A)", [library] { library->kptianjia(); }},
        {"gg1", "-", {}},
        {"ktianjia", "添加当前所选(&A)", [library] { library->setop(); }},
        {"kpltj", "批量添加评语内容(&L)...", [library] { library->pldr(); }},
    });
}
// clang-format on

void MainWindow::createToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("工具栏"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    // The buttons are the menu commands themselves, each with its string key, icon and tip.
    struct Button
    {
        const char *key;
        const char *tip;
        const char *command;
    };
    const Button buttons[] = {
        {"new", "新建", "new"},      {"open", "打开", "open"},    {"save", "保存", "save"},
        {nullptr, nullptr, nullptr}, {"cut", "剪切", "cut"},      {"copy", "复制", "copy"},
        {"paste", "粘贴", "paste"},  {nullptr, nullptr, nullptr}, {"privew", "打印预览", "privew"},
        {"print", "打印", "print1"},
    };
    for (const Button &button : buttons) {
        if (!button.key) {
            m_toolbar->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(button.key);
        QAction *command = action(QString::fromLatin1(button.command));
        command->setIcon(QIcon(m_session.ProgramFolder() + QStringLiteral("toolbar/%1.png").arg(key)));
        command->setIconVisibleInMenu(false);
        command->setToolTip(QString::fromUtf8(button.tip));
        command->setProperty("key", key);
        m_toolbar->addAction(command);
        m_toolbar->widgetForAction(command)->setObjectName(QStringLiteral("Toolbar1_") + key);
    }
}

void MainWindow::listRecentFiles()
{
    m_recentFiles = RecentFiles::existing(m_platform.recentFiles());
    for (int i = 0; i < RecentFiles::Max; ++i) {
        QAction *item = action(QStringLiteral("recent%1").arg(i + 1));
        const bool listed = i < m_recentFiles.size();
        item->setVisible(listed);
        if (listed) {
            item->setText(RecentFiles::menuText(i, m_recentFiles[i]));
            item->setStatusTip(m_recentFiles[i]);
            item->setToolTip(m_recentFiles[i]);
        }
    }
    action(QStringLiteral("f4"))->setVisible(!m_recentFiles.isEmpty());
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
    for (const QString &name : DocumentCommands)
        action(name)->setEnabled(document);
}
