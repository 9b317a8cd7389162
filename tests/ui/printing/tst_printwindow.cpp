#include "core/document/session.h"
#include "core/platform/leadingnumber.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/messages.h"
#include "core/printing/printeditems.h"
#include "pageitems.h"
#include "programfolder.h"
#include "resultvalue.h"
#include "scriptedplatform.h"
#include "sessionedit.h"
#include "ui/printing/pagesetuppanel.h"
#include "ui/printing/paperarea.h"
#include "ui/printing/previewpanel.h"
#include "ui/printing/printpanel.h"
#include "ui/printing/ps_control.h"
#include "ui/printing/ps_paper.h"
#include "ui/printing/sheetchoice.h"
#include "ui/printing/spinarrows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <optional>

namespace {

const QStringList TwoSchemes = {
    "name=甲",
    "paperheight=20",
    "paperwidth=10",
    "studentleft=1",
    "studenttop=1",
    "pytextleft=1",
    "pytexttop=2",
    "pytextheight=5",
    "pytextwidth=8",
    "pytextjuli=.4",
    "teacherleft=.05",
    "teachertop=8",
    "*!*",
    "",
    "name=乙",
    "paperheight=25.7",
    "paperwidth=18.2",
    "studentleft=2",
    "studenttop=2.8",
    "pytextleft=2",
    "pytexttop=4",
    "pytextheight=12",
    "pytextwidth=13.7",
    "pytextjuli=0",
    "teacherleft=12.2",
    "teachertop=16.6",
    "*!*",
};

const QStringList ThreeStudents = {"张三", "李四", "王五"};

/// A scheme field in a data table, or none.
using Field = std::optional<SchemeField>;
const Field NoField;

} // namespace

class tst_printwindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opening();
    void emptySchemeFile();
    void spinners_data();
    void spinners();
    void heightSpinner();
    void pageClicks_data();
    void pageClicks();
    void enterStoresTypedText_data();
    void enterStoresTypedText();
    void hugePaperSize_data();
    void hugePaperSize();
    void schemeBox();
    void newScheme_data();
    void newScheme();
    void saveScheme_data();
    void saveScheme();
    void itemFont_data();
    void itemFont();
    void scale_data();
    void scale();
    void pageReachable_data();
    void pageReachable();
    void modes_data();
    void modes();
    void navigation_data();
    void navigation();
    void navigationKeys_data();
    void navigationKeys();
    void studentBox_data();
    void studentBox();
    void printing_data();
    void printing();
    void printWhatIsReady_data();
    void printWhatIsReady();
    void choosePrinter();
    void progressOfLongRuns();
    void stopPrinting_data();
    void stopPrinting();
    void closing_data();
    void closing();
    void exitDuringRun_data();
    void exitDuringRun();
    void printToPdf_data();
    void printToPdf();
    void pdfTakesPrintRange_data();
    void pdfTakesPrintRange();
    void propertiesCopiesAndRange_data();
    void propertiesCopiesAndRange();
    void sheetsShown();
    void noOutlineInPreview();
    void commentsPastBox_data();
    void commentsPastBox();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Session> m_state;
    std::unique_ptr<ps_paper> m_paper;
    std::unique_ptr<ps_control> m_control;

    void setStudents(const QStringList &names);
    void open(PrintPanelMode mode = PrintPanelMode::Setup);
    void click(SpinArrows *arrows, int clicks); // positive: up
    void verifyMessage(const QString &text, const QString &title, MsgIcon icon);
    double scaled(double cm) const { return cm * 570 * m_control->scale(); }
    PageSetupPanel *setup() const { return m_control->jpapersetup(); }
    PreviewPanel *preview() const { return m_control->jprivew(); }
    PrintPanel *printPanel() const { return m_control->jprint(); }
    QString schemeFile() const { return ProgramFiles(m_folder->path()).schemes(); }
};

// A pick from a box's list: the entry becomes the box's text, then the box reports it.
static void pick(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(combo->findText(text));
    emit combo->textActivated(text);
}

void tst_printwindow::initTestCase()
{
    // The program's interface face, so that the layout is checked with what the teacher sees.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), font.family()});
    QApplication::setFont(font);
}

void tst_printwindow::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->isValid());
    QVERIFY(TextFile::writeLines(schemeFile(), TwoSchemes).ok());
    m_platform = std::make_unique<ScriptedPlatform>();
    m_state = std::make_unique<Session>();
    m_state->setProgramFolder(m_folder->path());
    m_state->setCurrentStudent(0);
    setStudents(ThreeStudents);
}

void tst_printwindow::cleanup()
{
    m_control.reset();
    m_paper.reset();
    QHSY_VERIFY_DIALOGS(*m_platform);
}

void tst_printwindow::setStudents(const QStringList &names)
{
    editDocument(*m_state, [&](CommentDocument &d) {
        d.clearSlots();
        for (int i = 0; i < names.size(); ++i) {
            d.slot(i + 1) = {
                names[i],
                QStringLiteral("评语%1：").arg(i + 1) +
                    QStringLiteral("上课认真听讲，作业书写工整，乐于帮助同学，希望继续努力。").repeated(3)};
        }
    });
}

void tst_printwindow::open(PrintPanelMode mode)
{
    m_paper = std::make_unique<ps_paper>();
    m_control = std::make_unique<ps_control>(*m_state, *m_platform, m_paper.get(), mode);
    m_paper->show();
    m_control->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_control.get()));
}

void tst_printwindow::click(SpinArrows *arrows, int clicks)
{
    for (int i = 0; i < std::abs(clicks); ++i)
        (clicks > 0 ? arrows->upButton() : arrows->downButton())->click();
}

void tst_printwindow::verifyMessage(const QString &text, const QString &title, MsgIcon icon)
{
    QCOMPARE(m_platform->shown.size(), 1);
    QCOMPARE(m_platform->shown[0].text, text);
    QCOMPARE(m_platform->shown[0].title, title);
    QCOMPARE(m_platform->shown[0].icon, icon);
}

void tst_printwindow::opening()
{
    m_state->setCurrentStudent(1);
    open();
    QCOMPARE(m_control->Combo1()->count(), 2);
    QCOMPARE(m_control->ActiveScheme(),
             expectValue(LayoutSchemeFile(schemeFile()).loadScheme(QStringLiteral("甲"))));
    QCOMPARE((QStringList{setup()->pheight()->text(), setup()->pwidth()->text(), setup()->pjuli()->text()}),
             (QStringList{"20", "10", ".4"}));
    QCOMPARE(m_control->Combo2()->currentText(), QStringLiteral("75%"));
    QCOMPARE(preview()->Combo3()->currentText(), QStringLiteral("李四"));
    for (QWidget *w : std::initializer_list<QWidget *>{setup()->theight(), setup()->twidth(), setup()->ttop(),
                                                       setup()->tleft(), setup()->tfont()})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(printPanel()->Option1()->isChecked());
    QCOMPARE(firstOf(m_control->page(), PageItemRole::StudentName)->text, QStringLiteral("李四同学："));
}

void tst_printwindow::emptySchemeFile()
{
    QVERIFY(TextFile::writeLines(schemeFile(), {}).ok());
    m_platform->expectMessage();
    open();
    verifyMessage(PrintMessages::NoSchemeMessage, QStringLiteral("系统提示"), MsgIcon::Exclamation);
    QCOMPARE(m_control->ActiveScheme(), LayoutScheme{});
    QCOMPARE(m_paper->size(), QSize(0, 0));
}

// Each pair of arrows steps its own box and stores where that box stores; the stepping rules
// themselves are tested in core (tst_schemeediting).
void tst_printwindow::spinners_data()
{
    QTest::addColumn<SelectedObject>("object");
    QTest::addColumn<QString>("spinner");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("start"); // typed into the box first; null: as filled
    QTest::addColumn<int>("clicks");    // positive up, negative down
    QTest::addColumn<QString>("text");
    QTest::addColumn<Field>("field"); // none: the copies box, whose arrows store nothing

    const QString asFilled;
    QTest::newRow("signature left below zero")
        << SelectedObject::Signature << "tlt"
        << "tleft" << asFilled << -1 << "-.05" << Field(SchemeField::TeacherLeft);
    QTest::newRow("ten steps up") << SelectedObject::CommentText << "tlt"
                                  << "tleft" << asFilled << 10 << "2" << Field(SchemeField::PyTextLeft);
    QTest::newRow("name top down") << SelectedObject::StudentName << "ttt"
                                   << "ttop" << asFilled << -1 << ".9" << Field(SchemeField::StudentTop);
    QTest::newRow("comment width up")
        << SelectedObject::CommentText << "tht"
        << "twidth" << asFilled << 1 << "8.1" << Field(SchemeField::PyTextWidth);
    QTest::newRow("paper height: text becomes 0") << SelectedObject::None << "UpDown1"
                                                  << "pheight"
                                                  << "abc" << -1 << "0" << Field(SchemeField::PaperHeight);
    QTest::newRow("paper width: unit dropped") << SelectedObject::None << "UpDown2"
                                               << "pwidth"
                                               << "12cm" << 1 << "12.1" << Field(SchemeField::PaperWidth);
    QTest::newRow("spacing: text kept") << SelectedObject::None << "UpDown4"
                                        << "pjuli"
                                        << "abc" << -1 << "abc" << Field(SchemeField::PyTextJuli);
    QTest::newRow("copies up, no limit") << SelectedObject::None << "UpDown3"
                                         << "copys"
                                         << "999" << 2 << "1001" << NoField;
}

void tst_printwindow::spinners()
{
    QFETCH(SelectedObject, object);
    QFETCH(QString, spinner);
    QFETCH(QString, box);
    QFETCH(QString, start);
    QFETCH(int, clicks);
    QFETCH(QString, text);
    QFETCH(Field, field);
    open();
    if (object != SelectedObject::None)
        m_control->selectObject(object);
    auto *edit = m_control->findChild<QLineEdit *>(box);
    if (!start.isNull())
        edit->setText(start);
    click(m_control->findChild<SpinArrows *>(spinner), clicks);
    QCOMPARE(edit->text(), text);
    if (field)
        QCOMPARE(m_control->ActiveScheme().value(*field), text);

    // Composed again from the new value; the selected item keeps its outline.
    const ComposedPage &page = m_control->page();
    const double stored = leadingNumber(text);
    if (field == SchemeField::PaperHeight)
        QCOMPARE(page.height, scaled(stored));
    else if (field == SchemeField::TeacherLeft)
        QCOMPARE(firstOf(page, PageItemRole::Signature)->left, scaled(stored));
    else if (field == SchemeField::PyTextLeft)
        QCOMPARE(firstOf(page, PageItemRole::CommentLine)->left, scaled(stored));
    QCOMPARE(m_paper->outline(), object);
    QCOMPARE(m_paper->outlineRect().isEmpty(), object == SelectedObject::None);
}

void tst_printwindow::heightSpinner()
{
    open();
    m_control->selectObject(SelectedObject::CommentText);
    click(setup()->twt(), 3);
    QCOMPARE(setup()->theight()->text(), QStringLiteral("5.3"));
    QCOMPARE(m_control->ActiveScheme().pytextheight, QStringLiteral("5"));
    // Down shows the stored height again and takes a step off the spacing, but not off its box.
    click(setup()->twt(), -1);
    QCOMPARE(setup()->theight()->text(), QStringLiteral("5"));
    QCOMPARE(m_control->ActiveScheme().pytextjuli, QStringLiteral(".3"));
    QCOMPARE(setup()->pjuli()->text(), QStringLiteral(".4"));
    click(setup()->twt(), -5);
    QCOMPARE(m_control->ActiveScheme().pytextjuli, QStringLiteral("0"));
}

void tst_printwindow::pageClicks_data()
{
    QTest::addColumn<PageItemRole>("role");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("boxes"); // theight, twidth, ttop, tleft
    QTest::addColumn<QStringList>("disabled");

    const QStringList lengthsOff{"theight", "twidth", "twt", "tht"};
    QTest::newRow("name") << PageItemRole::StudentName << "“学生姓名：”" << QStringList{"", "", "1", "1"}
                          << lengthsOff;
    QTest::newRow("comment") << PageItemRole::CommentLine << "“评语正文”" << QStringList{"5", "8", "2", "1"}
                             << QStringList{"theight"};
    QTest::newRow("signature") << PageItemRole::Signature << "“教师签名”" << QStringList{"", "", "8", ".05"}
                               << lengthsOff;
}

void tst_printwindow::pageClicks()
{
    QFETCH(PageItemRole, role);
    QFETCH(QString, label);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, disabled);
    open();
    // From the comment, whose boxes are all filled, so that emptied boxes show.
    m_control->selectObject(SelectedObject::CommentText);
    const PageItem item = *firstOf(m_control->page(), role);
    QTest::mouseClick(
        m_paper.get(), Qt::LeftButton, {},
        QPoint(m_paper->px(item.left + item.width / 2), m_paper->px(item.top + item.height / 2)));
    const auto object = SelectedObject(int(role) + 1);
    QCOMPARE(m_control->selectedObject(), object);
    QCOMPARE(m_paper->outline(), object);
    QCOMPARE(setup()->selected()->text(), label);
    const auto shownBoxes = [this] {
        return QStringList{setup()->theight()->text(), setup()->twidth()->text(), setup()->ttop()->text(),
                           setup()->tleft()->text()};
    };
    QCOMPARE(shownBoxes(), boxes);
    const QStringList all{"theight", "twidth", "ttop", "tleft", "twt", "tht", "ttt", "tlt", "tfont"};
    for (const QString &name : all)
        QVERIFY2(m_control->findChild<QWidget *>(name)->isEnabled() != disabled.contains(name),
                 qPrintable(name));
    if (role == PageItemRole::CommentLine) {
        // The outline frames the first line box only.
        const ComposedPage &page = m_control->page();
        const qsizetype first = page.items.indexOf(item);
        QCOMPARE(page.items.value(first + 1).role, PageItemRole::CommentLine);
        QCOMPARE(m_paper->outlineRect().top(), m_paper->px(item.top));
        QVERIFY(m_paper->outlineRect().bottom() < m_paper->px(page.items[first + 1].top));
    }

    // The bare page selects nothing and leaves the boxes as they are.
    QTest::mouseClick(m_paper.get(), Qt::LeftButton, {}, QPoint(m_paper->width() - 2, m_paper->height() - 2));
    QCOMPARE(m_control->selectedObject(), SelectedObject::None);
    QVERIFY(m_paper->outlineRect().isEmpty());
    QCOMPARE(setup()->selected()->text(), QStringLiteral("未选中任何对象"));
    QCOMPARE(shownBoxes(), boxes);
    for (const QString &name : all)
        QVERIFY2(m_control->findChild<QWidget *>(name)->isEnabled() != disabled.contains(name),
                 qPrintable(name));
}

void tst_printwindow::enterStoresTypedText_data()
{
    QTest::addColumn<SelectedObject>("object");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Field>("field"); // none: nothing is stored

    QTest::newRow("left, nothing selected") << SelectedObject::None << "tleft"
                                            << "3" << NoField;
    QTest::newRow("left of the name, unit kept") << SelectedObject::StudentName << "tleft"
                                                 << "3cm" << Field(SchemeField::StudentLeft);
    QTest::newRow("top of the comment") << SelectedObject::CommentText << "ttop"
                                        << "abc" << Field(SchemeField::PyTextTop);
    QTest::newRow("comment width") << SelectedObject::CommentText << "twidth"
                                   << "6.25" << Field(SchemeField::PyTextWidth);
    QTest::newRow("spacing") << SelectedObject::None << "pjuli"
                             << "-1" << Field(SchemeField::PyTextJuli);
    QTest::newRow("paper height") << SelectedObject::None << "pheight"
                                  << "22" << Field(SchemeField::PaperHeight);
}

void tst_printwindow::enterStoresTypedText()
{
    QFETCH(SelectedObject, object);
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(Field, field);
    open();
    if (object != SelectedObject::None)
        m_control->selectObject(object);
    else
        setup()->tleft()->setEnabled(true); // as after a click on the bare page that followed a selection
    LayoutScheme expected = m_control->ActiveScheme();
    if (field)
        expected.setValue(*field, typed);
    // A paper width typed but not applied: composition reads it from its box all the same.
    setup()->pwidth()->setText(QStringLiteral("30"));
    auto *edit = m_control->findChild<QLineEdit *>(box);
    edit->setText(typed);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(m_control->ActiveScheme(), expected);
    QCOMPARE(m_control->page().width, scaled(30));
}

void tst_printwindow::hugePaperSize_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("height") << "pheight";
    QTest::newRow("width") << "pwidth";
}

// A paper size typed far beyond any paper gives the sample page the largest size a window can
// have, not a size wrapped round to nothing.
void tst_printwindow::hugePaperSize()
{
    QFETCH(QString, box);
    open();
    auto *edit = m_control->findChild<QLineEdit *>(box);
    edit->setText(QStringLiteral("99999999999999"));
    QTest::keyClick(edit, Qt::Key_Return);
    const int side = box == u"pheight" ? m_paper->height() : m_paper->width();
    QCOMPARE(side, QWIDGETSIZE_MAX);
}

void tst_printwindow::schemeBox()
{
    open();
    setup()->pheight()->setText(QStringLiteral("99"));
    QTest::keyClick(setup()->pheight(), Qt::Key_Return);

    // Typed letter by letter: each text that names no scheme says so and changes nothing.
    QLineEdit *text = m_control->Combo1()->lineEdit();
    text->clear();
    m_platform->expectMessage();
    QTest::keyClick(text, Qt::Key_X);
    verifyMessage(QStringLiteral("本功能暂未开通！"), QStringLiteral("青禾书苑"), MsgIcon::None);
    m_platform->expectMessage();
    QInputMethodEvent chinese; // a Chinese character comes from the input method
    chinese.setCommitString(QStringLiteral("乙"));
    QApplication::sendEvent(text, &chinese);
    QCOMPARE(m_platform->messageTexts(), QStringList(2, QStringLiteral("本功能暂未开通！")));
    QCOMPARE(m_control->ActiveScheme().paperheight, QStringLiteral("99"));

    // Deleting the "x" leaves "乙": that scheme is loaded and its boxes shown.
    QTest::keyClick(text, Qt::Key_Home);
    QTest::keyClick(text, Qt::Key_Delete);
    QCOMPARE(m_control->ActiveScheme().name, QStringLiteral("乙"));
    QCOMPARE((QStringList{setup()->pheight()->text(), setup()->pwidth()->text(), setup()->pjuli()->text()}),
             (QStringList{"25.7", "18.2", "0"}));
    QCOMPARE(m_control->page().width, scaled(18.2));

    // Picking the first scheme again discards the change made to it.
    pick(m_control->Combo1(), QStringLiteral("甲"));
    QCOMPARE(m_control->ActiveScheme().paperheight, QStringLiteral("20"));
}

void tst_printwindow::newScheme_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("name"); // the new scheme's; empty: none is made
    QTest::newRow("cancelled") << ""
                               << "";
    QTest::newRow("blanks only") << " \t  "
                                 << "";
    QTest::newRow("named") << "丙 新"
                           << "丙 新";
    QTest::newRow("blanks around") << "  丙 新 "
                                   << "丙 新";
}

void tst_printwindow::newScheme()
{
    QFETCH(QString, answer);
    QFETCH(QString, name);
    open();
    m_control->selectObject(SelectedObject::Signature);
    click(setup()->ttt(), 1); // an unsaved change goes into the new scheme
    const LayoutScheme values = m_control->ActiveScheme();
    const QByteArray before = fileBytes(schemeFile());

    m_platform->expectInput(answer);
    setup()->Command1()->click();
    QCOMPARE(m_platform->shown.value(0).kind, ShownDialog::Input);
    verifyMessage(QStringLiteral("请输入新方案名\r\n\r\n您输入的内容可能显示为乱码，这不影响使用。"),
                  QStringLiteral("系统询问"), MsgIcon::None);
    QCOMPARE(m_platform->shown[0].defaultText, QString());
    if (name.isEmpty()) {
        QCOMPARE(fileBytes(schemeFile()), before);
        QCOMPARE(m_control->Combo1()->count(), 2);
        QCOMPARE(m_control->ActiveScheme(), values);
        return;
    }
    QVERIFY(fileBytes(schemeFile()).startsWith(before));
    QCOMPARE(expectValue(LayoutSchemeFile(schemeFile()).listSchemes()), (QStringList{"甲", "乙", name}));
    QCOMPARE(m_control->Combo1()->currentText(), name);
    LayoutScheme expected = values;
    expected.name = name;
    QCOMPARE(m_control->ActiveScheme(), expected);
    QCOMPARE(m_control->ActiveScheme().teachertop, QStringLiteral("8.1"));
}

void tst_printwindow::saveScheme_data()
{
    QTest::addColumn<QString>("schemeText");
    QTest::addColumn<bool>("saved");
    QTest::newRow("listed scheme") << "乙" << true;
    QTest::newRow("name typed, no such block") << "丁" << false;
}

void tst_printwindow::saveScheme()
{
    QFETCH(QString, schemeText);
    QFETCH(bool, saved);
    open();
    pick(m_control->Combo1(), QStringLiteral("乙"));
    m_control->selectObject(SelectedObject::StudentName);
    click(setup()->tlt(), 1);
    m_control->Combo1()->setEditText(schemeText); // as if typed, its message already answered
    const QByteArray before = fileBytes(schemeFile());

    m_platform->expectMessage();
    setup()->Command2()->click();
    if (saved) {
        verifyMessage(QStringLiteral("成功保存了您的修改！"), QStringLiteral("系统提示"), MsgIcon::None);
        QCOMPARE(expectValue(LayoutSchemeFile(schemeFile()).loadScheme(QStringLiteral("乙"))).studentleft,
                 QStringLiteral("2.1"));
        QCOMPARE(expectValue(LayoutSchemeFile(schemeFile()).loadScheme(QStringLiteral("甲"))).studentleft,
                 QStringLiteral("1"));
    } else {
        QCOMPARE(m_platform->shown.value(0).icon, MsgIcon::Critical);
        QCOMPARE(fileBytes(schemeFile()), before);
    }
}

void tst_printwindow::itemFont_data()
{
    QTest::addColumn<SelectedObject>("object");
    QTest::addColumn<ItemFont>("answer");
    QTest::addColumn<ItemFont>("stored");

    const ItemFont bold{QStringLiteral("黑体"), 12, true, false};
    QTest::newRow("comment") << SelectedObject::CommentText << bold << bold;
    QTest::newRow("signature, no face returned")
        << SelectedObject::Signature << ItemFont{QString(), 14, false, true}
        << ItemFont{QStringLiteral("宋体"), 14, false, true};
}

void tst_printwindow::itemFont()
{
    QFETCH(SelectedObject, object);
    QFETCH(ItemFont, answer);
    QFETCH(ItemFont, stored);
    open();
    m_control->selectObject(object);
    const std::size_t row = std::size_t(object) - 1;
    ItemFonts expected = m_state->Document().ItemFonts;
    m_platform->expectFont(answer);
    setup()->tfont()->click();
    QCOMPARE(m_platform->shown.value(0).font, expected[row]);
    expected[row] = stored;
    QCOMPARE(m_state->Document().ItemFonts, expected);
    QVERIFY(!m_state->Modified());

    // The page shows the font at the display scale, also after moving to another student.
    const auto role = PageItemRole(row);
    QCOMPARE(firstOf(m_control->page(), role)->font.fontSize, stored.fontSize * 0.75);
    preview()->Command6()->click();
    QCOMPARE(firstOf(m_control->page(), role)->font.fontName, stored.fontName);
}

void tst_printwindow::scale_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("scale");
    QTest::newRow("50%") << "50%" << 0.5;
    QTest::newRow("100%") << "100%" << 1.0;
    QTest::newRow("blanks around") << " 50% " << 0.5;
    QTest::newRow("unlisted text keeps 75%") << "80%" << 0.75;
}

void tst_printwindow::scale()
{
    QFETCH(QString, text);
    QFETCH(double, scale);
    open();
    QSignalSpy resized(m_paper.get(), &ps_paper::sizeChanged);
    m_control->Combo2()->setEditText(text);
    m_control->Combo2Change();
    QCOMPARE(m_control->scale(), scale);
    QCOMPARE(m_paper->size(), QSize(m_paper->px(10 * 570 * scale), m_paper->px(20 * 570 * scale)));
    QCOMPARE(resized.size(), scale == 0.75 ? 0 : 1);
    // With no panel in the way, the page's area is the whole client area, which centres it.
    QCOMPARE(PaperArea::areaFor(QSize(1200, 900), QRect(), m_paper->size(), 16), QRect(0, 0, 1200, 900));
}

void tst_printwindow::pageReachable_data()
{
    QTest::addColumn<QSize>("client"); // the frame's client area
    QTest::addColumn<QString>("scale");
    QTest::addColumn<PrintPanelMode>("mode"); // switched to after opening in the other one
    QTest::addColumn<QString>("scheme");
    const std::pair<const char *, QSize> clients[] = {
        {"1024x768 screen", QSize(1010, 610)},
        {"1280x1000 screen", QSize(1266, 850)},
        {"wide frame", QSize(1900, 1000)},
    };
    for (const auto &[name, size] : clients) {
        for (const char *scale : {"100%", "75%", "50%"}) {
            QTest::addRow("%s, %s, setup after preview", name, scale)
                << size << scale << PrintPanelMode::Setup << "A4纵向";
            QTest::addRow("%s, %s, preview after setup", name, scale)
                << size << scale << PrintPanelMode::Preview << "A4纵向";
            QTest::addRow("%s, %s, heading and date", name, scale)
                << size << scale << PrintPanelMode::Setup << "A4纵向标题日期";
        }
    }
}

void tst_printwindow::pageReachable()
{
    QFETCH(QSize, client);
    QFETCH(QString, scale);
    QFETCH(PrintPanelMode, mode);
    QFETCH(QString, scheme);
    writableCopy(QStringLiteral(QHSY_DATA_DIR "/") + ProgramFiles::SchemesName,
                 m_folder->path()); // A4 first
    // As the main window arranges them: the page's area, and the panel over it at the top left.
    QWidget frame;
    frame.resize(client);
    auto *paper = new ps_paper;
    auto *area = new PaperArea(paper, &frame);
    const PrintPanelMode other =
        mode == PrintPanelMode::Setup ? PrintPanelMode::Preview : PrintPanelMode::Setup;
    auto *control = new ps_control(*m_state, *m_platform, paper, other, &frame);
    area->keepClearOf(control);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    control->Combo2()->setEditText(scale);
    control->Combo2Change();
    control->setMode(mode);
    control->Combo1()->setEditText(scheme);
    control->Combo1Change();
    QCOMPARE(control->ActiveScheme().paperwidth, QStringLiteral("21"));

    // Where the frame would centre the page, the page stays whenever it is clear of the panel
    // there (to a pixel: halves round either way).
    const QRect panel = control->geometry();
    const QRect centred(
        QPoint((client.width() - paper->width()) / 2, (client.height() - paper->height()) / 2),
        paper->size());
    if (frame.rect().contains(centred) && !centred.intersects(panel)) {
        const QPoint off = paper->mapTo(&frame, QPoint(0, 0)) - centred.topLeft();
        QVERIFY(std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1);
    }

    // Every item can be scrolled into the area's view, clear of the panel, and takes a click there,
    // which selects it for the boxes that move it.
    const QRect view(area->viewport()->mapTo(&frame, QPoint(0, 0)), area->viewport()->size());
    QVERIFY(frame.rect().contains(view));
    QSet<PageItemRole> roles;
    const ComposedPage page = control->page();
    for (const PageItem &item : page.items) {
        roles.insert(item.role);
        const QRect onPage(QPoint(paper->px(item.left), paper->px(item.top)),
                           QPoint(paper->px(item.left + item.width), paper->px(item.top + item.height)));
        area->ensureVisible(onPage.center().x(), onPage.center().y(), onPage.width() / 2 + 1,
                            onPage.height() / 2 + 1);
        const QRect shown(paper->mapTo(&frame, onPage.topLeft()), onPage.size());
        QVERIFY2(view.contains(shown), qPrintable(item.text));
        QVERIFY2(!shown.intersects(panel), qPrintable(item.text));
        QCOMPARE(frame.childAt(shown.center()), paper);
        QTest::mouseClick(paper, Qt::LeftButton, {}, paper->mapFrom(&frame, shown.center()));
        QCOMPARE(control->selectedObject(), PrintedItems::of(item.role)->object);
    }
    QCOMPARE(roles.size(), scheme == u"A4纵向" ? 3 : 5);
}

void tst_printwindow::modes_data()
{
    QTest::addColumn<PrintPanelMode>("mode");
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("heightTwips");
    QTest::newRow("setup") << PrintPanelMode::Setup << "jpapersetup" << 4245;
    QTest::newRow("preview") << PrintPanelMode::Preview << "jprivew" << 2440;
    QTest::newRow("print") << PrintPanelMode::Print << "jprint" << 4570;
}

void tst_printwindow::modes()
{
    QFETCH(PrintPanelMode, mode);
    QFETCH(QString, group);
    QFETCH(int, heightTwips);
    m_state->setCurrentStudent(2);
    open(mode == PrintPanelMode::Setup ? PrintPanelMode::Print : PrintPanelMode::Setup);
    preview()->Combo3()->setEditText(QString());
    m_control->setMode(mode);
    if (qEnvironmentVariableIsSet("QHSY_SCREENSHOTS"))
        m_control->grab().save(QStringLiteral("/tmp/psc_%1.png").arg(group));
    QCOMPARE(m_control->Combo4()->currentText(), ps_control::modeText(mode));
    const QSize size(m_control->px(8220), m_control->px(heightTwips));
    QCOMPARE(m_control->size(), size);
    for (QGroupBox *box : std::initializer_list<QGroupBox *>{setup(), preview(), printPanel()}) {
        QCOMPARE(box->isVisible(), box->objectName() == group);
        QCOMPARE(box->pos(), setup()->pos());
    }
    if (mode == PrintPanelMode::Preview)
        QCOMPARE(preview()->Combo3()->currentText(), QStringLiteral("王五"));

    // Nothing is cut off: every caption fits its control, and every control the panel even
    // below a caption bar of 400 twips.
    const QRect client(0, 0, size.width(), m_control->px(heightTwips - 400));
    for (QWidget *w : m_control->findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        QVERIFY2(client.contains(QRect(w->mapTo(m_control.get(), QPoint(0, 0)), w->size())),
                 qPrintable(w->objectName()));
        const auto fits = [](QWidget *w, const QString &text, int padding) {
            return w->fontMetrics().horizontalAdvance(text) + padding <= w->width();
        };
        if (auto *label = qobject_cast<QLabel *>(w); label && label->wordWrap())
            QVERIFY(label->heightForWidth(label->width()) <= label->height());
        else if (label)
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
        else if (auto *radio = qobject_cast<QRadioButton *>(w))
            QVERIFY2(radio->sizeHint().width() <= radio->width(), qPrintable(radio->text()));
        else if (auto *button = qobject_cast<QPushButton *>(w))
            QVERIFY2(fits(button, button->text(), 8), qPrintable(button->text()));
        else if (auto *box = qobject_cast<QGroupBox *>(w))
            QVERIFY2(fits(box, box->title(), 16), qPrintable(box->title()));
    }
    QVERIFY(setup()->selected()->fontMetrics().horizontalAdvance(QStringLiteral("“学生姓名：”")) <=
            setup()->selected()->width());

    // Any other text leaves the panel as it is.
    m_control->Combo4()->setEditText(QStringLiteral("打印设置x"));
    QCOMPARE(m_control->mode(), mode);
    QCOMPARE(m_control->size(), size);
}

void tst_printwindow::navigation_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("message");

    QTest::newRow("first") << ThreeStudents << 2 << 4 << 0 << "";
    QTest::newRow("previous") << ThreeStudents << 2 << 5 << 1 << "";
    QTest::newRow("previous on the first") << ThreeStudents << 0 << 5 << 0 << "已是最前一页！";
    QTest::newRow("next") << ThreeStudents << 0 << 6 << 1 << "";
    QTest::newRow("next on the last") << ThreeStudents << 2 << 6 << 2 << "已是最后一页！";
    QTest::newRow("last") << ThreeStudents << 0 << 7 << 2 << "";
    QTest::newRow("next, no students") << QStringList{} << 0 << 6 << 0 << "已是最后一页！";
    QTest::newRow("first, no students") << QStringList{} << 0 << 4 << 0 << "";
    QTest::newRow("last, no students") << QStringList{} << 0 << 7 << 0 << "";
    QTest::newRow("next to a namesake") << QStringList{"王五", "王五", "赵六"} << 0 << 6 << 1 << "";
}

void tst_printwindow::navigation()
{
    QFETCH(QStringList, names);
    QFETCH(int, start);
    QFETCH(int, command);
    QFETCH(int, current);
    QFETCH(QString, message);
    setStudents(names);
    m_state->setCurrentStudent(start);
    open(PrintPanelMode::Preview);
    if (!message.isEmpty())
        m_platform->expectMessage();
    m_control->Command(command)->click();
    QCOMPARE(m_state->CurrentStudent(), current);
    if (!message.isEmpty())
        verifyMessage(message, QStringLiteral("系统提示"), MsgIcon::Exclamation);
    // The page and the student box show the student at that position.
    QCOMPARE(preview()->Combo3()->currentText(), names.value(current));
    QCOMPARE(firstOf(m_control->page(), PageItemRole::StudentName)->text, names.value(current) + "同学：");
    const PageItem *line = firstOf(m_control->page(), PageItemRole::CommentLine);
    QCOMPARE(line != nullptr, !names.isEmpty());
    QVERIFY(!line || line->text.startsWith(QStringLiteral("评语%1").arg(current + 1)));
}

// The keys step the pages as the arrows do, but Home and End stay the text box's own.
void tst_printwindow::navigationKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("inStudentBox");
    QTest::addColumn<int>("current"); // from the second of three
    QTest::newRow("Home") << int(Qt::Key_Home) << false << 0;
    QTest::newRow("PgUp") << int(Qt::Key_PageUp) << false << 0;
    QTest::newRow("PgDn") << int(Qt::Key_PageDown) << false << 2;
    QTest::newRow("End") << int(Qt::Key_End) << false << 2;
    QTest::newRow("PgDn in the student box") << int(Qt::Key_PageDown) << true << 2;
    QTest::newRow("End in the student box") << int(Qt::Key_End) << true << 1;
}

void tst_printwindow::navigationKeys()
{
    QFETCH(int, key);
    QFETCH(bool, inStudentBox);
    QFETCH(int, current);
    setStudents(ThreeStudents);
    m_state->setCurrentStudent(1);
    open(PrintPanelMode::Preview);
    m_control->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_control.get()));
    QWidget *target =
        inStudentBox ? static_cast<QWidget *>(preview()->Combo3()->lineEdit()) : preview()->Command6();
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(m_state->CurrentStudent(), current);
}

void tst_printwindow::studentBox_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("current");

    const QStringList three{"学生1", "学生2", "学生3"};
    QStringList hundred;
    for (int i = 1; i <= 100; ++i)
        hundred << QStringLiteral("学生%1").arg(i);
    QTest::newRow("name with blanks") << three << " 学生2 " << 1;
    QTest::newRow("namesakes: the first") << QStringList{"王五", "李四", "王五"} << "王五" << 0;
    QTest::newRow("unknown: first empty slot") << three << "学生9" << 3;
    QTest::newRow("all named, unknown: stays") << hundred << "某某" << 2;
    QTest::newRow("all named, last") << hundred << "学生100" << 99;
}

void tst_printwindow::studentBox()
{
    QFETCH(QStringList, names);
    QFETCH(QString, typed);
    QFETCH(int, current);
    setStudents(names);
    m_state->setCurrentStudent(2);
    open(PrintPanelMode::Preview);
    QCOMPARE(preview()->Combo3()->count(), names.size());
    preview()->Combo3()->setEditText(typed);
    preview()->Combo3Change();
    QCOMPARE(m_state->CurrentStudent(), current);
    QCOMPARE(firstOf(m_control->page(), PageItemRole::StudentName)->text, names.value(current) + "同学：");
}

void tst_printwindow::printing_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("wholeClass");
    QTest::addColumn<QString>("copies");
    QTest::addColumn<bool>("printer");
    QTest::addColumn<int>("failBeginAt");
    QTest::addColumn<QStringList>("printed"); // the student of each document, in order
    QTest::addColumn<QString>("message");
    QTest::addColumn<MsgIcon>("icon");

    const QStringList none;
    const MsgIcon info = MsgIcon::Information;
    QTest::newRow("all, two copies") << 8 << true << "2" << true << 0
                                     << QStringList{"张三", "李四", "王五", "张三", "李四", "王五"}
                                     << "已将 6 页送到打印机“默认打印机”。" << info;
    QTest::newRow("current") << 8 << false << "1" << true << 0 << QStringList{"李四"}
                             << "已将 1 页送到打印机“默认打印机”。" << info;
    QTest::newRow("no copies") << 8 << true << "0" << true << 0 << none << "" << info;
    QTest::newRow("打印当前") << 11 << true << "3" << true << 0 << QStringList{"李四"}
                              << "已将 1 页送到打印机“默认打印机”。" << info;
    // The advice names a command every mode of the window can reach.
    QTest::newRow("no printer") << 8 << true << "1" << false << 0 << none
                                << "没有找到可以使用的打印机，无法打印。\r\n"
                                   "请在系统设置的“打印机”中添加一台打印机；或者用“文件”菜单的“导出为PDF"
                                   "文件...”把全班的评语存为一个PDF文件，再到别的电脑或打印店打印。"
                                << MsgIcon::Exclamation;
    QTest::newRow("printer fails") << 8 << true << "1" << true << 2 << QStringList{"张三"}
                                   << "打印失败！打印机出错了" << MsgIcon::Critical;
}

void tst_printwindow::printing()
{
    QFETCH(int, command);
    QFETCH(bool, wholeClass);
    QFETCH(QString, copies);
    QFETCH(bool, printer);
    QFETCH(int, failBeginAt);
    QFETCH(QStringList, printed);
    QFETCH(QString, message);
    QFETCH(MsgIcon, icon);
    m_state->setCurrentStudent(1);
    m_platform->printerAvailable = printer;
    m_platform->recordingPrinter.failBeginAt = failBeginAt;
    open(PrintPanelMode::Print);
    pick(m_control->Combo2(), QStringLiteral("50%"));
    m_control->selectObject(SelectedObject::Signature);
    (wholeClass ? printPanel()->Option1() : printPanel()->Option2())->setChecked(true);
    printPanel()->copys()->setText(copies);
    if (!message.isEmpty())
        m_platform->expectMessage();
    // Every message stands in front of the sample page as the teacher left it.
    QList<double> widthsBehind;
    m_platform->onShown = [&](const ShownDialog &) { widthsBehind << m_control->page().width; };

    m_control->Command(command)->click();
    m_platform->onShown = nullptr;
    QCOMPARE(widthsBehind, QList<double>(message.isEmpty() ? 0 : 1, 10 * 570 * 0.5));
    QStringList students;
    for (const RecordingPrinter::Document &document : m_platform->recordingPrinter.documents) {
        students << document.texts().value(0).chopped(3); // less "同学："
        // Printed at full size, whatever the sample page shows.
        QCOMPARE(firstOf(document.pages.value(0), PageItemRole::Signature)->left, 0.05 * 570);
    }
    QCOMPARE(students, printed);
    if (!message.isEmpty())
        verifyMessage(message, QStringLiteral("系统提示"), icon);
    if (command == 11)
        QVERIFY(printPanel()->Option2()->isChecked() && printPanel()->copys()->text() == "1");

    // The sample page is back as it was: student, scale and outline.
    QCOMPARE(m_state->CurrentStudent(), 1);
    QCOMPARE(m_control->Combo2()->currentText(), QStringLiteral("50%"));
    QCOMPARE(m_control->page().width, 10 * 570 * 0.5);
    QCOMPARE(firstOf(m_control->page(), PageItemRole::StudentName)->text, QStringLiteral("李四同学："));
    QCOMPARE(m_paper->outline(), SelectedObject::Signature);
    QVERIFY(printPanel()->Command8()->isEnabled() && m_paper->isEnabled());
}

void tst_printwindow::printWhatIsReady_data()
{
    QTest::addColumn<QString>("range"); // "all" or "2-3"
    QTest::addColumn<bool>("onlyWritten");
    QTest::addColumn<bool>("oneJob");
    QTest::addColumn<int>("answer"); // to the empty-comment question; -1: not asked
    QTest::addColumn<QStringList>("printed");
    QTest::addColumn<int>("documents");

    // 李四 has no comment yet.
    const int yes = int(MsgAnswer::Yes);
    const int no = int(MsgAnswer::No);
    const int cancel = int(MsgAnswer::Cancel);
    QTest::newRow("ask, yes") << "all" << false << false << yes << QStringList{"张三", "李四", "王五"} << 3;
    QTest::newRow("ask, no skips") << "all" << false << false << no << QStringList{"张三", "王五"} << 2;
    QTest::newRow("ask, cancel") << "all" << false << false << cancel << QStringList{} << 0;
    QTest::newRow("only written, no question")
        << "all" << true << false << -1 << QStringList{"张三", "王五"} << 2;
    QTest::newRow("range 2 to 3") << "2-3" << false << false << yes << QStringList{"李四", "王五"} << 2;
    QTest::newRow("one job") << "all" << false << true << no << QStringList{"张三", "王五"} << 1;
}

void tst_printwindow::printWhatIsReady()
{
    QFETCH(QString, range);
    QFETCH(bool, onlyWritten);
    QFETCH(bool, oneJob);
    QFETCH(int, answer);
    QFETCH(QStringList, printed);
    QFETCH(int, documents);
    editDocument(*m_state, [](CommentDocument &d) { d.slot(2).comment.clear(); });
    open(PrintPanelMode::Print);
    if (range == u"all") {
        printPanel()->Option1()->setChecked(true);
    } else {
        // Setting a position chooses 从 … 到 ….
        printPanel()->fromStudent()->setValue(range.section(u'-', 0, 0).toInt());
        printPanel()->toStudent()->setValue(range.section(u'-', 1, 1).toInt());
        QVERIFY(printPanel()->Option3()->isChecked());
    }
    printPanel()->onlyWritten()->setChecked(onlyWritten);
    printPanel()->oneJob()->setChecked(oneJob);
    if (answer >= 0)
        m_platform->expectMessage(MsgAnswer(answer));
    if (!printed.isEmpty())
        m_platform->expectMessage();

    printPanel()->Command8()->click();
    if (answer >= 0) {
        const ShownDialog &question = m_platform->shown.first();
        QCOMPARE(question.text, QStringLiteral("有 1 名学生的评语还是空的，要打印他们吗？"));
        QCOMPARE(question.title, QStringLiteral("系统询问"));
        QCOMPARE(question.buttons, MsgButtons::YesNoCancel);
    }
    QStringList students;
    for (const RecordingPrinter::Document &document : m_platform->recordingPrinter.documents) {
        for (const ComposedPage &page : document.pages)
            students << firstOf(page, PageItemRole::StudentName)->text.chopped(3);
    }
    QCOMPARE(students, printed);
    QCOMPARE(m_platform->recordingPrinter.documents.size(), documents);
    if (!printed.isEmpty())
        QCOMPARE(m_platform->shown.last().text,
                 QStringLiteral("已将 %1 页送到打印机“默认打印机”。").arg(printed.size()));
}

// The printers the system offers, the default first and marked; the choice is remembered and
// is the one printed on.
void tst_printwindow::choosePrinter()
{
    m_platform->printers = QStringList{"办公室", "打印店"};
    m_platform->remembered = QStringLiteral("打印店");
    open(PrintPanelMode::Print);
    QComboBox *box = printPanel()->printerBox();
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QStringLiteral("办公室（默认）"));
    QCOMPARE(box->currentText(), QStringLiteral("打印店"));

    box->setCurrentIndex(0);
    emit box->activated(0);
    QCOMPARE(m_platform->remembered, QStringLiteral("办公室"));
    printPanel()->properties()->click();
    QCOMPARE(m_platform->propertiesShown, QStringList{"办公室"});
    printPanel()->Option2()->setChecked(true);
    m_platform->expectMessage();
    printPanel()->Command8()->click();
    QCOMPARE(m_platform->printersAsked.last(), QStringLiteral("办公室"));
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("已将 1 页送到打印机“办公室”。"));
}

// A run of more than a few students shows how far it has come, and the window answers meanwhile.
void tst_printwindow::progressOfLongRuns()
{
    QStringList names;
    for (int i = 1; i <= 10; ++i)
        names << QStringLiteral("学生%1").arg(i);
    setStudents(names);
    open(PrintPanelMode::Print);
    printPanel()->oneJob()->setChecked(true);
    m_platform->expectMessage();
    int shownAt = -1;
    QTimer::singleShot(0, this, [&] {
        if (printPanel()->progress()->isVisible())
            shownAt = printPanel()->progress()->value();
        QVERIFY(printPanel()->Command9()->isEnabled() && !printPanel()->Command8()->isEnabled());
    });
    printPanel()->Command8()->click();
    QVERIFY(shownAt >= 0 && shownAt < 10);
    QCOMPARE(printPanel()->progress()->maximum(), 10);
    QVERIFY(!printPanel()->progress()->isVisible());
    QCOMPARE(m_platform->recordingPrinter.documents.size(), 1);
    QCOMPARE(m_platform->recordingPrinter.documents[0].pages.size(), 10);
}

void tst_printwindow::stopPrinting_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<int>("documents");
    QTest::newRow("yes") << MsgAnswer::Yes << 0;
    QTest::newRow("no") << MsgAnswer::No << 3;
}

void tst_printwindow::stopPrinting()
{
    QFETCH(MsgAnswer, answer);
    QFETCH(int, documents);
    open(PrintPanelMode::Print);
    m_platform->expectMessage(answer);
    m_platform->expectMessage();
    // Pressed while the run waits for its next document.
    QTimer::singleShot(0, printPanel()->Command9(), &QPushButton::click);
    printPanel()->Command8()->click();
    QCOMPARE(m_platform->shown.size(), 2);
    QCOMPARE(m_platform->shown[0].text, QStringLiteral("确实要取消所有打印作业吗？"));
    QCOMPARE(m_platform->shown[0].title, QStringLiteral("系统询问"));
    QCOMPARE(m_platform->shown[0].buttons, MsgButtons::YesNo);
    // Afterwards the teacher learns how far it went.
    QCOMPARE(m_platform->shown[1].text,
             answer == MsgAnswer::Yes ? QStringLiteral("打印已停止。已送到打印机“默认打印机”的有 0 页。")
                                      : QStringLiteral("已将 3 页送到打印机“默认打印机”。"));
    QCOMPARE(m_platform->recordingPrinter.documents.size(), documents);

    // The next run starts afresh.
    m_platform->expectMessage();
    printPanel()->Command8()->click();
    QCOMPARE(m_platform->recordingPrinter.documents.size(), documents + 3);
    QVERIFY(m_platform->recordingPrinter.problems.isEmpty());
}

void tst_printwindow::closing_data()
{
    QTest::addColumn<PrintPanelMode>("mode");
    QTest::addColumn<int>("command"); // 0: the window's own close
    QTest::newRow("退出 of page setup") << PrintPanelMode::Setup << 3;
    QTest::newRow("退出 of preview") << PrintPanelMode::Preview << 12;
    QTest::newRow("退出 of print") << PrintPanelMode::Print << 10;
    QTest::newRow("window closed") << PrintPanelMode::Setup << 0;
    QTest::newRow("Esc") << PrintPanelMode::Print << -1;
}

void tst_printwindow::closing()
{
    QFETCH(PrintPanelMode, mode);
    QFETCH(int, command);
    open(mode);
    QSignalSpy closed(m_control.get(), &ps_control::closed);
    if (command < 0) {
        m_control->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_control.get()));
        QTest::keyClick(m_control.get(), Qt::Key_Escape);
    } else if (command) {
        // Every mode shows its own 退出.
        QPushButton *exit = m_control->Command(command);
        QVERIFY(exit);
        QVERIFY(exit->isVisible());
        QCOMPARE(exit->text(), QStringLiteral("退出"));
        QTest::mouseClick(exit, Qt::LeftButton);
    } else {
        m_control->close();
    }
    QCOMPARE(closed.size(), 1);
    QVERIFY(!m_control->isVisible());
}

void tst_printwindow::exitDuringRun_data()
{
    QTest::addColumn<PrintPanelMode>("mode");
    QTest::addColumn<int>("print"); // the command that starts the run
    QTest::addColumn<int>("exit");
    QTest::newRow("print: 打印, 退出") << PrintPanelMode::Print << 8 << 10;
    QTest::newRow("preview: 打印当前, 退出") << PrintPanelMode::Preview << 11 << 12;
}

void tst_printwindow::exitDuringRun()
{
    QFETCH(PrintPanelMode, mode);
    QFETCH(int, print);
    QFETCH(int, exit);
    open(mode);
    QSignalSpy closed(m_control.get(), &ps_control::closed);
    // Pressed while the run waits for its next document: the run stops, then the window closes.
    QTimer::singleShot(0, m_control->Command(exit), &QPushButton::click);
    m_control->Command(print)->click();
    QCOMPARE(m_platform->recordingPrinter.documents.size(), 0);
    QCOMPARE(closed.size(), 1);
}

void tst_printwindow::printToPdf_data()
{
    QTest::addColumn<QString>("answer"); // the save dialog's answer
    QTest::addColumn<int>("icon");       // of the message after it; -1: none
    QTest::newRow("cancelled") << "" << -1;
    QTest::newRow("written") << "class.pdf" << int(MsgIcon::Information);
    QTest::newRow("folder in the way") << "folder" << int(MsgIcon::Critical);
}

void tst_printwindow::printToPdf()
{
    QFETCH(QString, answer);
    QFETCH(int, icon);
    open(PrintPanelMode::Print);
    QVERIFY(printPanel()->topdf()->isVisible());
    const QString path = answer.isEmpty() ? QString() : m_folder->file(answer);
    if (answer == u"folder")
        QVERIFY(QDir(m_folder->path()).mkpath(answer));
    m_platform->expectSaveFile(path);
    if (icon >= 0)
        m_platform->expectMessage();
    QTest::mouseClick(printPanel()->topdf(), Qt::LeftButton);
    QCOMPARE(m_platform->shown.first().text, QStringLiteral("PDF文件|*.pdf"));
    if (icon < 0)
        return;
    QCOMPARE(m_platform->shown.last().icon, MsgIcon(icon));
    if (icon == int(MsgIcon::Information))
        QVERIFY(fileBytes(path).startsWith("%PDF"));
}

void tst_printwindow::pdfTakesPrintRange_data()
{
    QTest::addColumn<QString>("range"); // "all", "current" or "2-3"
    QTest::addColumn<bool>("onlyWritten");
    QTest::addColumn<int>("answer"); // to the empty-comment question; -1: not asked
    QTest::addColumn<QStringList>("pages");

    // 李四, the current student, has no comment yet.
    QTest::newRow("2 to 3, only written") << "2-3" << true << -1 << QStringList{"王五"};
    QTest::newRow("current, even empty") << "current" << false << -1 << QStringList{"李四"};
    QTest::newRow("all, empty left out")
        << "all" << false << int(MsgAnswer::No) << QStringList{"张三", "王五"};
}

// 打印到PDF文件... takes the students 打印 would print, asked about alike, in order.
void tst_printwindow::pdfTakesPrintRange()
{
    QFETCH(QString, range);
    QFETCH(bool, onlyWritten);
    QFETCH(int, answer);
    QFETCH(QStringList, pages);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    editDocument(*m_state, [](CommentDocument &d) { d.slot(2).comment.clear(); });
    m_state->setCurrentStudent(1);
    open(PrintPanelMode::Print);
    if (range == u"all") {
        printPanel()->Option1()->setChecked(true);
    } else if (range == u"current") {
        printPanel()->Option2()->setChecked(true);
    } else {
        printPanel()->fromStudent()->setValue(range.section(u'-', 0, 0).toInt());
        printPanel()->toStudent()->setValue(range.section(u'-', 1, 1).toInt());
    }
    printPanel()->onlyWritten()->setChecked(onlyWritten);
    if (answer >= 0)
        m_platform->expectMessage(MsgAnswer(answer));
    const QString path = m_folder->file(QStringLiteral("range.pdf"));
    m_platform->expectSaveFile(path);
    m_platform->expectMessage();
    QTest::mouseClick(printPanel()->topdf(), Qt::LeftButton);
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Information);

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), QStringLiteral("-enc"),
                                                  QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished(30000));
    QStringList names; // the first line of every page, less "同学："
    for (const QString &page : QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f')) {
        if (!page.trimmed().isEmpty())
            names << page.trimmed().section(u'\n', 0, 0).chopped(3);
    }
    QCOMPARE(names, pages);
}

void tst_printwindow::propertiesCopiesAndRange_data()
{
    using Range = PrintJobChoice::Range;
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<int>("range"); // PrintJobChoice::Range chosen in the dialog
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("option"); // the panel's range afterwards: 1 全部, 2 当前, 3 从 … 到 …
    QTest::addColumn<QString>("copiesText");

    QTest::newRow("cancelled") << true << 0 << 0 << 0 << 0 << 3 << "2";
    QTest::newRow("unchanged") << false << int(Range::FromTo) << 2 << 3 << 2 << 3 << "2";
    QTest::newRow("current, three copies") << false << int(Range::Current) << 2 << 3 << 3 << 2 << "3";
    QTest::newRow("all") << false << int(Range::All) << 2 << 3 << 2 << 1 << "2";
    QTest::newRow("1 to 2, one copy") << false << int(Range::FromTo) << 1 << 2 << 1 << 3 << "1";
}

// The copies and range of the printer's own dialog are the print group's: it opens with them,
// and what is chosen there is what 打印 then prints.
void tst_printwindow::propertiesCopiesAndRange()
{
    QFETCH(bool, cancelled);
    QFETCH(int, range);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, copies);
    QFETCH(int, option);
    QFETCH(QString, copiesText);
    open(PrintPanelMode::Print);
    printPanel()->fromStudent()->setValue(2);
    printPanel()->toStudent()->setValue(3);
    printPanel()->copys()->setText(QStringLiteral("2"));
    if (!cancelled)
        m_platform->propertiesAnswer = PrintJobChoice{PrintJobChoice::Range(range), from, to, 3, copies};

    printPanel()->properties()->click();
    QCOMPARE(m_platform->jobShown.size(), 1);
    const PrintJobChoice shown = m_platform->jobShown[0];
    QCOMPARE(shown.range, PrintJobChoice::Range::FromTo);
    QCOMPARE(QList<int>({shown.from, shown.to, shown.last, shown.copies}), QList<int>({2, 3, 3, 2}));

    QRadioButton *options[] = {printPanel()->Option1(), printPanel()->Option2(), printPanel()->Option3()};
    QVERIFY(options[option - 1]->isChecked());
    QCOMPARE(printPanel()->copys()->text(), copiesText);
    if (option == 3)
        QCOMPARE(QList<int>({printPanel()->fromStudent()->value(), printPanel()->toStudent()->value()}),
                 cancelled ? QList<int>({2, 3}) : QList<int>({from, to}));
}

// 每张纸 in preview and print panels alike; the page shows the whole sheet, setup the page itself.
void tst_printwindow::sheetsShown()
{
    open(PrintPanelMode::Preview);
    const QSize page = m_paper->size();
    preview()->sheets()->perSheetBox()->setCurrentIndex(1);
    QCOMPARE(printPanel()->sheets()->perSheet(), 2);
    QVERIFY(printPanel()->sheets()->cutLinesBox()->isEnabled());
    QCOMPARE(printPanel()->options().perSheet, 2);
    QVERIFY(m_paper->size() != page);
    QVERIFY(m_paper->page().items.isEmpty()); // a sheet, not one student's page
    pick(m_control->Combo4(), QStringLiteral("打印设置"));
    QCOMPARE(m_paper->size(), page);
    QVERIFY(!m_paper->page().items.isEmpty());
}

// The frame of the item being placed is no part of the printed page: the preview leaves it out.
void tst_printwindow::noOutlineInPreview()
{
    open(PrintPanelMode::Setup);
    m_control->selectObject(SelectedObject::Signature);
    QVERIFY(!m_paper->outlineRect().isEmpty());
    pick(m_control->Combo4(), QStringLiteral("打印预览"));
    QCOMPARE(m_paper->outline(), SelectedObject::None);
    // A click selects the item for setup, without a frame in the preview.
    m_control->selectObject(SelectedObject::StudentName);
    QCOMPARE(m_paper->outline(), SelectedObject::None);
    pick(m_control->Combo4(), QStringLiteral("打印设置"));
    QCOMPARE(m_paper->outline(), SelectedObject::StudentName);
}

void tst_printwindow::commentsPastBox_data()
{
    QTest::addColumn<QString>("range"); // "all" or "1-1"
    QTest::addColumn<int>("answer");    // to the question; -1: not asked
    QTest::addColumn<QString>("warning");
    QTest::addColumn<int>("documents");

    // 李四's and 王五's comments run past their box; two copies, one question.
    const QString both = QStringLiteral("2 名学生的评语超出打印区域：李四、王五");
    QTest::newRow("yes prints") << "all" << int(MsgAnswer::Yes) << both << 6;
    QTest::newRow("no prints nothing") << "all" << int(MsgAnswer::No) << both << 0;
    QTest::newRow("range of those that fit") << "1-1" << -1 << "" << 2;
}

// The print panel names the students whose comment runs past its box, and a run of them asks once.
void tst_printwindow::commentsPastBox()
{
    QFETCH(QString, range);
    QFETCH(int, answer);
    QFETCH(QString, warning);
    QFETCH(int, documents);
    editDocument(*m_state, [](CommentDocument &d) {
        for (const int slot : {2, 3})
            d.slot(slot).comment = d.slot(slot).comment.repeated(4);
    });
    open(PrintPanelMode::Print);
    if (range == u"1-1") {
        printPanel()->fromStudent()->setValue(1);
        printPanel()->toStudent()->setValue(1);
    }
    QCOMPARE(printPanel()->fitWarning()->isVisible(), !warning.isEmpty());
    if (!warning.isEmpty()) {
        QCOMPARE(printPanel()->fitWarning()->text(), warning);
        QVERIFY(printPanel()->fitWarning()->toolTip().contains(QStringLiteral("李四：超出打印区域")));
    }
    printPanel()->copys()->setText(QStringLiteral("2"));
    if (answer >= 0)
        m_platform->expectMessage(MsgAnswer(answer));
    if (documents > 0)
        m_platform->expectMessage();

    printPanel()->Command8()->click();
    if (answer >= 0) {
        const ShownDialog &question = m_platform->shown.first();
        QCOMPARE(question.text, QStringLiteral("2 名学生的评语超出打印区域，仍要打印吗？"));
        QCOMPARE(question.title, QStringLiteral("系统询问"));
        QCOMPARE(question.icon, MsgIcon::Question);
        QCOMPARE(question.buttons, MsgButtons::YesNo);
    }
    QCOMPARE(m_platform->recordingPrinter.documents.size(), documents);
}

QTEST_MAIN(tst_printwindow)
#include "tst_printwindow.moc"
