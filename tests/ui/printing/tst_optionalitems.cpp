#include "core/document/session.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/printeditems.h"
#include "pageitems.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "sessionedit.h"
#include "ui/printing/pagesetuppanel.h"
#include "ui/printing/ps_control.h"
#include "ui/printing/ps_paper.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

const QStringList OneScheme = {
    "name=甲",     "paperheight=29.7", "paperwidth=21",  "studentleft=2", "studenttop=3",   "pytextleft=2",
    "pytexttop=4", "pytextheight=12",  "pytextwidth=15", "pytextjuli=.4", "teacherleft=14", "teachertop=17",
    "*!*",
};

} // namespace

/// The heading and the date in the print window: switched on per scheme, given a text and a font.
class tst_OptionalItems : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void switchedOn_data();
    void switchedOn();

private:
    void open();
    PageSetupPanel *setup() const { return m_control->jpapersetup(); }

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Session> m_state;
    std::unique_ptr<ps_paper> m_paper;
    std::unique_ptr<ps_control> m_control;
};

void tst_OptionalItems::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->isValid());
    QVERIFY(TextFile::writeLines(ProgramFiles(m_folder->path()).schemes(), OneScheme).ok());
    m_platform = std::make_unique<ScriptedPlatform>();
    m_state = std::make_unique<Session>();
    m_state->setProgramFolder(m_folder->path());
    m_state->setCurrentFile(m_folder->path() + QStringLiteral("三年级二班.py"), true);
    editDocument(*m_state, [](CommentDocument &d) {
        d.slot(1) = {QStringLiteral("张三"), QStringLiteral("好")};
    });
    m_state->setCurrentStudent(0);
}

void tst_OptionalItems::cleanup()
{
    m_control.reset();
    m_paper.reset();
    QHSY_VERIFY_DIALOGS(*m_platform);
}

void tst_OptionalItems::open()
{
    m_paper = std::make_unique<ps_paper>();
    m_control = std::make_unique<ps_control>(*m_state, *m_platform, m_paper.get(), PrintPanelMode::Setup);
    m_paper->show();
    m_control->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_control.get()));
}

void tst_OptionalItems::switchedOn_data()
{
    QTest::addColumn<SelectedObject>("object");
    QTest::addColumn<PageItemRole>("role");
    QTest::addColumn<QString>("text");      // as the page shows it
    QTest::addColumn<QStringList>("boxes"); // ttop, tleft, ttext
    QTest::addColumn<QString>("typed");     // then Enter in the text box
    QTest::addColumn<QString>("message");   // "": the page shows the typed text
    QTest::addColumn<QString>("after");     // what the page shows then
    QTest::newRow("heading") << SelectedObject::Title << PageItemRole::Title << "三年级二班 学生评语"
                             << QStringList{"1.5", "2", "{班级} 学生评语"} << "青禾小学 {班级}"
                             << ""
                             << "青禾小学 三年级二班";
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy年M月d日"));
    QTest::newRow("date") << SelectedObject::Date << PageItemRole::Date << today
                          << QStringList{"18", "14", "{年}年{月}月{日}日"} << "*!*"
                          << "打印方案中的文字不能含有“*!*”，它会被当作方案文件的标记。" << today;
}

void tst_OptionalItems::switchedOn()
{
    QFETCH(SelectedObject, object);
    QFETCH(PageItemRole, role);
    QFETCH(QString, text);
    QFETCH(QStringList, boxes);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, after);
    open();
    QCheckBox *check = setup()->printedBox(object);
    QVERIFY(check && !check->isChecked());
    QVERIFY(!firstOf(m_control->page(), role));

    check->click();
    const PageItem *item = firstOf(m_control->page(), role);
    QVERIFY(item);
    QCOMPARE(item->text, text);
    // A click on it selects it: its place and text in the boxes, no box width.
    QTest::mouseClick(
        m_paper.get(), Qt::LeftButton, {},
        QPoint(m_paper->px(item->left + item->width / 2), m_paper->px(item->top + item->height / 2)));
    QCOMPARE(m_control->selectedObject(), object);
    QCOMPARE((QStringList{setup()->ttop()->text(), setup()->tleft()->text(), setup()->ttext()->text()}),
             boxes);
    QVERIFY(!setup()->twidth()->isEnabled());

    if (!message.isEmpty())
        m_platform->expectMessage();
    setup()->ttext()->setText(typed);
    QTest::keyClick(setup()->ttext(), Qt::Key_Return);
    QCOMPARE(m_platform->messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(firstOf(m_control->page(), role)->text, after);
    if (!message.isEmpty()) {
        QCOMPARE(m_platform->shown[0].title, Platform::NoticeTitle);
        QCOMPARE(m_platform->shown[0].icon, MsgIcon::Exclamation);
    }

    // Its font is the scheme's: the comment file's fonts stay as they are.
    const ItemFonts before = m_state->Document().ItemFonts;
    m_platform->expectFont({QStringLiteral("楷体"), 20, false, true});
    setup()->tfont()->click();
    QCOMPARE(m_state->Document().ItemFonts, before);
    QCOMPARE(firstOf(m_control->page(), role)->font, (ItemFont{QStringLiteral("楷体"), 15, false, true}));

    // Saved with the scheme and read back when the scheme is picked again; off again, gone.
    m_platform->expectMessage();
    setup()->Command2()->click();
    m_control->Combo1Change();
    QVERIFY(check->isChecked());
    QCOMPARE(firstOf(m_control->page(), role)->font.fontName, QStringLiteral("楷体"));
    check->click();
    QVERIFY(!firstOf(m_control->page(), role));
}

QTEST_MAIN(tst_OptionalItems)
#include "tst_optionalitems.moc"
