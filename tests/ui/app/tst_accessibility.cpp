#include "classof.h"
#include "core/document/commentfile.h"
#include "mainwindowtest.h"
#include "ui/app/accessibility.h"
#include "ui/app/commandid.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QSet>
#include <QTemporaryDir>

namespace {

/// What a screen reader says for a control: its name, else the name of the label it is labelled by.
QString spokenName(QAccessibleInterface *node)
{
    if (const QString name = node->text(QAccessible::Name).trimmed(); !name.isEmpty())
        return name;
    for (const auto &[label, relation] : node->relations(QAccessible::Label)) {
        Q_UNUSED(relation)
        if (label && !label->text(QAccessible::Name).trimmed().isEmpty())
            return label->text(QAccessible::Name);
    }
    return {};
}

/// How a failure names a node: its class and object name, or its role.
QString nodeName(QAccessibleInterface *node)
{
    if (QObject *object = node->object())
        return QStringLiteral("%1 \"%2\"").arg(QLatin1String(object->metaObject()->className()), object->objectName());
    return QStringLiteral("role %1").arg(int(node->role()));
}

/// Every shown, focusable node under `node` that a screen reader could not name, as paths.
QStringList unnamedUnder(QAccessibleInterface *node, const QString &path)
{
    QStringList unnamed;
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface *child = node->child(i);
        if (!child || child->state().invisible)
            continue;
        const QString here = path + QStringLiteral(" / ") + nodeName(child);
        if (child->state().focusable && spokenName(child).isEmpty())
            unnamed << here;
        unnamed += unnamedUnder(child, here);
    }
    return unnamed;
}

/// The windows on the screen, the menus left out.
QSet<QWidget *> shownWindows()
{
    QSet<QWidget *> windows;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !qobject_cast<QMenu *>(window))
            windows.insert(window);
    }
    return windows;
}

/// The shown controls that take the keyboard inside `window`.
QSet<QWidget *> focusableIn(QWidget *window)
{
    QSet<QWidget *> controls;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (control->isVisible() && control->focusPolicy() != Qt::NoFocus)
            controls.insert(control);
    }
    return controls;
}

} // namespace

class tst_Accessibility : public MainWindowTest
{
    Q_OBJECT

private slots:
    void initTestCase() { Accessibility::install(); }
    void init() { setUpWorkspace(); }
    void cleanup() { tearDownWorkspace(); }

    void everyCommandsWindowIsNamed_data();
    void everyCommandsWindowIsNamed();

private:
    /// The one state every window can open in: a saved class of three students with comments,
    /// a printer, and no desktop viewer for help.
    bool openClass(const QTemporaryDir &dir);
};

bool tst_Accessibility::openClass(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("一班.py"));
    m_platform->printerAvailable = true;
    // Help in the program's own viewer, which is a window to walk.
    m_platform->viewerOpens = false;
    return CommentFile::write(path, classOf(3), CommentDocument().ItemFonts).ok() && showWindow(path);
}

// Every command of the command table: whatever window it opens, a screen reader can name each
// control there that the keyboard reaches. A new dialog is walked as soon as a command opens it.
void tst_Accessibility::everyCommandsWindowIsNamed_data()
{
    QTest::addColumn<int>("command");
    for (std::size_t id = 0; id < CommandCount; ++id)
        QTest::addRow("command %d", int(id)) << int(id);
}

void tst_Accessibility::everyCommandsWindowIsNamed()
{
    QFETCH(int, command);
    QTemporaryDir dir;
    QVERIFY(openClass(dir));
    QAction *action = m_window->command(CommandId(command));
    const QSet<QWidget *> windowsBefore = shownWindows();
    const QSet<QWidget *> controlsBefore = focusableIn(m_window.get());
    action->trigger();
    QApplication::processEvents();

    // The new windows, and the main window when the command showed controls in it (a child
    // window, the print window).
    QList<QPointer<QWidget>> opened;
    for (QWidget *window : shownWindows()) {
        if (!windowsBefore.contains(window))
            opened << window;
    }
    if (m_window->isVisible() && !(focusableIn(m_window.get()) - controlsBefore).isEmpty())
        opened << m_window.get();
    QStringList unnamed;
    for (const QPointer<QWidget> &window : std::as_const(opened)) {
        if (!window)
            continue;
        qInfo("%s opens %s \"%s\"", qPrintable(action->objectName()), window->metaObject()->className(),
              qPrintable(window->windowTitle()));
        unnamed += unnamedUnder(QAccessible::queryAccessibleInterface(window), window->objectName());
    }
    QVERIFY2(unnamed.isEmpty(),
             qPrintable(action->objectName() + QStringLiteral(": focusable and unnamed:\n") + unnamed.join(u'\n')));
    for (const QPointer<QWidget> &window : std::as_const(opened)) {
        if (window && window != m_window.get())
            window->close();
    }
    // The platform's own boxes (a question, a file dialog) are no window of the program's.
    m_platform->problems.clear();
    m_platform->shown.clear();
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
