#include "classof.h"
#include "core/document/commentfile.h"
#include "core/document/ratingsfile.h"
#include "core/document/session.h"
#include "mainwindowtest.h"
#include "menuitem.h"
#include "ui/library/draftsdialog.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>

class tst_DraftsDialog : public MainWindowTest
{
    Q_OBJECT

private slots:
    void init() { setUpWorkspace(); }
    void cleanup() { tearDownWorkspace(); }

    void keys_data();
    void keys();
};

// The keys of the grid: what they set, where the cell goes, and pasting.
void tst_DraftsDialog::keys_data()
{
    QTest::addColumn<QString>("select");    // "cell", "row 1" or "column 0"
    QTest::addColumn<QString>("keys");      // one character a key: 1 2 3 0, D Delete, < > v arrows, V Ctrl+V
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
    QTableWidget *grid = dialog->grid();
    QCOMPARE(grid->rowCount(), 3);
    QVERIFY(grid->columnCount() >= 3);
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
        default:
            QTest::keyClick(grid, key.toLatin1());
        }
    }
    QStringList actual;
    for (int r = 0; r < grid->rowCount(); ++r) {
        for (int c = 0; c < grid->columnCount(); ++c) {
            if (!grid->item(r, c)->text().isEmpty())
                actual << QStringLiteral("%1,%2:%3").arg(r).arg(c).arg(grid->item(r, c)->text());
        }
    }
    QCOMPARE(actual, filled);
    QCOMPARE(QStringLiteral("%1,%2").arg(grid->currentRow()).arg(grid->currentColumn()), current);
    // Only the value that is no rating is listed.
    if (told)
        QVERIFY(m_platform->shown.last().text.endsWith(QStringLiteral("：\n很好")));
    // Closing without 生成 keeps the ratings with the class, beside its file too.
    dialog->close();
    QCOMPARE(RatingsFile::hasGrades(m_state->Ratings()), !filled.isEmpty());
    QVERIFY(QFile::exists(RatingsFile::sidecarPath(path)));
}

QTEST_MAIN(tst_DraftsDialog)
#include "tst_draftsdialog.moc"
