#include "core/document/session.h"
#include "core/platform/textfile.h"
#include "core/platform/twips.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "sessionedit.h"
#include "ui/editor/pyedit.h"
#include "ui/library/pytools.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

namespace {

// A small library: two categories, one section left empty and one missing.
const QStringList SmallLibrary = {
    "*!*类别之学习", "\t*!*学习好", "\t\t勤奋好学",  "\t\t成绩优秀", "\t*!*学习中",
    "\t\t还需努力",  "\t*!*学习差", "*!*类别之纪律", "\t*!*纪律好",  "\t\t遵守纪律",
};

QStringList texts(const QListWidget *list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

bool isRed(const QColor &c)
{
    return c.red() > 180 && c.green() < 80 && c.blue() < 80;
}

// Pixels of the image that are clearly red.
int redPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += isRed(image.pixelColor(x, y));
    }
    return count;
}

} // namespace

class tst_pytools : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadAndRatings_data();
    void loadAndRatings();
    void namesKeepTabsAndWideSpaces();
    void insertStockComment_data();
    void insertStockComment();
    void searchAndInsert();
    void searchResultsReadable_data();
    void searchResultsReadable();
    void insertWithoutPlace_data();
    void insertWithoutPlace();
    void pressInList_data();
    void pressInList();
    void panel_data();
    void panel();
    void captionBlinks();
    void dragPanelOverList();
    void resizeKeepsRightMargin();
    void unreadableLibrary();
    void reloadsWhenTheFileChanged_data();
    void reloadsWhenTheFileChanged();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Session> m_state;
    std::unique_ptr<pyedit> m_editor;
    std::unique_ptr<pytools> m_window;

    void writeLibrary(const QStringList &lines);
    void open();
    int px(int twips) const { return Twips::toPixels(twips, m_window->logicalDpiY()); }
};

void tst_pytools::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->isValid());
    m_platform = std::make_unique<ScriptedPlatform>();
    m_state = std::make_unique<Session>();
    m_state->setProgramFolder(m_folder->path());
    writeLibrary(SmallLibrary);
}

void tst_pytools::cleanup()
{
    m_window.reset();
    m_editor.reset();
    QHSY_VERIFY_DIALOGS(*m_platform);
}

void tst_pytools::writeLibrary(const QStringList &lines)
{
    QVERIFY(TextFile::writeText(m_folder->file("pyk.vxd"), lines.join("\r\n") + "\r\n").ok());
}

void tst_pytools::open()
{
    m_window = std::make_unique<pytools>(*m_state, *m_platform, [this] { return m_editor.get(); });
    m_window->resize(900, 260);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_pytools::loadAndRatings_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<Rating>("rating");
    QTest::addColumn<QStringList>("comments");
    QTest::newRow("学习 优秀") << 0 << Rating::Excellent << QStringList{"勤奋好学", "成绩优秀"};
    QTest::newRow("学习 良好") << 0 << Rating::Good << QStringList{"还需努力"};
    QTest::newRow("empty section") << 0 << Rating::Lagging << QStringList{};
    QTest::newRow("纪律 优秀") << 1 << Rating::Excellent << QStringList{"遵守纪律"};
    QTest::newRow("missing section") << 1 << Rating::Good << QStringList{};
}

void tst_pytools::loadAndRatings()
{
    QFETCH(int, category);
    QFETCH(Rating, rating);
    QFETCH(QStringList, comments);
    open();
    QCOMPARE(texts(m_window->lblb()), (QStringList{"学习", "纪律"}));
    QCOMPARE(m_window->selectedCategoryIndex(), 0);
    QVERIFY(m_window->Option1()->isChecked());
    QCOMPARE(texts(m_window->lbnr()), (QStringList{"勤奋好学", "成绩优秀"}));
    QCOMPARE(m_window->selectedComment(), QStringLiteral("勤奋好学"));

    m_window->lblb()->setCurrentRow(category);
    m_window->setRating(rating);
    QCOMPARE(m_window->rating(), rating);
    QCOMPARE(texts(m_window->lbnr()), comments);
    QCOMPARE(m_window->selectedCommentIndex(), comments.isEmpty() ? -1 : 0);
    QCOMPARE(m_window->selectedComment(), comments.value(0));
    const int on = int(m_window->Option1()->isChecked()) + m_window->Option2()->isChecked() +
                   m_window->Option3()->isChecked();
    QCOMPARE(on, 1);

    // A reload reads the file again, selects the first category and keeps the rating.
    const QString letter = QStringLiteral("好中差").at(int(rating));
    const auto withCategoryFirst = [this](const QString &suffix) {
        QStringList lines;
        for (const QString section : {"好", "中", "差"})
            lines << "\t*!*品德" + section << "\t\t品德" + section + "评" + suffix;
        writeLibrary(QStringList{"*!*类别之品德"} + lines + SmallLibrary);
    };
    withCategoryFirst(QString());
    m_window->openPanel(PanelMode::AddComment, QString());
    m_window->load();
    QCOMPARE(m_window->selectedCategory(), QStringLiteral("品德"));
    QCOMPARE(m_window->rating(), rating);
    QCOMPARE(texts(m_window->lbnr()), QStringList{"品德" + letter + "评"});
    QVERIFY(!m_window->Frame1()->isVisible());
    QCOMPARE(m_window->panelMode(), PanelMode::None);

    // A click on the category already selected shows what the file holds now.
    withCategoryFirst(QStringLiteral("新"));
    QListWidget *list = m_window->lblb();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QCOMPARE(texts(m_window->lbnr()), QStringList{"品德" + letter + "评新"});
}

// A hand-edited library whose names hold a full-width space or end in a TAB: the window takes
// off the blanks only, so each category still finds its sections.
void tst_pytools::namesKeepTabsAndWideSpaces()
{
    writeLibrary({"*!*类别之\u3000学习", "\t*!*\u3000学习好", "\t\t勤奋好学", "*!*类别之纪律\t ",
                  "\t*!*纪律\t好", "\t\t遵守纪律"});
    open();
    QCOMPARE(texts(m_window->lblb()), (QStringList{"\u3000学习", "纪律\t"}));
    QCOMPARE(texts(m_window->lbnr()), QStringList{"勤奋好学"});
    m_window->lblb()->setCurrentRow(1);
    QCOMPARE(texts(m_window->lbnr()), QStringList{"遵守纪律"});
}

void tst_pytools::insertStockComment_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedCaret");
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("empty comment") << "" << 0 << 0 << "    勤奋好学" << 8 << false;
    QTest::newRow("middle") << "甲乙丙" << 1 << 1 << "甲勤奋好学乙丙" << 5 << false;
    QTest::newRow("end") << "甲乙" << 2 << 2 << "甲乙勤奋好学" << 6 << false;
    QTest::newRow("selection replaced") << "甲乙丙丁" << 3 << 1 << "甲勤奋好学丁" << 5 << false;
    QTest::newRow("second line") << "甲\n乙" << 2 << 2 << "甲\n勤奋好学乙" << 6 << false;
    QTest::newRow("Enter instead of a double-click") << "甲乙丙" << 1 << 1 << "甲勤奋好学乙丙" << 5 << true;
}

void tst_pytools::insertStockComment()
{
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(QString, expected);
    QFETCH(int, expectedCaret);
    QFETCH(bool, byEnter);
    editDocument(*m_state, [&](CommentDocument &d) { d.slot(1) = {"甲", "第一位"}; });
    editDocument(*m_state, [&](CommentDocument &d) {
        d.slot(2) = {"乙", QString(text).replace("\n", "\r\n")};
    });
    m_editor = std::make_unique<pyedit>(*m_state, *m_platform);
    m_editor->rebuildCards();
    m_state->setCurrentStudent(1);
    QPlainTextEdit *box = m_editor->pytext1(1);
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(caret, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    m_state->markSaved();
    open();

    QListWidget *list = m_window->lbnr();
    const QPoint at = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (byEnter)
        QTest::keyClick(list, Qt::Key_Return);
    else
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(box->toPlainText(), expected);
    QCOMPARE(box->textCursor().position(), expectedCaret);
    QVERIFY(!box->textCursor().hasSelection());
    QCOMPARE(m_editor->focusWidget(), box);
    QVERIFY(m_state->Modified());
    QCOMPARE(m_state->Document().slot(2).comment, QString(expected).replace("\n", "\r\n"));
    QCOMPARE(m_state->Document().slot(1).comment, QStringLiteral("第一位"));
    // One undo step takes the whole insertion back.
    box->undo();
    QCOMPARE(box->toPlainText(), text);
}

// The search box finds stock comments of every category and rating as the teacher types; a
// double-click on one inserts it at the caret.
void tst_pytools::searchAndInsert()
{
    writeLibrary({"*!*类别之学习", "\t*!*学习好", "\t\t上课认真", "\t\t成绩优秀", "\t*!*学习中",
                  "\t*!*学习差", "*!*类别之纪律", "\t*!*纪律好", "\t*!*纪律中", "\t\t做事还不够认真",
                  "\t*!*纪律差"});
    editDocument(*m_state, [&](CommentDocument &d) { d.slot(1) = {"甲", "开头"}; });
    m_editor = std::make_unique<pyedit>(*m_state, *m_platform);
    m_editor->rebuildCards();
    m_state->setCurrentStudent(0);
    QPlainTextEdit *box = m_editor->pytext1(0);
    box->moveCursor(QTextCursor::End);
    open();

    QTest::keyClicks(m_window->searchBox(), QStringLiteral("  "));
    QVERIFY(m_window->lbnr()->isVisible() && !m_window->searchResults()->isVisible());
    m_window->searchBox()->setText(QStringLiteral("认真"));
    QTreeWidget *results = m_window->searchResults();
    QVERIFY(results->isVisible() && !m_window->lbnr()->isVisible());
    QStringList rows;
    for (int i = 0; i < results->topLevelItemCount(); ++i)
        rows << results->topLevelItem(i)->text(0) + u'|' + results->topLevelItem(i)->text(1);
    QCOMPARE(rows, (QStringList{"上课认真|学习 · 优秀", "做事还不够认真|纪律 · 良好"}));

    const QString chosen = results->topLevelItem(0)->text(0);
    emit results->itemActivated(results->topLevelItem(0), 0);
    QCOMPARE(box->toPlainText(), QStringLiteral("开头") + chosen);
    QVERIFY(m_state->Modified());

    m_window->searchBox()->clear();
    QVERIFY(m_window->lbnr()->isVisible() && !results->isVisible());
}

void tst_pytools::searchResultsReadable_data()
{
    QTest::addColumn<int>("before"); // the window's width while searching
    QTest::addColumn<int>("after");  // and after
    QTest::newRow("wide") << 900 << 900;
    QTest::newRow("narrow") << 600 << 600;
    QTest::newRow("widened") << 600 << 1200;
    QTest::newRow("narrowed") << 1200 << 600;
}

// A found comment can be read in the results: it takes the width beside a narrow category and
// wraps onto as many lines as it needs, whatever the window's width.
void tst_pytools::searchResultsReadable()
{
    QFETCH(int, before);
    QFETCH(int, after);
    const QString longComment = QStringLiteral("上课认真听讲，积极举手发言，作业书写工整，").repeated(4);
    writeLibrary({"*!*类别之课堂表现与学习习惯", "\t*!*课堂表现与学习习惯好", "\t\t上课认真",
                  "\t\t" + longComment, "\t*!*课堂表现与学习习惯中", "\t*!*课堂表现与学习习惯差"});
    open();
    m_window->resize(before, 260);
    m_window->searchBox()->setText(QStringLiteral("认真"));
    QTreeWidget *results = m_window->searchResults();
    QCOMPARE(results->topLevelItemCount(), 2);
    QTreeWidgetItem *item = results->topLevelItem(1);
    QCOMPARE(item->text(0), longComment);

    const QFontMetrics metrics(results->font());
    // At most a column's width on a line: the lines the comment needs, and not many more.
    const auto fits = [&] {
        const int lines = metrics.horizontalAdvance(longComment) / results->columnWidth(0) + 1;
        const int height = results->visualItemRect(item).height();
        return height >= lines * metrics.lineSpacing() && height < (lines + 2) * metrics.lineSpacing();
    };
    for (const int width : {before, after}) {
        m_window->resize(width, 260);
        const int viewport = results->viewport()->width();
        QTRY_COMPARE(results->columnWidth(0) + results->columnWidth(1), viewport);
        QVERIFY(results->columnWidth(1) < viewport / 3);
        QTRY_VERIFY2(fits(), qPrintable(QStringLiteral("%1 px wide, %2 px high")
                                            .arg(results->columnWidth(0))
                                            .arg(results->visualItemRect(item).height())));
    }
    QCOMPARE(item->toolTip(1), item->text(1));
}

void tst_pytools::insertWithoutPlace_data()
{
    QTest::addColumn<bool>("withEditor");
    QTest::addColumn<int>("student");
    QTest::newRow("no current student") << true << -1;
    QTest::newRow("no such card") << true << 5;
    QTest::newRow("no editor") << false << 0;
}

void tst_pytools::insertWithoutPlace()
{
    QFETCH(bool, withEditor);
    QFETCH(int, student);
    editDocument(*m_state, [&](CommentDocument &d) { d.slot(1) = {"甲", "原文"}; });
    if (withEditor) {
        m_editor = std::make_unique<pyedit>(*m_state, *m_platform);
        m_editor->rebuildCards();
    }
    m_state->setCurrentStudent(student);
    m_state->markSaved();
    open();
    m_platform->expectMessage();
    m_window->insertStockComment();
    QCOMPARE(m_platform->shown.size(), 1);
    const ShownDialog &shown = m_platform->shown.first();
    QCOMPARE(shown.text, QStringLiteral("您想把这句评语添加到哪儿？请用鼠标定位！"));
    QCOMPARE(shown.title, QStringLiteral("系统提示"));
    QCOMPARE(shown.icon, MsgIcon::Question);
    QCOMPARE(shown.buttons, MsgButtons::Ok);
    QVERIFY(!m_state->Modified());
    QCOMPARE(m_state->Document().slot(1).comment, QStringLiteral("原文"));
}

void tst_pytools::pressInList_data()
{
    QTest::addColumn<bool>("comments"); // the press is in lbnr, not lblb
    QTest::addColumn<bool>("clearSelection");
    QTest::addColumn<bool>("onItem"); // pressed on the first entry, not below the entries
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("editEnabled");
    QTest::addColumn<bool>("addSelectedEnabled");
    QTest::addColumn<int>("selectedAfter");
    const auto L = Qt::LeftButton, R = Qt::RightButton;
    QTest::newRow("category right, nothing selected") << false << true << false << R << false << false << -1;
    QTest::newRow("category right on an entry") << false << true << true << R << true << false << 0;
    QTest::newRow("category right, one selected") << false << false << false << R << true << false << 0;
    QTest::newRow("category left, nothing selected") << false << true << false << L << true << false << -1;
    QTest::newRow("comment left") << true << false << true << L << true << true << 0;
    QTest::newRow("comment right, nothing selected") << true << true << false << R << false << true << -1;
}

void tst_pytools::pressInList()
{
    QFETCH(bool, comments);
    QFETCH(bool, clearSelection);
    QFETCH(bool, onItem);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, editEnabled);
    QFETCH(bool, addSelectedEnabled);
    QFETCH(int, selectedAfter);
    open();
    // Start from the opposite of what the press must give, so that each row shows the press
    // setting both: a press in the other kind of list, on an entry or below them.
    const auto press = [](QListWidget *in, Qt::MouseButton button, QPoint at) {
        QTest::mousePress(in->viewport(), button, {}, at);
        QTest::mouseRelease(in->viewport(), button, {}, at);
    };
    QListWidget *before = addSelectedEnabled ? m_window->lblb() : m_window->lbnr();
    if (editEnabled) {
        before->setCurrentRow(-1);
        press(before, Qt::RightButton, QPoint(5, before->viewport()->height() - 5));
    } else {
        press(before, Qt::LeftButton, before->visualItemRect(before->item(0)).center());
    }
    QCOMPARE(m_window->popupItems().edit, !editEnabled);
    QCOMPARE(m_window->popupItems().addSelection, !addSelectedEnabled);
    before->setCurrentRow(0);

    QListWidget *list = comments ? m_window->lbnr() : m_window->lblb();
    if (clearSelection)
        list->setCurrentRow(-1);
    QSignalSpy popups(m_window.get(), &pytools::popupRequested);

    const QPoint at =
        onItem ? list->visualItemRect(list->item(0)).center() : QPoint(5, list->viewport()->height() - 5);
    QVERIFY(onItem || !list->itemAt(at));
    QTest::mousePress(list->viewport(), button, {}, at);
    QTest::mouseRelease(list->viewport(), button, {}, at);

    QCOMPARE(m_window->popupTarget(), comments ? PopupTarget::CommentList : PopupTarget::CategoryList);
    QCOMPARE(m_window->popupItems().edit, editEnabled);
    QCOMPARE(m_window->popupItems().addSelection, addSelectedEnabled);
    QCOMPARE(list->currentRow(), selectedAfter);
    QCOMPARE(popups.size(), button == Qt::RightButton ? 1 : 0);
    if (!popups.isEmpty())
        QCOMPARE(popups.first().first().toPoint(), list->viewport()->mapToGlobal(at));
}

void tst_pytools::panel_data()
{
    QTest::addColumn<PanelMode>("mode");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("left");
    QTest::newRow("add category") << PanelMode::AddCategory << "添加类别：请输入类别，然后单击“保存”。"
                                  << 500;
    QTest::newRow("edit category") << PanelMode::EditCategory
                                   << "编辑类别：请输入该类别的新名字，然后单击“保存”。" << 1500;
    QTest::newRow("add comment") << PanelMode::AddComment
                                 << "添加内容：请输入新内容，然后单击“保存”。（一次只能添加一条评语）" << 500;
    QTest::newRow("edit comment") << PanelMode::EditComment
                                  << "编辑内容：请修改该评语的内容，然后单击“保存”。" << 1500;
}

void tst_pytools::panel()
{
    QFETCH(PanelMode, mode);
    QFETCH(QString, caption);
    QFETCH(int, left);
    open();
    QGroupBox *frame = m_window->Frame1();
    QVERIFY(!frame->isVisible());
    QCOMPARE(pytools::panelCaption(PanelMode::None), QString());
    m_window->openPanel(mode, QStringLiteral("成绩优秀"));
    QCOMPARE(m_window->panelMode(), mode);
    QCOMPARE(frame->title(), caption);
    QCOMPARE(frame->pos(), QPoint(px(left), px(500)));
    QVERIFY(frame->isVisible());
    // The panel lies over the lists.
    QWidget *top = m_window->childAt(frame->geometry().center());
    QVERIFY(top == frame || frame->isAncestorOf(top));
    QCOMPARE(m_window->Text1()->text(), QStringLiteral("成绩优秀"));
    QCOMPARE(m_window->Text1()->cursorPosition(), 4);
    QCOMPARE(m_window->focusWidget(), m_window->Text1());
    // The whole caption is drawn, to its last character, and the controls sit below it.
    QVERIFY(frame->width() >= frame->fontMetrics().horizontalAdvance(caption));
    // The style gives the title the text's full advance: Fusion alone would cut off a last
    // full-width character such as "）".
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = caption;
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.textAlignment = frame->alignment();
    const QRect label =
        frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
    QVERIFY(label.width() >= frame->fontMetrics().horizontalAdvance(caption));
    QVERIFY(frame->rect().contains(label));
    QVERIFY(m_window->Text1()->y() >= frame->contentsRect().top());

    QSignalSpy saves(m_window.get(), &pytools::saveRequested);
    QTest::mouseClick(m_window->Command1(), Qt::LeftButton);
    QCOMPARE(saves.size(), 1);
    const QByteArray before = fileBytes(m_folder->file("pyk.vxd"));
    QTest::mouseClick(m_window->Command2(), Qt::LeftButton);
    QVERIFY(!frame->isVisible());
    QCOMPARE(fileBytes(m_folder->file("pyk.vxd")), before);
    QCOMPARE(saves.size(), 1);
}

void tst_pytools::captionBlinks()
{
    open();
    QVERIFY(m_window->Timer1()->isActive());
    QCOMPARE(m_window->Timer1()->interval(), 500);
    m_window->Timer1()->stop(); // ticks come from the test until the last check
    m_window->openPanel(PanelMode::AddCategory, QString());
    QGroupBox *frame = m_window->Frame1();
    const QColor red(255, 0, 0);
    const QRect captionArea(0, 0, frame->width(), frame->contentsRect().top());
    QCOMPARE(frame->palette().color(QPalette::WindowText), red);
    QVERIFY(redPixels(frame->grab(captionArea).toImage()) > 20);
    // The panel's own controls keep their usual colours.
    QVERIFY(redPixels(m_window->Command1()->grab().toImage()) == 0);
    m_window->Text1()->setText(QStringLiteral("文字文字"));
    QVERIFY(redPixels(m_window->Text1()->grab().toImage()) == 0);

    QMetaObject::invokeMethod(m_window->Timer1(), "timeout");
    QCOMPARE(frame->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::ButtonText));
    QCOMPARE(redPixels(frame->grab(captionArea).toImage()), 0);
    QMetaObject::invokeMethod(m_window->Timer1(), "timeout");
    QCOMPARE(frame->palette().color(QPalette::WindowText), red);
    // And the real timer keeps it going.
    m_window->Timer1()->start();
    QTRY_COMPARE_WITH_TIMEOUT(frame->palette().color(QPalette::WindowText) == red, false, 1500);
}

void tst_pytools::dragPanelOverList()
{
    open();
    m_window->openPanel(PanelMode::AddCategory, QString());
    QGroupBox *frame = m_window->Frame1();
    // A point on the panel itself, left of its controls.
    const QPoint grab(3, frame->height() / 2);
    QVERIFY(!frame->childAt(grab));
    const auto grabPoint = [&] { return frame->mapTo(m_window.get(), grab); };

    // The grab point follows the mouse over any control, and stays where it was released.
    QTest::mousePress(frame, Qt::LeftButton, {}, grab);
    QRadioButton *option = m_window->Option3();
    QTest::mouseMove(option, option->rect().center());
    QCOMPARE(grabPoint(), option->mapTo(m_window.get(), option->rect().center()));
    QListWidget *list = m_window->lbnr();
    const QPoint over(20, list->viewport()->height() / 2);
    const QPoint drop = list->viewport()->mapTo(m_window.get(), over);
    QTest::mouseMove(list->viewport(), over);
    QCOMPARE(grabPoint(), drop);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, over);
    QCOMPARE(grabPoint(), drop);

    // Once released, the mouse no longer carries the panel.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
    QTest::mouseMove(list->viewport(), QPoint(60, 30));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, QPoint(60, 30));
    QCOMPARE(grabPoint(), drop);

    // The panel cannot be dragged out of the window: it stops at the edge.
    const QPoint outside(m_window->width() + 300, -200);
    QTest::mousePress(frame, Qt::LeftButton, {}, grab);
    QTest::mouseMove(m_window.get(), outside);
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, outside);
    QCOMPARE(frame->pos(), QPoint(m_window->width() - frame->width(), 0));
}

void tst_pytools::resizeKeepsRightMargin()
{
    open();
    const auto tw = [this](int pixels) { return Twips::fromPixels(pixels, m_window->logicalDpiY()); };
    for (int width : {900, 700}) {
        m_window->resize(width, 260);
        const QRect frame = m_window->xxnr()->geometry();
        QVERIFY(qAbs(tw(frame.left()) - 2775) <= 15);
        QVERIFY(qAbs(tw(m_window->width() - frame.right() - 1) - 300) <= 15);
        QVERIFY(qAbs(tw(frame.width() - m_window->lbnr()->width()) - 1000) <= 15);
        QCOMPARE(m_window->pylb()->geometry(), QRect(px(120), px(120), px(2655), px(2415)));
    }
    m_window->resize(100, 260); // too narrow: the comment list keeps a usable width
    QVERIFY(m_window->lbnr()->width() > 0);
}

void tst_pytools::unreadableLibrary()
{
    QVERIFY(m_folder->remove("pyk.vxd"));
    m_platform->expectMessage();
    open();
    QCOMPARE(m_platform->messageTexts(), QStringList{"评语库文件被破坏！请重新安装本系统！"});
    QCOMPARE(m_platform->shown.first().icon, MsgIcon::Critical);
    QCOMPARE(m_platform->shown.first().title, QStringLiteral("系统提示"));
    QCOMPARE(m_window->lblb()->count(), 0);
    QCOMPARE(m_window->lbnr()->count(), 0);
    // Searching it says so once, not at every keystroke.
    m_platform->expectMessage();
    QTest::keyClicks(m_window->searchBox(), QStringLiteral("ab"));
    QCOMPARE(m_platform->shown.size(), 2);

    const Result<CommentLibrary::Written> failed =
        Failure{QStringLiteral("磁盘已满。"), FailureKind::WriteFailed};
    m_platform->expectMessage();
    QVERIFY(!pytools::reportFailure(*m_platform, failed));
    QCOMPARE(m_platform->shown.last().text, QStringLiteral("保存评语库失败！磁盘已满。"));
    QCOMPARE(m_platform->shown.last().icon, MsgIcon::Critical);
    QVERIFY(pytools::reportFailure(*m_platform, Result<CommentLibrary::Written>(CommentLibrary::Written{})));
}

QTEST_MAIN(tst_pytools)
#include "tst_pytools.moc"

void tst_pytools::reloadsWhenTheFileChanged_data()
{
    // Another teacher's library after the change; what stays selected here.
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<bool>("panelOpen");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QStringList>("comments");
    QTest::addColumn<QString>("comment");
    QStringList added = SmallLibrary;
    added.insert(3, "\t\t新来的评语");
    QTest::newRow("comment added: same category, rating and comment")
        << added << false << "学习" << QStringList{"勤奋好学", "新来的评语", "成绩优秀"} << "成绩优秀";
    QStringList renamed = SmallLibrary;
    renamed.replace(3, "\t\t成绩一直优秀");
    QTest::newRow("selected comment changed: same place")
        << renamed << false << "学习" << QStringList{"勤奋好学", "成绩一直优秀"} << "成绩一直优秀";
    QTest::newRow("panel open: nothing reloaded") << added << true << "学习" << QStringList{"勤奋好学", "成绩优秀"}
                                                  << "成绩优秀";
}

void tst_pytools::reloadsWhenTheFileChanged()
{
    QFETCH(QStringList, changed);
    QFETCH(bool, panelOpen);
    QFETCH(QString, category);
    QFETCH(QStringList, comments);
    QFETCH(QString, comment);
    open();
    QCOMPARE(m_window->libraryWatchTimer()->interval(), 3000);
    QVERIFY(m_window->libraryWatchTimer()->isActive());
    m_window->lbnr()->setCurrentRow(1);
    if (panelOpen)
        m_window->openPanel(PanelMode::AddComment, QString());
    writeLibrary(changed + QStringList{"\t\t" + QString(40, u'x')}); // another size, whatever the clock
    m_window->reloadIfChanged(); // as the timer does
    QCOMPARE(m_window->selectedCategory(), category);
    QCOMPARE(m_window->rating(), Rating::Excellent);
    QCOMPARE(texts(m_window->lbnr()), comments);
    QCOMPARE(m_window->selectedComment(), comment);
}
