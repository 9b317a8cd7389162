#include "core/document/session.h"
#include "sessionedit.h"
#include "ui/app/classcheckdialog.h"

#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

class tst_ClassCheckDialog : public QObject
{
    Q_OBJECT

private slots:
    void repeatedSentenceIsOneRow();
};

// Five students sharing a sentence make one row under 重复, naming them, with a row for each
// under it; only a student's row moves to the text, and the rows the teacher opened stay open
// when the class is checked again.
void tst_ClassCheckDialog::repeatedSentenceIsOneRow()
{
    Session session;
    const QString sentence = QStringLiteral("你上课认真听讲，积极举手发言，作业书写工整。");
    editDocument(session, [&](CommentDocument &d) {
        for (int i = 1; i <= 5; ++i)
            d.slot(i) = {QStringLiteral("学生%1").arg(i), QStringLiteral("好。") + sentence};
        d.slot(6) = {QStringLiteral("学生6"), QString()};
    });
    ClassCheckDialog dialog(session, {});
    dialog.check();
    QTreeWidget *findings = dialog.findings();
    QCOMPARE(findings->topLevelItemCount(), 2);
    QCOMPARE(findings->topLevelItem(0)->text(0), QStringLiteral("空评语（1 项）"));
    QTreeWidgetItem *repeated = findings->topLevelItem(1);
    QCOMPARE(repeated->text(0), QStringLiteral("重复（1 句）"));
    QVERIFY(repeated->isExpanded());
    QCOMPARE(repeated->childCount(), 1);
    QTreeWidgetItem *row = repeated->child(0);
    QCOMPARE(row->text(0), QStringLiteral("学生1、学生2、学生3 等 5 人"));
    QCOMPARE(row->text(2), sentence.chopped(1) + QStringLiteral("（共 5 人）"));
    QCOMPARE(row->childCount(), 5);
    QVERIFY(!row->isExpanded());
    QCOMPARE(row->child(3)->text(0), QStringLiteral("学生4"));

    QSignalSpy chosen(&dialog, &ClassCheckDialog::findingChosen);
    emit findings->itemActivated(repeated, 0);
    emit findings->itemActivated(row, 0);
    QCOMPARE(chosen.size(), 0);
    emit findings->itemActivated(row->child(3), 0);
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.first(), (QVariantList{3, 2, int(sentence.size()) - 1}));

    row->setExpanded(true);
    dialog.check();
    QVERIFY(findings->topLevelItem(1)->child(0)->isExpanded());
}

QTEST_MAIN(tst_ClassCheckDialog)
#include "tst_classcheckdialog.moc"
