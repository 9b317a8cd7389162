#include "classof.h"
#include "core/app/draftsboard.h"
#include "core/document/commentfile.h"
#include "core/document/ratingsfile.h"
#include "core/document/session.h"
#include "mainwindowtest.h"
#include "menuitem.h"
#include "ui/library/classsettingsbar.h"
#include "ui/library/draftsdialog.h"
#include "ui/printing/eachstudentdialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

namespace {

/// The text of a cell of the grid.
QString cellText(const QTableView *grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

/// A category's heading.
QString heading(const QTableView *grid, int column)
{
    return grid->model()->headerData(column, Qt::Horizontal).toString();
}

} // namespace

class tst_DraftsDialog : public MainWindowTest
{
    Q_OBJECT

private slots:
    void init() { setUpWorkspace(); }
    void cleanup() { tearDownWorkspace(); }

    void keys_data();
    void keys();
    void opensOnFirstShownCategory();
    void importIsOneStep();
    void previewTakesItsRoom();
    void settingsInOneStore_data();
    void settingsInOneStore();
    void classSettingsControls_data();
    void classSettingsControls();

private:
    /// Opens the 评价表 of a class of `students` saved in `dir`, its comments in `fontSize` points.
    DraftsDialog *openDrafts(const QTemporaryDir &dir, int students, double fontSize = 9);
};

DraftsDialog *tst_DraftsDialog::openDrafts(const QTemporaryDir &dir, int students, double fontSize)
{
    const QString path = dir.filePath(QStringLiteral("一班.py"));
    ItemFonts fonts = CommentDocument().ItemFonts;
    fonts[1].fontSize = fontSize;
    if (!CommentFile::write(path, classOf(students, QString()), fonts).ok() || !showWindow(path))
        return nullptr;
    menuItem(*m_window, "drafts")->trigger();
    auto *dialog = m_window->findChild<DraftsDialog *>(QStringLiteral("draftsdialog"));
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

// The keys of the grid: what they set, where the cell goes, and pasting.
void tst_DraftsDialog::keys_data()
{
    QTest::addColumn<QString>("select");    // "cell", "row 1" or "column 0"
    // one character a key: 1 2 3 0, D Delete, < > v arrows, V Ctrl+V, H Ctrl+Home, E Enter, Z Ctrl+Z, Y Ctrl+Y
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QStringList>("filled"); // the cells with a rating, "row,column:rating"
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("told");
    QTest::newRow("1 sets and moves on") << "cell" << "1" << "" << QStringList{"0,0:优秀"} << "0,1" << false;
    QTest::newRow("2 and 3") << "cell" << "23" << "" << QStringList{"0,0:良好", "0,1:后进"} << "0,2" << false;
    QTest::newRow("0 empties") << "cell" << "1<0" << "" << QStringList{} << "0,1" << false;
    QTest::newRow("Delete empties") << "cell" << "3<D" << "" << QStringList{} << "0,1" << false;
    QTest::newRow("arrows move") << "cell" << "v>2" << "" << QStringList{"1,1:良好"} << "1,2" << false;
    QTest::newRow("a whole column") << "column 0" << "3" << ""
                                    << QStringList{"0,0:后进", "1,0:后进", "2,0:后进"} << "0,0" << false;
    QTest::newRow("Ctrl+Home, then 1 where the focus went") << "cell" << "vv>H1" << "" << QStringList{"0,0:优秀"}
                                                           << "0,1" << false;
    QTest::newRow("Ctrl+Home leaves the row") << "row 0" << "H1" << "" << QStringList{"0,0:优秀"} << "0,1" << false;
    QTest::newRow("Enter moves down") << "cell" << "E1" << "" << QStringList{"1,0:优秀"} << "1,1" << false;
    QTest::newRow("Ctrl+Z back to the cell, Ctrl+Y again")
        << "cell" << "12ZZY" << "" << QStringList{"0,0:优秀"} << "0,0" << false;
    QTest::newRow("paste, an unknown value told")
        << "cell" << "V" << "优\t很好\nB\tC\n" << QStringList{"0,0:优秀", "1,0:良好", "1,1:后进"} << "0,0" << true;
}

void tst_DraftsDialog::keys()
{
    QFETCH(QString, select);
    QFETCH(QString, keys);
    QFETCH(QString, clipboard);
    QFETCH(QStringList, filled);
    QFETCH(QString, current);
    QFETCH(bool, told);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("一班.py"));
    QVERIFY(CommentFile::write(path, classOf(3, QString()), CommentDocument().ItemFonts).ok());
    QVERIFY(showWindow(path));
    menuItem(*m_window, "drafts")->trigger();
    auto *dialog = m_window->findChild<DraftsDialog *>(QStringLiteral("draftsdialog"));
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("评价表"));
    QTableView *grid = dialog->grid();
    QCOMPARE(dialog->focusWidget(), grid);
    QCOMPARE(grid->model()->rowCount(), 3);
    QVERIFY(grid->model()->columnCount() >= 3);
    if (select.startsWith(QLatin1String("column"))) {
        grid->selectColumn(select.back().digitValue());
    } else if (select.startsWith(QLatin1String("row"))) {
        grid->selectRow(select.back().digitValue());
    }
    m_platform->clipboard = clipboard;
    if (told)
        m_platform->expectMessage();
    for (const QChar key : keys) {
        switch (key.unicode()) {
        case 'D':
            QTest::keyClick(grid, Qt::Key_Delete);
            break;
        case '<':
            QTest::keyClick(grid, Qt::Key_Left);
            break;
        case '>':
            QTest::keyClick(grid, Qt::Key_Right);
            break;
        case 'v':
            QTest::keyClick(grid, Qt::Key_Down);
            break;
        case 'V':
            QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
            break;
        case 'H':
            QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
            break;
        case 'E':
            QTest::keyClick(grid, Qt::Key_Return);
            break;
        case 'Z':
            QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
            break;
        case 'Y':
            QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
            break;
        default:
            QTest::keyClick(grid, key.toLatin1());
        }
    }
    QStringList actual;
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            if (!cellText(grid, r, c).isEmpty())
                actual << QStringLiteral("%1,%2:%3").arg(r).arg(c).arg(cellText(grid, r, c));
        }
    }
    QCOMPARE(actual, filled);
    QCOMPARE(QStringLiteral("%1,%2").arg(grid->currentIndex().row()).arg(grid->currentIndex().column()), current);
    QVERIFY(dialog->isVisible());
    // Keys, paste and the highlight agree on one cell.
    QVERIFY(grid->selectionModel()->isSelected(grid->currentIndex()));
    // Only the value that is no rating is listed.
    if (told)
        QVERIFY(m_platform->shown.last().text.endsWith(QStringLiteral("：\n很好")));
    // Closing without 生成 keeps the ratings with the class, beside its file too.
    dialog->close();
    QCOMPARE(RatingsFile::hasGrades(m_state->Ratings()), !filled.isEmpty());
    QVERIFY(QFile::exists(RatingsFile::sidecarPath(path)));
}

void tst_DraftsDialog::opensOnFirstShownCategory()
{
    QTemporaryDir dir;
    DraftsDialog *dialog = openDrafts(dir, 2);
    QVERIFY(dialog);
    QTableView *grid = dialog->grid();
    dialog->close();
    m_platform->settings.insert(QStringLiteral("drafts/hiddenColumns"), QStringList{heading(grid, 0)});
    menuItem(*m_window, "drafts")->trigger();
    QVERIFY(grid->isColumnHidden(0));
    QCOMPARE(dialog->focusWidget(), grid);
    QCOMPARE(grid->currentIndex().row(), 0);
    QCOMPARE(grid->currentIndex().column(), 1);
}

// 导入... sets what the file rates, says so, and 撤消 takes it back whole.
void tst_DraftsDialog::importIsOneStep()
{
    QTemporaryDir dir;
    DraftsDialog *dialog = openDrafts(dir, 3);
    QVERIFY(dialog);
    QTableView *grid = dialog->grid();
    grid->selectAll();
    QTest::keyClick(grid, '1');
    const QString sheet = dir.filePath(QStringLiteral("评价.csv"));
    QFile file(sheet);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("姓名,%1\r\n学生2,差\r\n").arg(heading(grid, 1)).toUtf8());
    file.close();
    m_platform->expectOpenFile(sheet);
    m_platform->expectMessage();
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("import")), Qt::LeftButton);

    QCOMPARE(cellText(grid, 1, 1), QStringLiteral("后进"));
    // What the import says is the model's (tst_ratingsmodel); here, that it is shown.
    const ShownDialog told = m_platform->shown.last();
    QVERIFY2(told.text.startsWith(QStringLiteral("已从“评价.csv”读入 1 项评价。")), qPrintable(told.text));
    QCOMPARE(told.icon, MsgIcon::Information);
    auto *undo = dialog->findChild<QPushButton *>(QStringLiteral("undoRatings"));
    QCOMPARE(undo->text(), QStringLiteral("撤消(&U)"));
    QCOMPARE(undo->toolTip(), QStringLiteral("撤消“导入评价”（Ctrl+Z）"));
    QTest::mouseClick(undo, Qt::LeftButton);
    QCOMPARE(cellText(grid, 1, 1), QStringLiteral("优秀"));
    QCOMPARE(dialog->focusWidget(), grid);
    // The keys' step is next on the window's own stack.
    QCOMPARE(undo->toolTip(), QStringLiteral("撤消“评为优秀”（Ctrl+Z）"));
    QCOMPARE(dialog->board().ratings().undoStack()->count(), 2);
}

// However narrow the window, the whole draft shows, with what was left out for the paper; the grid
// scrolls.
void tst_DraftsDialog::previewTakesItsRoom()
{
    QTemporaryDir dir;
    DraftsDialog *dialog = openDrafts(dir, 40, 36);
    QVERIFY(dialog);
    dialog->resize(480, 610);
    QTableView *grid = dialog->grid();
    grid->selectRow(0);
    QTest::keyClick(grid, '1');
    QVERIFY(dialog->preview()->text().contains(QStringLiteral("略去了")));
    QScrollArea *area = dialog->previewArea();
    QTRY_VERIFY(area->height() >= dialog->preview()->heightForWidth(area->viewport()->width()));
    QVERIFY(!area->verticalScrollBar()->isVisible());
    QVERIFY(grid->verticalScrollBar()->isVisible());
}

void tst_DraftsDialog::settingsInOneStore_data()
{
    QTest::addColumn<QString>("dialog"); // where the teacher sets the value
    QTest::addColumn<QString>("key");

    QTest::newRow("评价表: a hidden column") << "drafts"
                                             << "drafts/hiddenColumns";
    QTest::newRow("导出每位学生一份: the folder") << "toeach"
                                                  << "each/folder";
}

// What a dialog remembers for the next run goes to the platform's one store with the rest.
void tst_DraftsDialog::settingsInOneStore()
{
    QFETCH(QString, dialog);
    QFETCH(QString, key);
    QTemporaryDir dir;
    QVariant expected;
    if (dialog == QLatin1String("drafts")) {
        DraftsDialog *drafts = openDrafts(dir, 2);
        QVERIFY(drafts);
        QHeaderView *header = drafts->grid()->horizontalHeader();
        expected = QStringList{heading(drafts->grid(), 0)};
        // The header's menu: the first column unticked.
        QTimer::singleShot(0, this, [] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (auto *menu = qobject_cast<QMenu *>(widget); menu && menu->isVisible()) {
                    menu->actions().constFirst()->setChecked(false);
                    menu->close();
                }
            }
        });
        emit header->customContextMenuRequested(QPoint(2, 2));
    } else {
        const QString path = dir.filePath(QStringLiteral("一班.py"));
        QVERIFY(CommentFile::write(path, classOf(1), CommentDocument().ItemFonts).ok() && showWindow(path));
        menuItem(*m_window, "toeach")->trigger();
        auto *each = m_window->findChild<EachStudentDialog *>(QStringLiteral("eachstudent"));
        QVERIFY(each);
        const QString folder = dir.filePath(QStringLiteral("每人一份"));
        QVERIFY(QDir().mkpath(folder));
        each->findChild<QLineEdit *>(QStringLiteral("folder"))->setText(folder);
        expected = folder;
        m_platform->expectProgress();
        m_platform->expectMessage();
        each->exportFiles();
    }
    QCOMPARE(m_platform->settings.value(key), expected);
}

void tst_DraftsDialog::classSettingsControls_data()
{
    QTest::addColumn<QString>("control"); // what the teacher changes
    QTest::addColumn<QString>("set");     // stage, term, window, 必写 columns as the class keeps them
    QTest::newRow("学段: its window with it") << "stage 初中" << "初中,,120-220,";
    QTest::newRow("学期") << "term 下学期" << ",下学期,100-180,";
    QTest::newRow("字数: the other box follows") << "min 200" << ",,200-200,";
    QTest::newRow("必写 from the header's menu") << "required" << ",,100-180,0";
}

// The row above the grid and the header's menu set the class's settings on the board.
void tst_DraftsDialog::classSettingsControls()
{
    QFETCH(QString, control);
    QFETCH(QString, set);
    QTemporaryDir dir;
    DraftsDialog *dialog = openDrafts(dir, 2);
    QVERIFY(dialog);
    ClassSettingsBar *bar = dialog->classSettings();
    const QString value = control.section(u' ', 1);
    if (control.startsWith(QLatin1String("stage"))) {
        bar->stage()->setCurrentText(value);
    } else if (control.startsWith(QLatin1String("term"))) {
        bar->term()->setCurrentText(value);
    } else if (control.startsWith(QLatin1String("min"))) {
        bar->minLength()->setValue(value.toInt());
    } else {
        QTimer::singleShot(0, this, [] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (auto *menu = qobject_cast<QMenu *>(widget); menu && menu->isVisible()) {
                    menu->actions().constLast()->setChecked(true);
                    menu->close();
                }
            }
        });
        emit dialog->grid()->horizontalHeader()->customContextMenuRequested(QPoint(2, 2));
    }
    const ClassSettings &settings = dialog->board().ratings().settings();
    QStringList required;
    for (int c = 0; c < dialog->grid()->model()->columnCount(); ++c) {
        if (heading(dialog->grid(), c).endsWith(QStringLiteral("（必写）")))
            required << QString::number(c);
    }
    QCOMPARE(QStringList({settings.stage ? ClassSettings::stageName(*settings.stage) : QString(),
                          settings.term ? ClassSettings::termName(*settings.term) : QString(),
                          QStringLiteral("%1-%2").arg(bar->minLength()->value()).arg(bar->maxLength()->value()),
                          required.join(u',')})
                 .join(u','),
             set);
    QCOMPARE(settings.minimum(), bar->minLength()->value());
    QCOMPARE(settings.maximum(), bar->maxLength()->value());
}

QTEST_MAIN(tst_DraftsDialog)
#include "tst_draftsdialog.moc"
