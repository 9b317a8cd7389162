#include "core/library/commentlibrary.h"
#include "resultvalue.h"

#include <QHash>
#include <QRegularExpression>
#include <QTest>

namespace {

CommentLibrary shipped()
{
    return CommentLibrary(QStringLiteral(QHSY_DATA_DIR "/pyk.vxd"));
}

} // namespace

// The library the program ships with: enough variety that drafts for a whole class differ.
class tst_ShippedLibrary : public QObject
{
    Q_OBJECT

private slots:
    void categoryHoldsEnoughPerRating_data();
    void categoryHoldsEnoughPerRating();
    void noSentenceRepeats();
};

void tst_ShippedLibrary::categoryHoldsEnoughPerRating_data()
{
    QTest::addColumn<QString>("category");
    for (const char *name : {"学习态度", "课堂表现", "作业完成", "纪律", "品德修养", "总评", "寄语"})
        QTest::newRow(name) << QString::fromUtf8(name);
}

void tst_ShippedLibrary::categoryHoldsEnoughPerRating()
{
    QFETCH(QString, category);
    const CommentLibrary library = shipped();
    for (Rating rating : {Rating::Excellent, Rating::Good, Rating::Lagging}) {
        const qsizetype count = expectValue(library.comments(category, rating)).size();
        QVERIFY2(count >= 18,
                 qPrintable(QString(CommentLibrary::letter(rating)) + u' ' + QString::number(count)));
    }
}

// A sentence shared by two stock comments would make two students' drafts read alike.
void tst_ShippedLibrary::noSentenceRepeats()
{
    static const QRegularExpression end(QStringLiteral("[。！？]"));
    QHash<QString, QString> firstSeenIn;
    for (const CommentLibrary::Entry &entry : expectValue(shipped().entries())) {
        for (const QString &part : entry.text.split(end, Qt::SkipEmptyParts)) {
            const QString sentence = part.trimmed();
            if (sentence.isEmpty())
                continue;
            QVERIFY2(!firstSeenIn.contains(sentence),
                     qPrintable(sentence + u'\n' + firstSeenIn.value(sentence) + u'\n' + entry.text));
            firstSeenIn.insert(sentence, entry.text);
        }
    }
}

QTEST_APPLESS_MAIN(tst_ShippedLibrary)
#include "tst_shippedlibrary.moc"
