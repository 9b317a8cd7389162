// What only shows on a real X server with a window manager: the titles it shows, the frame it
// adds, where the keyboard goes. Runs under tests/desktop/run-under-x.sh.
#include "menuitem.h"
#include "core/document/commentfile.h"
#include "core/document/session.h"
#include "mainwindowtest.h"
#include "ui/app/applicationsetup.h"
#include "ui/app/copyright.h"
#include "ui/app/mainwindow.h"
#include "ui/editor/pyedit.h"
#include "ui/editor/stds.h"
#include "ui/platform/qtplatform.h"
#include "ui/printing/previewpanel.h"
#include "ui/printing/ps_control.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QWindow>

#include <functional>

namespace {

// How long a wait may take before the test gives up: only a failing test waits that long, and
// a busy machine may need much of it.
constexpr int Patience = 10000;

QString writeClass(const QTemporaryDir &dir, int n)
{
    CommentDocument document;
    for (int i = 1; i <= n; ++i)
        document.slot(i) = {QStringLiteral("学生%1").arg(i), QStringLiteral("第%1位的评语。").arg(i)};
    const QString path = dir.filePath(QStringLiteral("class.py"));
    if (!CommentFile::write(path, document, document.ItemFonts))
        qWarning() << "could not write" << path;
    return path;
}

// The title the window manager shows for a top-level window: its _NET_WM_NAME.
QString shownTitle(const QWidget *window)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("getwindowname"), QString::number(window->window()->winId())});
    xdotool.waitForFinished();
    return QString::fromUtf8(xdotool.readAllStandardOutput()).trimmed();
}

// Types keys as the X server delivers them: to whichever window has the keyboard.
void typeKeys(const QString &keys)
{
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

/// Notes the first widget a key press reaches, whichever it is, while it lives.
class KeyWatch : public QObject
{
public:
    KeyWatch() { qApp->installEventFilter(this); }
    ~KeyWatch() override { qApp->removeEventFilter(this); }
    QPointer<QWidget> receiver;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && !receiver && watched->isWidgetType())
            receiver = static_cast<QWidget *>(watched);
        return false;
    }
};

// The child windows' rectangle within the frame's client area.
QRect inClientArea(const MainWindow &window, const QWidget *child)
{
    const QWidget *area = window.findChild<QMdiArea *>(QStringLiteral("mdiArea"))->viewport();
    return QRect(child->mapTo(area, QPoint(0, 0)), child->size());
}

} // namespace

class tst_Desktop : public MainWindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void titles();
    void firstSizeFitsTheScreen();
    void layoutAgreesOnceFramed();
    void printWindowKeepsTheStudent();
    void aboutWindowTakesTheKeys();
    void closesWithoutQuestionAfterPreview();
    void fileAndFontDialogsSpeakChinese();

private:
    QTemporaryDir m_dir;

    /// Shows the main window at its own first size, as the program does, framed and active.
    void startFramed(int students);
    QRect clientArea() const { return m_window->findChild<QMdiArea *>()->viewport()->rect(); }
};

void tst_Desktop::initTestCase()
{
    ApplicationSetup::apply();
    copyright::StartupDone = true; // the windows as they are after the start-up
}

void tst_Desktop::init()
{
    setUpWorkspace();
}

void tst_Desktop::cleanup()
{
    tearDownWorkspace();
}

void tst_Desktop::startFramed(int students)
{
    // As the program does it: the class is loaded right after the window is shown, before
    // the window manager has framed it.
    m_window = std::make_unique<MainWindow>(*m_state, *m_platform);
    m_window->show();
    m_window->load(writeClass(m_dir, students));
    QVERIFY(QTest::qWaitForWindowActive(m_window.get(), Patience));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->windowHandle()->frameMargins().isNull(), Patience);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), m_window->editor()->pytext1(0), Patience);
}

void tst_Desktop::titles()
{
    startFramed(3);
    QTRY_COMPARE_WITH_TIMEOUT(shownTitle(m_window.get()), QStringLiteral("Quillmark 青禾书苑 v1.0"), Patience);

    // A message box, shown by the desktop side of the seam: its title is read while it is
    // open, and the box is then closed whatever it showed.
    QString boxTitle;
    int boxWidth = 0;
    QTimer::singleShot(0, [&] {
        QWidget *box = nullptr;
        if (!QTest::qWaitFor([&] { return (box = QApplication::activeModalWidget()) && box->isVisible(); },
                             Patience))
            return;
        if (!QTest::qWaitFor([&] { return !(boxTitle = shownTitle(box)).isEmpty(); }, Patience))
            qWarning("the window manager shows no title for the message box");
        boxWidth = box->width();
        box->close();
    });
    QtPlatform desktop;
    desktop.messageBox(QStringLiteral("标题测试"), QStringLiteral("系统提示"), MsgIcon::Information,
                       MsgButtons::Ok);
    QCOMPARE(boxTitle, QStringLiteral("系统提示"));
    // A short message leaves its title room beside the window manager's icon and three buttons,
    // else the title shows as "系…".
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    const int needed = metrics.horizontalAdvance(boxTitle) + 5 * metrics.height();
    QVERIFY2(boxWidth >= needed, qPrintable(QStringLiteral("%1 < %2").arg(boxWidth).arg(needed)));
}

void tst_Desktop::firstSizeFitsTheScreen()
{
    startFramed(30);
    const QRect available = m_window->screen()->availableGeometry();
    QVERIFY(available.width() < 1100 + 50); // the design size does not fit this screen
    QTRY_VERIFY2_WITH_TIMEOUT(available.contains(m_window->frameGeometry()),
                 qPrintable(QStringLiteral("frame %1,%2 %3x%4")
                                .arg(m_window->frameGeometry().x())
                                .arg(m_window->frameGeometry().y())
                                .arg(m_window->frameGeometry().width())
                                .arg(m_window->frameGeometry().height())),
                              Patience);
    // The editor's scroll bar and the library window's right edge are in the client area.
    QVERIFY(clientArea().contains(inClientArea(*m_window, m_window->editor()->VScroll1())));
    QVERIFY(clientArea().contains(m_window->libraryWindow()->geometry()));
}

void tst_Desktop::layoutAgreesOnceFramed()
{
    startFramed(30);
    // The layout follows the last size the window manager gave the frame.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->libraryWindow()->geometry().bottom(), clientArea().bottom(), Patience);
    const QRect library = m_window->libraryWindow()->geometry();
    const QRect editor = m_window->editorWindow()->geometry();
    // Closing and opening the student list lays the windows out again, in the same places.
    menuItem(*m_window, "student")->trigger();
    menuItem(*m_window, "student")->trigger();
    QCOMPARE(m_window->libraryWindow()->geometry(), library);
    QCOMPARE(m_window->editorWindow()->geometry(), editor);
}

void tst_Desktop::printWindowKeepsTheStudent()
{
    startFramed(6);
    // The print window has the keyboard once the window manager's focus changes are through.
    const auto printWindowHasTheKeys = [&] {
        return m_window->isActiveWindow() && m_window->printControl() &&
               m_window->printControl()->isAncestorOf(QApplication::focusWidget());
    };
    // Right after the class opens, the print window shows its first student.
    menuItem(*m_window, QStringLiteral("privew"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(printWindowHasTheKeys(), Patience);
    QCOMPARE(m_window->printControl()->jprivew()->Combo3()->currentText(), QStringLiteral("学生1"));
    m_window->printControl()->close();
    m_window->selectStudent(3);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), m_window->editor()->pytext1(3), Patience);
    for (const char *command : {"setup", "privew", "print1"}) {
        menuItem(*m_window, QString::fromLatin1(command))->trigger();
        QVERIFY(m_window->printControl());
        QTRY_VERIFY_WITH_TIMEOUT(printWindowHasTheKeys(), Patience);
        QCOMPARE(m_window->printControl()->jprivew()->Combo3()->currentText(), QStringLiteral("学生4"));
        {
            KeyWatch watch;
            typeKeys(QStringLiteral("x")); // a key in the print window reaches no comment
            QTRY_VERIFY_WITH_TIMEOUT(watch.receiver, Patience);
            QVERIFY(m_window->printControl()->isAncestorOf(watch.receiver));
        }
        m_window->printControl()->close();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), m_window->editor()->pytext1(3), Patience);
        QCOMPARE(m_state->CurrentStudent(), 3);
        QCOMPARE(m_window->studentList()->stdlist()->currentRow(), 3);
        QVERIFY2(!m_state->Modified(), command);
    }
}

void tst_Desktop::aboutWindowTakesTheKeys()
{
    startFramed(3);
    const QString before = m_window->editor()->pytext1(0)->toPlainText();
    menuItem(*m_window, "zuozhe")->trigger();
    auto *about = m_window->findChild<QDialog *>(QStringLiteral("copyright"));
    QVERIFY(about && QTest::qWaitForWindowExposed(about, Patience));
    QTRY_VERIFY_WITH_TIMEOUT(about->isActiveWindow(), Patience);
    typeKeys(QStringLiteral("a"));
    QTRY_VERIFY_WITH_TIMEOUT(!about->isVisible(), Patience);
    QCOMPARE(m_window->editor()->pytext1(0)->toPlainText(), before);
    QVERIFY(!m_state->Modified());
}

// Looking at a preview and closing the window with the window manager's key (Alt+F4) asks
// nothing: neither the trip to the print window nor the Alt key changed the document.
void tst_Desktop::closesWithoutQuestionAfterPreview()
{
    startFramed(3);
    menuItem(*m_window, QStringLiteral("privew"))->trigger();
    QVERIFY(m_window->printControl());
    m_window->printControl()->close();
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), m_window->editor()->pytext1(0), Patience);
    typeKeys(QStringLiteral("alt+F4"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), Patience);
    QVERIFY(m_platform->shown.isEmpty());
}

// Qt's own file and font dialogs in Chinese, whatever the desktop's language: their texts, the
// file list's types, sizes and dates, and the font's sample.
void tst_Desktop::fileAndFontDialogsSpeakChinese()
{
    const QString folder = m_dir.filePath(QStringLiteral("dialogs"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/旧评语")));
    QFile small(folder + QStringLiteral("/名单.py"));
    QVERIFY(small.open(QIODevice::WriteOnly) && small.write("abc") == 3);
    small.close();
    QStringList shown;
    // Looks at the next modal dialog once it shows, then closes it.
    const auto whenShown = [&](std::function<void(QWidget *)> look) {
        QTimer::singleShot(0, [look] {
            QWidget *dialog = nullptr;
            if (QTest::qWaitFor([&] { return (dialog = QApplication::activeModalWidget()); }, Patience))
                look(dialog);
            if (dialog)
                dialog->close();
        });
    };
    QtPlatform desktop;
    whenShown([&](QWidget *dialog) {
        shown << dialog->windowTitle(); // then each row's name, size, type and date, folders first
        auto *list = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
        const QModelIndex root = list->rootIndex();
        if (QTest::qWaitFor([&] { return list->model()->rowCount(root) == 2; }, Patience)) {
            for (int at = 0; at < 8; ++at)
                shown << list->model()->index(at / 4, at % 4, root).data().toString();
        }
    });
    desktop.saveFileName(QStringLiteral("评语文件|*.py"), folder + QStringLiteral("/新.py"));
    QCOMPARE(shown.mid(0, 4), (QStringList{u"另存为"_qs, u"旧评语"_qs, QString(), u"文件夹"_qs}));
    QCOMPARE(shown.mid(5, 2), (QStringList{u"名单.py"_qs, u"3 字节"_qs}));
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    QVERIFY2(!shown.value(4).isEmpty() && !shown.value(4).contains(latin),
             qPrintable(shown.value(4))); // "Dec"

    shown.clear();
    whenShown([&](QWidget *dialog) {
        shown << dialog->findChild<QLineEdit *>(QStringLiteral("qt_fontDialog_sampleEdit"))->text();
    });
    desktop.chooseFont(ItemFont());
    QVERIFY2(!shown.value(0).isEmpty() && !shown.value(0).contains(latin), qPrintable(shown.value(0)));
}

QTEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
