#include "core/document/ratingsmodel.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList Names{QStringLiteral("赵子涵"), QStringLiteral("学生2"), QStringLiteral("学生3")};
const QStringList Categories{QStringLiteral("学习态度"), QStringLiteral("纪律"), QStringLiteral("寄语")};

/// The cells with a grade, "row,column:grade".
QStringList filled(const RatingsModel &model)
{
    QStringList cells;
    for (int r = 0; r < model.rowCount(); ++r) {
        for (int c = 0; c < model.columnCount(); ++c) {
            if (const QString text = model.index(r, c).data().toString(); !text.isEmpty())
                cells << QStringLiteral("%1,%2:%3").arg(r).arg(c).arg(text);
        }
    }
    return cells;
}

} // namespace

class tst_RatingsModel : public QObject
{
    Q_OBJECT

private slots:
    void steps_data();
    void steps();
    void loadsByCategory();
    void settingsGoWithTheRatings_data();
    void settingsGoWithTheRatings();
    void importIsOneStep();
};

// Each change of the ratings is one step of the model's own stack, named as 撤消 shows it.
void tst_RatingsModel::steps_data()
{
    QTest::addColumn<QStringList>("script"); // "G@r,c" grade G at a cell, "G@cN" a whole column,
                                             // "G@rN" a whole row, "P@r,c:text" a paste, "hideN",
                                             // "undo", "redo", "E@r,c:text" an edit by text
    QTest::addColumn<QStringList>("filled");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("undoText");
    QTest::addColumn<QString>("told"); // the start of what a paste tells; "" for nothing
    QTest::newRow("one cell") << QStringList{"1@0,0"} << QStringList{"0,0:优秀"} << 1 << "评为优秀" << "";
    QTest::newRow("the same grade again is no step")
        << QStringList{"2@0,0", "2@0,0"} << QStringList{"0,0:良好"} << 1 << "评为良好" << "";
    QTest::newRow("0 clears") << QStringList{"3@0,0", "0@0,0"} << QStringList{} << 2 << "清除评价" << "";
    QTest::newRow("a whole column is one step")
        << QStringList{"3@c0"} << QStringList{"0,0:后进", "1,0:后进", "2,0:后进"} << 1 << "评为后进" << "";
    QTest::newRow("undo takes the column back whole") << QStringList{"3@c0", "undo"} << QStringList{} << 1 << "" << "";
    QTest::newRow("redo") << QStringList{"1@0,0", "2@0,1", "undo", "undo", "redo"} << QStringList{"0,0:优秀"} << 2
                          << "评为优秀" << "";
    QTest::newRow("a hidden column keeps its grades")
        << QStringList{"hide1", "1@r0"} << QStringList{"0,0:优秀", "0,2:优秀"} << 1 << "评为优秀" << "";
    QTest::newRow("a paste fills the shown columns")
        << QStringList{"hide1", "P@0,0:优\t良\n"} << QStringList{"0,0:优秀", "0,2:良好"} << 1 << "粘贴评价" << "";
    QTest::newRow("a heading naming a hidden column has nowhere to go")
        << QStringList{"hide1", "P@0,0:学习态度\t纪律\n优\t良\n"} << QStringList{"0,0:优秀"} << 1 << "粘贴评价"
        << "另有 1 项评价超出了表格";
    QTest::newRow("a paste by name") << QStringList{"P@0,0:学生3\tB\n"} << QStringList{"2,0:良好"} << 1 << "粘贴评价"
                                     << "";
    QTest::newRow("a paste tells what is no rating")
        << QStringList{"P@0,0:优\t很好\n"} << QStringList{"0,0:优秀"} << 1 << "粘贴评价" << "以下内容不是评价";
    QTest::newRow("an edit by a value") << QStringList{"E@1,1:A"} << QStringList{"1,1:优秀"} << 1 << "评为优秀" << "";
    QTest::newRow("an edit by no value is refused") << QStringList{"E@1,1:很好"} << QStringList{} << 0 << "" << "";
}

void tst_RatingsModel::steps()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, filled);
    QFETCH(int, steps);
    QFETCH(QString, undoText);
    QFETCH(QString, told);
    RatingsModel model;
    model.load(Names, Categories, {});
    QString said;
    for (const QString &step : script) {
        if (step == QLatin1String("undo")) {
            model.undoStack()->undo();
        } else if (step == QLatin1String("redo")) {
            model.undoStack()->redo();
        } else if (step.startsWith(QLatin1String("hide"))) {
            model.setColumnHidden(step.back().digitValue(), true);
        } else {
            const QChar what = step[0];
            const QString at = step.mid(2).section(QLatin1Char(':'), 0, 0);
            const QString text = step.section(QLatin1Char(':'), 1);
            // The digits are the table's keys: 1 优秀, 2 良好, 3 后进, 0 clears.
            const Rating grade = what.digitValue() == 0 ? Rating::None : Rating(what.digitValue() - 1);
            QModelIndexList cells;
            if (at.startsWith(QLatin1Char('c')) || at.startsWith(QLatin1Char('r'))) {
                const int n = at.back().digitValue();
                for (int i = 0; i < 3; ++i)
                    cells << (at[0] == QLatin1Char('c') ? model.index(i, n) : model.index(n, i));
            } else {
                cells << model.index(at.section(QLatin1Char(','), 0, 0).toInt(), at.section(QLatin1Char(','), 1).toInt());
            }
            if (what == QLatin1Char('P'))
                said = model.paste(text, cells[0].row(), cells[0].column());
            else if (what == QLatin1Char('E'))
                QCOMPARE(model.setData(cells[0], text), !filled.isEmpty());
            else
                model.setGrades(cells, grade, cells[0]);
        }
    }
    QCOMPARE(::filled(model), filled);
    QCOMPARE(model.undoStack()->count(), steps);
    QCOMPARE(model.undoStack()->undoText(), undoText);
    QVERIFY2(told.isEmpty() ? said.isEmpty() : said.startsWith(told), qPrintable(said));
    QCOMPARE(model.edited(), steps > 0);
}

// The class's kept ratings come in by category, whatever order the columns had; a hidden
// category stays hidden.
void tst_RatingsModel::loadsByCategory()
{
    RatingsFile::Table kept;
    kept.categories = {QStringLiteral("寄语"), QStringLiteral("旧类别"), QStringLiteral("学习态度")};
    kept.names = Names;
    kept.grades = {{Rating::Good, Rating::Excellent, Rating::Lagging}, {}, {Rating::None, Rating::None, Rating::Excellent}};
    RatingsModel model;
    model.load(Names, Categories, kept, {QStringLiteral("纪律")});
    QCOMPARE(filled(model), (QStringList{"0,0:后进", "0,2:良好", "2,0:优秀"}));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("纪律"));
    QCOMPARE(model.headerData(2, Qt::Vertical).toString(), QStringLiteral("学生3"));
    QCOMPARE(model.hiddenCategories(), QStringList{QStringLiteral("纪律")});
    QCOMPARE(model.visibleColumnsFrom(0), (QList<int>{0, 2}));
    QVERIFY(!model.edited());
    QCOMPARE(model.undoStack()->count(), 0);
    // A screen reader reads a cell as student, category and rating.
    QCOMPARE(model.index(0, 0).data(Qt::AccessibleTextRole).toString(), QStringLiteral("赵子涵 学习态度 后进"));
    QCOMPARE(model.index(1, 0).data(Qt::AccessibleTextRole).toString(), QStringLiteral("学生2 学习态度 未评价"));
}

// The class's drafting settings come in with the kept ratings and stay with them through every
// step; 必写 is kept in column order and shown in the column's header.
void tst_RatingsModel::settingsGoWithTheRatings_data()
{
    QTest::addColumn<QStringList>("script"); // "mark N" / "unmark N" 必写, "1@r,c" a grade, "undo"
    QTest::addColumn<QStringList>("required");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<bool>("edited");
    const QStringList plain = Categories;
    QTest::newRow("as kept") << QStringList{} << QStringList{"寄语"} << QStringList{"学习态度", "纪律", "寄语（必写）"}
                             << false;
    QTest::newRow("a grade and its undo keep them")
        << QStringList{"1@0,0", "undo"} << QStringList{"寄语"} << QStringList{"学习态度", "纪律", "寄语（必写）"} << true;
    QTest::newRow("marked in column order")
        << QStringList{"mark 1", "mark 0"} << QStringList{"学习态度", "纪律", "寄语"}
        << QStringList{"学习态度（必写）", "纪律（必写）", "寄语（必写）"} << true;
    QTest::newRow("unmarked") << QStringList{"unmark 2"} << QStringList{} << plain << true;
}

void tst_RatingsModel::settingsGoWithTheRatings()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, required);
    QFETCH(QStringList, headers);
    QFETCH(bool, edited);
    RatingsFile::Table kept;
    kept.settings.stage = Stage::Junior;
    kept.settings.minLength = 130;
    kept.settings.maxLength = 200;
    kept.settings.required = {QStringLiteral("寄语")};
    RatingsModel model;
    model.load(Names, Categories, kept);
    for (const QString &step : script) {
        const int n = step.back().digitValue();
        if (step == QLatin1String("undo"))
            model.undoStack()->undo();
        else if (step.startsWith(QLatin1String("mark")) || step.startsWith(QLatin1String("unmark")))
            model.setRequired(n, step.startsWith(QLatin1String("mark")));
        else
            model.setGrades({model.index(0, 0)}, Rating::Excellent, {});
    }
    ClassSettings expected = kept.settings;
    expected.required = required;
    QCOMPARE(model.table().settings, expected);
    QStringList shown;
    for (int c = 0; c < model.columnCount(); ++c)
        shown << model.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(shown, headers);
    QCOMPARE(model.edited(), edited);
}

// 导入... sets what the file rates and says so; one undo takes the whole import back, to where
// the keys left the ratings.
void tst_RatingsModel::importIsOneStep()
{
    RatingsModel model;
    model.load(Names, Categories, {});
    QModelIndexList all;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            all << model.index(r, c);
    model.setGrades(all, Rating::Excellent, model.index(0, 0));
    QTemporaryDir dir;
    const QString sheet = dir.filePath(QStringLiteral("评价.csv"));
    QFile file(sheet);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("姓名,纪律\r\n学生2,差\r\n").toUtf8());
    file.close();
    QSignalSpy rows(&model, &RatingsModel::gradesChanged);
    const Result<RatingsReport::Message> told = model.importFile(sheet);
    QVERIFY(told.ok());
    QVERIFY2(told->text.startsWith(QStringLiteral("已从“评价.csv”读入 1 项评价。\n文件中没有这些学生的评价，保持原样：赵子涵、学生3\n")),
             qPrintable(told->text));
    QVERIFY(!told->warning);
    QCOMPARE(model.grade(1, 1), Rating::Lagging);
    QCOMPARE(rows.last().first().value<QList<int>>(), QList<int>{1});
    QCOMPARE(model.undoStack()->undoText(), QStringLiteral("导入评价"));
    model.undoStack()->undo();
    QCOMPARE(model.grade(1, 1), Rating::Excellent);
    QCOMPARE(model.undoStack()->undoText(), QStringLiteral("评为优秀"));
    // An unreadable file is a reason, not a step.
    QVERIFY(!model.importFile(dir.filePath(QStringLiteral("没有.csv"))).ok());
    QCOMPARE(model.undoStack()->index(), 1);
}

QTEST_APPLESS_MAIN(tst_RatingsModel)
#include "tst_ratingsmodel.moc"
