#include "core/app/messages.h"
#include "core/document/messages.h"
#include "core/document/namelist.h"
#include "core/document/session.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "sessionedit.h"
#include "ui/editor/inputstudent.h"
#include "ui/editor/messages.h"
#include "ui/editor/nostudent.h"
#include "ui/editor/teachersetup.h"
#include "ui/editor/tuice_teacher.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(MsgAnswer)

namespace {

QStringList rosterNames(const CommentDocument &document)
{
    QStringList names;
    for (int i = 1; i <= CommentDocument::MaxStudents && !document.slot(i).name.isEmpty(); ++i)
        names << document.slot(i).name;
    return names;
}

void setRoster(CommentDocument &document, const QStringList &names)
{
    document.clearSlots();
    for (int i = 0; i < names.size(); ++i)
        document.slot(i + 1) = {names.at(i), QStringLiteral("评语%1").arg(i + 1)};
}

QStringList numberedNames(int count, const QString &prefix = QStringLiteral("生"))
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << prefix + QString::number(i);
    return names;
}

// What a teacher's double-click delivers: press, release, double-click, release.
void doubleClickOn(QWidget *widget)
{
    QPointer<QWidget> target(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
    QTest::mouseDClick(widget, Qt::LeftButton);
    // A dialog closed by the double-click is deleted later, so the option is still there.
    QVERIFY(target);
    QTest::mouseRelease(widget, Qt::LeftButton);
}

// Compares one recorded dialog with what should have been shown.
bool sameMessage(const ShownDialog &shown, const QString &text, const QString &title, MsgIcon icon,
                 MsgButtons buttons)
{
    return shown.kind == ShownDialog::Message && shown.text == text && shown.title == title &&
           shown.icon == icon && shown.buttons == buttons;
}

} // namespace

class tst_Dialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openingState_data();
    void openingState();
    void cancelChangesNothing_data();
    void cancelChangesNothing();

    // 导入学生名单
    void inputPlacedUnderMainWindowTop();
    void inputLoadFromFile_data();
    void inputLoadFromFile();
    void inputConversionCancelled();
    void inputClearAsks_data();
    void inputClearAsks();
    void inputEmptyListStaysOpen();
    void inputImport_data();
    void inputImport();
    void inputImportFailureKeepsRoster();
    void inputHoverHints_data();
    void inputHoverHints();
    void inputEnterEventShowsHint();

    // 设置教师签名
    void signatureSetCurrent_data();
    void signatureSetCurrent();
    void signatureSetDefault_data();
    void signatureSetDefault();
    void signatureDefaultTwiceKeepsOneLine();

    // 智能推测
    void noStudentRun_data();
    void noStudentRun();
    void signatureGuessRun_data();
    void signatureGuessRun();
    void guessFromKeyboard_data();
    void guessFromKeyboard();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Session> m_state;
    QList<QPointer<QWidget>> m_windows;
    QTemporaryDir m_dir;
    int m_rosterChanges = 0;
    int m_refreshes = 0;

    // Dialogs are deleted when closed; the ones a test leaves open go in cleanup().
    template<class T> T *keep(T *widget)
    {
        m_windows << QPointer<QWidget>(widget);
        return widget;
    }
    inputstudent *newInput();
    teachersetup *newSignature();
    void expectGone(QPointer<QWidget> dialog);
};

void tst_Dialogs::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->isValid());
    m_platform = std::make_unique<ScriptedPlatform>();
    m_state = std::make_unique<Session>();
    m_state->setProgramFolder(m_folder->path());
    m_rosterChanges = 0;
    m_refreshes = 0;
}

void tst_Dialogs::cleanup()
{
    for (const QPointer<QWidget> &window : std::as_const(m_windows))
        delete window.data();
    m_windows.clear();
    QFile::setPermissions(m_folder->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QHSY_VERIFY_DIALOGS(*m_platform);
}

inputstudent *tst_Dialogs::newInput()
{
    return keep(new inputstudent(*m_state, *m_platform, [this] { ++m_rosterChanges; }));
}

teachersetup *tst_Dialogs::newSignature()
{
    return keep(new teachersetup(*m_state, *m_platform, [this] { ++m_refreshes; }));
}

void tst_Dialogs::expectGone(QPointer<QWidget> dialog)
{
    QVERIFY(dialog.isNull() || !dialog->isVisible());
    QTRY_VERIFY(dialog.isNull());
}

// ---------------------------------------------------------------------------------------------

void tst_Dialogs::openingState_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("options"); // radio buttons Option1..n
    QTest::newRow("inputstudent") << "inputstudent"
                                  << "导入学生名单" << 2;
    QTest::newRow("teachersetup") << "teachersetup"
                                  << "设置教师签名" << 0;
    QTest::newRow("nostudent") << "nostudent"
                               << "智能推测" << 3;
    QTest::newRow("tuice_teacher") << "tuice_teacher"
                                   << "智能推测" << 2;
}

void tst_Dialogs::openingState()
{
    QFETCH(QString, dialog);
    QFETCH(QString, title);
    QFETCH(int, options);
    editDocument(*m_state, [&](CommentDocument &d) { d.TeacherSignature = QStringLiteral("王老师"); });
    QDialog *d = nullptr;
    if (dialog == "inputstudent")
        d = newInput();
    else if (dialog == "teachersetup")
        d = newSignature();
    else if (dialog == "nostudent")
        d = keep(new nostudent({}));
    else
        d = keep(new tuice_teacher(*m_platform, {}));
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d));
    QCOMPARE(d->objectName(), dialog);
    QCOMPARE(d->windowTitle(), title);
    QVERIFY(!d->isModal());
    QVERIFY(d->testAttribute(Qt::WA_DeleteOnClose));

    // Which option is chosen at the start: 添加 in the import dialog, none in the guesses.
    QList<QRadioButton *> radios;
    for (int i = 1; i <= options; ++i) {
        auto *radio = d->findChild<QRadioButton *>(QStringLiteral("Option%1").arg(i));
        QVERIFY(radio);
        radios << radio;
    }
    for (int i = 0; i < options; ++i)
        QCOMPARE(radios.at(i)->isChecked(), dialog == "inputstudent" && i == 0);
    // The options exclude each other.
    for (int i = options - 1; i >= 0; --i) {
        radios.at(i)->click();
        for (int j = 0; j < options; ++j)
            QCOMPARE(radios.at(j)->isChecked(), i == j);
    }

    if (dialog == "teachersetup")
        QCOMPARE(d->findChild<QLineEdit *>("Text1")->text(), QStringLiteral("王老师"));
    if (dialog == "inputstudent") {
        auto *input = static_cast<inputstudent *>(d);
        QCOMPARE(input->Label1()->text(), inputstudent::InputHint);
        QVERIFY(input->Command1()->isDefault());
        QVERIFY(input->Text1()->toPlainText().isEmpty());
    }
    // Every control fits inside the dialog.
    for (QWidget *child : d->findChildren<QWidget *>()) {
        if (!child->isVisibleTo(d) || child->parentWidget() != d)
            continue;
        QVERIFY2(d->rect().contains(child->geometry()), qPrintable(child->objectName()));
        QVERIFY2(child->width() >= child->minimumSizeHint().width() || child->minimumSizeHint().width() < 0,
                 qPrintable(child->objectName()));
    }
}

void tst_Dialogs::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::newRow("inputstudent") << "inputstudent";
    QTest::newRow("teachersetup") << "teachersetup";
    QTest::newRow("nostudent") << "nostudent";
    QTest::newRow("tuice_teacher") << "tuice_teacher";
}

void tst_Dialogs::cancelChangesNothing()
{
    QFETCH(QString, dialog);
    editDocument(*m_state, [&](CommentDocument &d) {
        setRoster(d, {QStringLiteral("甲"), QStringLiteral("乙")});
    });
    const CommentDocument before = m_state->Document();
    const QByteArray templateBytes = fileBytes(m_state->Files().templateFile());
    int actions = 0;
    QDialog *d = nullptr;
    QPushButton *cancel = nullptr;
    if (dialog == "inputstudent") {
        auto *input = newInput();
        input->Text1()->setPlainText(QStringLiteral("丙\n丁"));
        input->Option2()->setChecked(true);
        d = input;
        cancel = input->Command2();
    } else if (dialog == "teachersetup") {
        auto *signature = newSignature();
        signature->Text1()->setText(QStringLiteral("李老师"));
        d = signature;
        cancel = signature->Command3();
    } else if (dialog == "nostudent") {
        auto *guess = keep(new nostudent({[&] { ++actions; }, [&] { ++actions; },
                                          [&] {
                                              ++actions;
                                              return true;
                                          }}));
        guess->Option1()->setChecked(true);
        d = guess;
        cancel = guess->Command2();
    } else {
        auto *guess = keep(new tuice_teacher(*m_platform, {[&] { ++actions; }, [&] { ++actions; }}));
        guess->Option1()->setChecked(true);
        d = guess;
        cancel = guess->Command2();
    }
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d));
    QPointer<QWidget> guard(d);
    QTest::mouseClick(cancel, Qt::LeftButton);
    expectGone(guard);
    QCOMPARE(actions, 0);
    QCOMPARE(m_rosterChanges + m_refreshes, 0);
    QVERIFY(m_state->Document() == before);
    QVERIFY(!m_state->Modified());
    QCOMPARE(fileBytes(m_state->Files().templateFile()), templateBytes);
    QVERIFY(m_platform->shown.isEmpty());
}

// --- 导入学生名单 --------------------------------------------------------------------------------

void tst_Dialogs::inputPlacedUnderMainWindowTop()
{
    auto *mainWindow = keep(new QWidget);
    mainWindow->setGeometry(120, 90, 1000, 700);
    mainWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    auto *input = new inputstudent(
        *m_state, *m_platform, [] {}, mainWindow);
    input->show();
    QVERIFY(QTest::qWaitForWindowExposed(input));
    const QRect owner = mainWindow->frameGeometry();
    const QRect placed = input->frameGeometry();
    QCOMPARE(placed.top(), owner.top());
    QCOMPARE(placed.left(), owner.left() + (owner.width() - placed.width()) / 2);
    QVERIFY(placed.width() < owner.width());
}

void tst_Dialogs::inputLoadFromFile_data()
{
    QTest::addColumn<QString>("file"); // "" = the open dialog is cancelled
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<MsgAnswer>>("answers"); // messages after the open dialog
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("said"); // how the message after the open dialog starts ("" none)

    const QString before = QStringLiteral("原有名单");
    QTest::newRow("GBK with CR LF") << "names.txt" << TextFile::encode(u"张三\r\n李四\r\n王五")
                                    << QList<MsgAnswer>{} << QStringLiteral("张三\n李四\n王五\n") << "";
    QTest::newRow("UTF-8 with BOM") << "utf8.txt"
                                    << QByteArray("\xEF\xBB\xBF") + QStringLiteral("赵六\n钱七\n").toUtf8()
                                    << QList<MsgAnswer>{} << QStringLiteral("赵六\n钱七\n") << "";
    QTest::newRow("long line kept") << "long.txt" << TextFile::encode(u"张三\r\n这一行不是姓名\r\n李四\r\n")
                                    << QList<MsgAnswer>{MsgAnswer::No}
                                    << QStringLiteral("张三\n这一行不是姓名\n李四\n")
                                    << NameList::longLineQuestion();
    QTest::newRow("long line stops") << "long.txt" << TextFile::encode(u"张三\r\n这一行不是姓名\r\n李四\r\n")
                                     << QList<MsgAnswer>{MsgAnswer::Yes} << QString()
                                     << NameList::longLineQuestion();
    QTest::newRow("CSV") << "names.csv" << TextFile::encode(u"学号,姓名\r\n1,张三\r\n2,李四\r\n")
                         << QList<MsgAnswer>{} << QStringLiteral("张三\n李四\n") << "";
    const auto book = [](const char *name) {
        return fileBytes(testDataFile(QStringLiteral("spreadsheet/") + QString::fromUtf8(name)));
    };
    QTest::newRow("xlsx") << "names.xlsx" << book("names.xlsx") << QList<MsgAnswer>{}
                          << QStringLiteral("张三\n欧阳娜娜\n李四\n王五\n") << "";
    QTest::newRow("ods") << "names.ods" << book("names.ods") << QList<MsgAnswer>{}
                         << QStringLiteral("张三\n李四\n") << "";
    QTest::newRow("cancelled") << "" << QByteArray() << QList<MsgAnswer>{} << before << "";
    QTest::newRow("missing file") << "missing.txt" << QByteArray() << QList<MsgAnswer>{MsgAnswer::Ok}
                                  << before << "无法读取文件“%1”：";
}

void tst_Dialogs::inputLoadFromFile()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QList<MsgAnswer>, answers);
    QFETCH(QString, expected);
    QFETCH(QString, said);
    auto *input = newInput();
    input->Text1()->setPlainText(QStringLiteral("原有名单"));
    input->show();

    const QString path = file.isEmpty() ? QString() : m_dir.filePath(file);
    if (!bytes.isEmpty()) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    m_platform->expectMessage();
    m_platform->expectOpenFile(path);
    for (MsgAnswer answer : answers)
        m_platform->expectMessage(answer);
    QTest::mouseClick(input->Command5(), Qt::LeftButton);

    QVERIFY(m_platform->shown.size() >= 2);
    QVERIFY(sameMessage(m_platform->shown.at(0), EditorMessages::FormatNotice, Platform::NoticeTitle,
                        MsgIcon::Information, MsgButtons::Ok));
    QCOMPARE(m_platform->shown.at(1).kind, ShownDialog::OpenFile);
    QCOMPARE(m_platform->shown.at(1).text, inputstudent::FileFilter);
    if (!bytes.isEmpty()) // every file the dialog reads shows under its first filter
        QVERIFY(QDir::match(inputstudent::FileFilter.section(u'|', 1, 1), file));
    QCOMPARE(m_platform->shown.size(), said.isEmpty() ? 2 : 3);
    if (!said.isEmpty()) {
        // The long-line question asks; a file that cannot be read is a critical notice.
        const ShownDialog &shown = m_platform->shown.at(2);
        const bool question = said == NameList::longLineQuestion();
        QVERIFY2(shown.text.startsWith(said.contains(u"%1") ? said.arg(path) : said), qPrintable(shown.text));
        QCOMPARE(shown.title, question ? Platform::QuestionTitle : Platform::NoticeTitle);
        QCOMPARE(shown.icon, question ? MsgIcon::Question : MsgIcon::Critical);
        QCOMPARE(shown.buttons, question ? MsgButtons::YesNo : MsgButtons::Ok);
    }
    QCOMPARE(input->Text1()->toPlainText(), expected);
    QVERIFY(input->isVisible());
    QCOMPARE(m_rosterChanges, 0);
    QVERIFY(rosterNames(m_state->Document()).isEmpty());
}

// An .xls list whose conversion hangs shows a progress dialog; 取消 there ends the converter with
// what it started, and says nothing more.
void tst_Dialogs::inputConversionCancelled()
{
    QTemporaryDir bin;
    const QString pidFile = bin.filePath(QStringLiteral("child.pid"));
    QFile script(bin.filePath(QStringLiteral("soffice")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nsleep 300 &\necho $! > '%1'\nexec sleep 300\n").arg(pidFile).toUtf8());
    script.close();
    QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
    const QString file = m_dir.filePath(QStringLiteral("names.xls"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("\xd0\xcf\x11\xe0");
    out.close();

    auto *input = newInput();
    input->Text1()->setPlainText(QStringLiteral("原有名单"));
    input->show();
    m_platform->expectMessage();
    m_platform->expectOpenFile(file);
    // The teacher cancels once the dialog shows and the converter has started its child.
    QTimer cancel;
    bool shown = false;
    connect(&cancel, &QTimer::timeout, this, [&] {
        auto *progress = input->findChild<QProgressDialog *>(QStringLiteral("converting"));
        if (progress && progress->isVisible() && QFile::exists(pidFile)) {
            shown = progress->labelText() == inputstudent::ConvertingLabel;
            progress->cancel();
        }
    });
    cancel.start(50);
    QTest::mouseClick(input->Command5(), Qt::LeftButton);
    cancel.stop();
    qputenv("PATH", path);

    QVERIFY(shown);
    QCOMPARE(m_platform->shown.size(), 2);
    QCOMPARE(input->Text1()->toPlainText(), QStringLiteral("原有名单"));
    QVERIFY(!input->findChild<QProgressDialog *>());
    QFile pid(pidFile);
    QVERIFY(pid.open(QIODevice::ReadOnly));
    const QByteArray child = pid.readAll().trimmed();
    QVERIFY(QTest::qWaitFor([&child] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(child)));
        return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
    }));
}

void tst_Dialogs::inputClearAsks_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("yes") << MsgAnswer::Yes << QString();
    QTest::newRow("no") << MsgAnswer::No << QStringLiteral("甲\n乙");
}

void tst_Dialogs::inputClearAsks()
{
    QFETCH(MsgAnswer, answer);
    QFETCH(QString, expected);
    auto *input = newInput();
    input->show();
    input->Text1()->setPlainText(QStringLiteral("甲\n乙"));
    m_platform->expectMessage(answer);
    QTest::mouseClick(input->Command3(), Qt::LeftButton);
    QCOMPARE(m_platform->shown.size(), 1);
    QVERIFY(sameMessage(m_platform->shown.at(0), EditorMessages::ClearQuestion, Platform::QuestionTitle,
                        MsgIcon::Question, MsgButtons::YesNo));
    QCOMPARE(input->Text1()->toPlainText(), expected);
    QVERIFY(input->isVisible());
}

void tst_Dialogs::inputEmptyListStaysOpen()
{
    editDocument(*m_state, [&](CommentDocument &d) { setRoster(d, {QStringLiteral("甲")}); });
    auto *input = newInput();
    input->Option2()->setChecked(true);
    input->show();
    QVERIFY(QTest::qWaitForWindowActive(input));
    input->Command1()->setFocus();
    m_platform->expectMessage();
    QTest::mouseClick(input->Command1(), Qt::LeftButton);
    QCOMPARE(m_platform->shown.size(), 1);
    QVERIFY(sameMessage(m_platform->shown.at(0), DocumentMessages::EmptyListMessage, Platform::NoticeTitle,
                        MsgIcon::Exclamation, MsgButtons::Ok));
    QVERIFY(input->isVisible());
    QTRY_VERIFY(input->Text1()->hasFocus());
    QCOMPARE(rosterNames(m_state->Document()), QStringList{QStringLiteral("甲")});
    QCOMPARE(m_rosterChanges, 0);
    QVERIFY(!m_state->Modified());
}

void tst_Dialogs::inputImport_data()
{
    QTest::addColumn<QStringList>("roster");
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("dropped");

    const QStringList three = {QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")};
    QTest::newRow("replace skips empty lines")
        << three << QStringLiteral("甲\n\n乙") << true << QStringList{"甲", "乙"} << false;
    QTest::newRow("add after the last")
        << three << QStringLiteral("甲\n乙\n") << false << (three + QStringList{"甲", "乙"}) << false;
    QTest::newRow("add to empty roster")
        << QStringList{} << QStringLiteral("甲") << false << QStringList{"甲"} << false;
    QTest::newRow("replace 101") << three << numberedNames(101).join(u'\n') << true << numberedNames(100)
                                 << true;
    QTest::newRow("replace exactly 100")
        << three << numberedNames(100).join(u'\n') << true << numberedNames(100) << false;
    QTest::newRow("add beyond 100") << numberedNames(98, QStringLiteral("旧")) << QStringLiteral("甲\n乙\n丙")
                                    << false
                                    << (numberedNames(98, QStringLiteral("旧")) + QStringList{"甲", "乙"})
                                    << true;
}

void tst_Dialogs::inputImport()
{
    QFETCH(QStringList, roster);
    QFETCH(QString, list);
    QFETCH(bool, replace);
    QFETCH(QStringList, expected);
    QFETCH(bool, dropped);
    editDocument(*m_state, [&](CommentDocument &d) { setRoster(d, roster); });
    QStringList seenByCallback;
    bool visibleInCallback = true;
    QPointer<inputstudent> input = keep(new inputstudent(*m_state, *m_platform, [&] {
        ++m_rosterChanges;
        seenByCallback = rosterNames(m_state->Document());
        visibleInCallback = input->isVisible();
    }));
    input->show();
    input->Text1()->setPlainText(list);
    if (replace)
        QTest::mouseClick(input->Option2(), Qt::LeftButton);
    if (dropped)
        m_platform->expectMessage();
    QTest::mouseClick(input->Command1(), Qt::LeftButton);

    // The list and the editor are refreshed once, from the new roster, before the dialog goes.
    QCOMPARE(m_rosterChanges, 1);
    QCOMPARE(seenByCallback, expected);
    QVERIFY(visibleInCallback);
    expectGone(input.data());
    QCOMPARE(rosterNames(m_state->Document()), expected);
    QVERIFY(m_state->Modified());
    if (dropped) {
        QCOMPARE(m_platform->shown.size(), 1);
        QVERIFY(sameMessage(m_platform->shown.at(0), DocumentMessages::DroppedMessage, Platform::NoticeTitle,
                            MsgIcon::Exclamation, MsgButtons::Ok));
    } else {
        QVERIFY(m_platform->shown.isEmpty());
    }
    // Students kept by an append keep their comments; imported students start without one.
    for (int i = 1; i <= expected.size(); ++i) {
        const bool kept = !replace && i <= roster.size();
        QCOMPARE(m_state->Document().slot(i).comment.isEmpty(), !kept);
    }
    if (expected.size() < CommentDocument::MaxStudents)
        QVERIFY(m_state->Document().slot(expected.size() + 1) == StudentSlot{});
}

// The scratch file cannot be written: a folder stands where it belongs (for root too).
void tst_Dialogs::inputImportFailureKeepsRoster()
{
    editDocument(*m_state, [&](CommentDocument &d) {
        setRoster(d, {QStringLiteral("张三"), QStringLiteral("李四")});
    });
    const CommentDocument before = m_state->Document();
    QVERIFY(QDir().mkdir(m_folder->file(ProgramFiles::ScratchName)));
    auto *input = newInput();
    input->show();
    input->Text1()->setPlainText(QStringLiteral("甲\n乙"));
    input->Option2()->setChecked(true);
    m_platform->expectMessage();
    QTest::mouseClick(input->Command1(), Qt::LeftButton);

    QCOMPARE(m_platform->shown.size(), 1);
    const ShownDialog &shown = m_platform->shown.at(0);
    QVERIFY2(shown.text.startsWith(QStringLiteral("导入失败！")) && shown.text.size() > 5,
             qPrintable(shown.text));
    QCOMPARE(shown.title, Platform::NoticeTitle);
    QCOMPARE(shown.icon, MsgIcon::Critical);
    QCOMPARE(shown.buttons, MsgButtons::Ok);
    QVERIFY(m_state->Document() == before);
    QVERIFY(!m_state->Modified());
    QCOMPARE(m_rosterChanges, 0);
    QVERIFY(input->isVisible());
    QCOMPARE(input->Text1()->toPlainText(), QStringLiteral("甲\n乙"));
}

void tst_Dialogs::inputHoverHints_data()
{
    QTest::addColumn<QStringList>("path");  // controls the mouse moves over, in order
    QTest::addColumn<QStringList>("hints"); // the hint after each move

    const QString input = inputstudent::InputHint;
    const QString list = inputstudent::ListHint;
    const QString clear = inputstudent::ClearHint;
    const QString load = inputstudent::LoadHint;
    QTest::newRow("list") << QStringList{"Text1"} << QStringList{list};
    QTest::newRow("clear") << QStringList{"Command3"} << QStringList{clear};
    QTest::newRow("load") << QStringList{"Command5"} << QStringList{load};
    QTest::newRow("list then frame") << QStringList{"Text1", "Frame1"} << QStringList{list, input};
    QTest::newRow("load then import button")
        << QStringList{"Command5", "Command1"} << QStringList{load, input};
    QTest::newRow("clear then hint label") << QStringList{"Command3", "Label1"} << QStringList{clear, input};
    QTest::newRow("round trip") << QStringList{"Command3", "Command5", "Text1", "Option2", "Command3"}
                                << QStringList{clear, load, list, input, clear};
}

void tst_Dialogs::inputHoverHints()
{
    QFETCH(QStringList, path);
    QFETCH(QStringList, hints);
    auto *input = newInput();
    input->show();
    QVERIFY(QTest::qWaitForWindowExposed(input));
    for (int i = 0; i < path.size(); ++i) {
        auto *target = input->findChild<QWidget *>(path.at(i));
        QVERIFY2(target, qPrintable(path.at(i)));
        if (auto *edit = qobject_cast<QPlainTextEdit *>(target))
            target = edit->viewport();
        QTest::mouseMove(target);
        QTRY_COMPARE(input->Label1()->text(), hints.at(i));
    }
}

void tst_Dialogs::inputEnterEventShowsHint()
{
    auto *input = newInput();
    input->show();
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(input->Command3(), &enter);
    QCOMPARE(input->Label1()->text(), inputstudent::ClearHint);
    QCoreApplication::sendEvent(input->Text1()->viewport(), &enter);
    QCOMPARE(input->Label1()->text(), inputstudent::ListHint);
    QCoreApplication::sendEvent(input->Command5(), &enter);
    QCOMPARE(input->Label1()->text(), inputstudent::LoadHint);
    QCoreApplication::sendEvent(input, &enter);
    QCOMPARE(input->Label1()->text(), inputstudent::InputHint);
}

// --- 设置教师签名 --------------------------------------------------------------------------------

void tst_Dialogs::signatureSetCurrent_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("modified");
    QTest::newRow("new name") << QStringLiteral("王老师") << true;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("unchanged") << QStringLiteral("李老师") << false;
}

void tst_Dialogs::signatureSetCurrent()
{
    QFETCH(QString, typed);
    QFETCH(bool, modified);
    editDocument(*m_state, [&](CommentDocument &d) { d.TeacherSignature = QStringLiteral("李老师"); });
    const QByteArray templateBytes = fileBytes(m_state->Files().templateFile());
    QString seenByRefresh = QStringLiteral("(not called)");
    QPointer<teachersetup> dialog = keep(new teachersetup(*m_state, *m_platform, [&] {
        ++m_refreshes;
        seenByRefresh = m_state->Document().TeacherSignature;
    }));
    dialog->show();
    dialog->Text1()->setText(typed);
    m_platform->expectMessage();
    QTest::mouseClick(dialog->Command2(), Qt::LeftButton);

    QCOMPARE(m_state->Document().TeacherSignature, typed);
    QCOMPARE(m_refreshes, 1);
    QCOMPARE(seenByRefresh, typed);
    QCOMPARE(m_state->Modified(), modified);
    QCOMPARE(m_platform->shown.size(), 1);
    QVERIFY(sameMessage(m_platform->shown.at(0), AppMessages::DoneMessage, Platform::NoticeTitle,
                        MsgIcon::Information, MsgButtons::Ok));
    expectGone(dialog.data());
    QCOMPARE(fileBytes(m_state->Files().templateFile()), templateBytes);
}

void tst_Dialogs::signatureSetDefault_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("templateThere");
    QTest::newRow("yes") << MsgAnswer::Yes << true;
    QTest::newRow("no") << MsgAnswer::No << true;
    QTest::newRow("yes without template") << MsgAnswer::Yes << false;
    QTest::newRow("no without template") << MsgAnswer::No << false;
}

void tst_Dialogs::signatureSetDefault()
{
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, templateThere);
    editDocument(*m_state, [&](CommentDocument &d) { d.TeacherSignature = QStringLiteral("李老师"); });
    const QString templatePath = m_state->Files().templateFile();
    const QByteArray original = fileBytes(templatePath);
    QVERIFY(original.startsWith(TextFile::encode(u"版本=")));
    if (!templateThere)
        QVERIFY(m_folder->remove(QStringLiteral("normal.pyn")));

    const QString typed = QStringLiteral("王老师");
    QPointer<teachersetup> dialog = newSignature();
    dialog->show();
    dialog->Text1()->setText(typed);
    m_platform->expectMessage(answer);
    const bool stored = answer == MsgAnswer::Yes && templateThere;
    const bool failed = answer == MsgAnswer::Yes && !templateThere;
    if (answer == MsgAnswer::Yes)
        m_platform->expectMessage();
    QTest::mouseClick(dialog->Command1(), Qt::LeftButton);

    QVERIFY(!m_platform->shown.isEmpty());
    QVERIFY(sameMessage(m_platform->shown.at(0), teachersetup::defaultQuestion(typed),
                        Platform::QuestionTitle, MsgIcon::Question, MsgButtons::YesNo));
    QCOMPARE(teachersetup::defaultQuestion(typed),
             QStringLiteral("是否把“王老师”设置为新建文件时系统默认的教师签名？"));
    if (stored) {
        QCOMPARE(m_platform->shown.size(), 2);
        QVERIFY(sameMessage(m_platform->shown.at(1), AppMessages::DoneMessage, Platform::NoticeTitle,
                            MsgIcon::Information, MsgButtons::Ok));
        // Only the second line of the template changes.
        QList<QByteArray> lines = original.split('\n');
        lines[1] = TextFile::encode(u"teacher=王老师\r");
        QCOMPARE(fileBytes(templatePath), lines.join('\n'));
        QCOMPARE(m_state->Document().TeacherSignature, typed);
        QVERIFY(m_state->Modified());
        QCOMPARE(m_refreshes, 1);
        expectGone(dialog.data());
        return;
    }
    if (failed) {
        QCOMPARE(m_platform->shown.size(), 2);
        const ShownDialog &shown = m_platform->shown.at(1);
        QVERIFY2(shown.text.startsWith(QStringLiteral("设置默认签名失败！")), qPrintable(shown.text));
        QCOMPARE(shown.title, Platform::NoticeTitle);
        QCOMPARE(shown.icon, MsgIcon::Critical);
        QCOMPARE(shown.buttons, MsgButtons::Ok);
    } else {
        QCOMPARE(m_platform->shown.size(), 1);
    }
    QVERIFY(!m_platform->messageTexts().contains(AppMessages::DoneMessage));
    QCOMPARE(m_state->Document().TeacherSignature, QStringLiteral("李老师"));
    QVERIFY(!m_state->Modified());
    QCOMPARE(m_refreshes, 0);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->Text1()->text(), typed);
    QCOMPARE(QFile::exists(templatePath), templateThere);
    if (templateThere)
        QCOMPARE(fileBytes(templatePath), original);
}

void tst_Dialogs::signatureDefaultTwiceKeepsOneLine()
{
    const QString templatePath = m_state->Files().templateFile();
    const QByteArray original = fileBytes(templatePath);
    QByteArray once;
    for (const QString &signature :
         {QStringLiteral("王老师"), QStringLiteral("王老师"), QStringLiteral("赵")}) {
        QPointer<teachersetup> dialog = newSignature();
        dialog->show();
        dialog->Text1()->setText(signature);
        m_platform->expectMessage(MsgAnswer::Yes);
        m_platform->expectMessage();
        dialog->Command1Click();
        expectGone(dialog.data());
        if (once.isEmpty())
            once = fileBytes(templatePath);
        else if (signature == QStringLiteral("王老师"))
            QCOMPARE(fileBytes(templatePath), once);
    }
    QList<QByteArray> lines = original.split('\n');
    lines[1] = TextFile::encode(u"teacher=赵\r");
    QCOMPARE(fileBytes(templatePath), lines.join('\n'));
    QCOMPARE(m_state->Document().TeacherSignature, QStringLiteral("赵"));
}

// --- 智能推测 -----------------------------------------------------------------------------------

void tst_Dialogs::noStudentRun_data()
{
    QTest::addColumn<int>("option");       // 0 = none chosen
    QTest::addColumn<bool>("opened");      // what openDocument returns
    QTest::addColumn<bool>("doubleClick"); // on the option instead of 执行
    QTest::addColumn<QString>("ran");
    QTest::addColumn<bool>("staysOpen");

    for (const bool dbl : {false, true}) {
        const char *how = dbl ? "double-click" : "button";
        if (!dbl)
            QTest::addRow("none, %s", how) << 0 << true << dbl << QString() << true;
        QTest::addRow("import, %s", how) << 1 << true << dbl << QStringLiteral("import") << false;
        QTest::addRow("new, %s", how) << 2 << true << dbl << QStringLiteral("new") << false;
        QTest::addRow("open, %s", how) << 3 << true << dbl << QStringLiteral("open") << false;
        QTest::addRow("open cancelled, %s", how) << 3 << false << dbl << QStringLiteral("open") << true;
    }
}

void tst_Dialogs::noStudentRun()
{
    QFETCH(int, option);
    QFETCH(bool, opened);
    QFETCH(bool, doubleClick);
    QFETCH(QString, ran);
    QFETCH(bool, staysOpen);
    QStringList log;
    QPointer<nostudent> dialog = keep(new nostudent({[&] { log << "import"; }, [&] { log << "new"; },
                                                     [&] {
                                                         log << "open";
                                                         return opened;
                                                     }}));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QCOMPARE(dialog->Label1()->text(),
             QStringLiteral("系统检测到当前文件中没有任何学生或评语的信息，您可能需要下列之一的功能："));
    QRadioButton *options[] = {dialog->Option1(), dialog->Option2(), dialog->Option3()};
    if (doubleClick) {
        doubleClickOn(options[option - 1]);
    } else {
        if (option > 0)
            QTest::mouseClick(options[option - 1], Qt::LeftButton);
        QVERIFY(log.isEmpty()); // choosing alone runs nothing
        QCOMPARE(dialog->Command1()->isEnabled(), option > 0);
        QTest::mouseClick(dialog->Command1(), Qt::LeftButton);
    }
    QCOMPARE(log, ran.isEmpty() ? QStringList{} : QStringList{ran});
    if (staysOpen) {
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(option == 0 || options[option - 1]->isChecked());
    } else {
        expectGone(dialog.data());
    }
    QVERIFY(m_platform->shown.isEmpty());
}

void tst_Dialogs::signatureGuessRun_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<QString>("ran");
    QTest::newRow("none") << 0 << false << QString();
    QTest::newRow("signature") << 1 << false << QStringLiteral("signature");
    QTest::newRow("font") << 2 << false << QStringLiteral("font");
    QTest::newRow("signature, double-click") << 1 << true << QStringLiteral("signature");
    QTest::newRow("font, double-click") << 2 << true << QStringLiteral("font");
}

void tst_Dialogs::signatureGuessRun()
{
    QFETCH(int, option);
    QFETCH(bool, doubleClick);
    QFETCH(QString, ran);
    QStringList log;
    QPointer<tuice_teacher> dialog;
    // The chosen function opens its own window: this dialog is already hidden by then.
    auto run = [&](const QString &name) {
        log << name;
        if (dialog && dialog->isVisible())
            log << QStringLiteral("still visible");
    };
    dialog = keep(new tuice_teacher(*m_platform, {[&] { run("signature"); }, [&] { run("font"); }}));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QRadioButton *options[] = {dialog->Option1(), dialog->Option2()};
    if (doubleClick) {
        doubleClickOn(options[option - 1]);
    } else {
        if (option > 0)
            QTest::mouseClick(options[option - 1], Qt::LeftButton);
        QVERIFY(log.isEmpty());
        QCOMPARE(dialog->Command1()->isEnabled(), option > 0);
        QTest::mouseClick(dialog->Command1(), Qt::LeftButton);
    }
    QCOMPARE(log, ran.isEmpty() ? QStringList{} : QStringList{ran});
    if (option == 0) { // 执行 is disabled: nothing runs and nothing is asked
        QVERIFY(m_platform->shown.isEmpty());
        QVERIFY(dialog && dialog->isVisible());
    } else {
        QVERIFY(m_platform->shown.isEmpty());
        expectGone(dialog.data());
    }
}

void tst_Dialogs::guessFromKeyboard_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QList<int>>("keys"); // pressed on the focused option, Option1 at first
    QTest::addColumn<int>("chosen");      // the option the keys leave chosen
    QTest::addColumn<QString>("ran");     // what Enter then runs
    const int down = Qt::Key_Down, up = Qt::Key_Up, left = Qt::Key_Left, right = Qt::Key_Right;
    QTest::newRow("nostudent, down") << "nostudent" << QList<int>{down} << 2 << "new";
    QTest::newRow("nostudent, down twice") << "nostudent" << QList<int>{down, down} << 3 << "open";
    QTest::newRow("nostudent, up at the first") << "nostudent" << QList<int>{up} << 1 << "import";
    QTest::newRow("tuice_teacher, right") << "tuice_teacher" << QList<int>{right} << 2 << "font";
    QTest::newRow("tuice_teacher, past the last") << "tuice_teacher" << QList<int>{down, down} << 2 << "font";
    QTest::newRow("tuice_teacher, back") << "tuice_teacher" << QList<int>{down, left} << 1 << "signature";
}

// The arrow keys choose as they move; Enter with nothing chosen does nothing.
void tst_Dialogs::guessFromKeyboard()
{
    QFETCH(QString, dialog);
    QFETCH(QList<int>, keys);
    QFETCH(int, chosen);
    QFETCH(QString, ran);
    QStringList log;
    QPointer<GuessDialog> d;
    if (dialog == "nostudent")
        d = keep(new nostudent({[&] { log << "import"; }, [&] { log << "new"; },
                                [&] {
                                    log << "open";
                                    return true;
                                }}));
    else
        d = keep(new tuice_teacher(*m_platform, {[&] { log << "signature"; }, [&] { log << "font"; }}));
    d->show();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d));
    const QList<QRadioButton *> options = d->findChildren<QRadioButton *>();
    options.first()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(log.isEmpty() && d->isVisible() && !d->Command1()->isEnabled());

    for (const int key : std::as_const(keys))
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QRadioButton *expected = d->findChild<QRadioButton *>(QStringLiteral("Option%1").arg(chosen));
    QVERIFY(expected->isChecked() && expected->hasFocus());
    QVERIFY(d->Command1()->isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(log, QStringList{ran});
    expectGone(d.data());
}

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"
