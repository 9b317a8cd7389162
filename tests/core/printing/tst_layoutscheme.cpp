#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "core/printing/layoutschemefile.h"
#include "filelimits.h"
#include "programfolder.h"
#include "resultvalue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QString schemeFile(const QString &name)
{
    return testDataFile(QStringLiteral("printing/") + name);
}

QString shippedFile()
{
    return QStringLiteral(QHSY_DATA_DIR "/") + ProgramFiles::SchemesName;
}

QStringList linesOf(const QByteArray &bytes)
{
    QStringList lines;
    const QString text = TextFile::decode(bytes);
    for (QStringView line : TextFile::splitLineViewsAnyBreak(text))
        lines.append(line.toString());
    return lines;
}

/// A scheme from its eleven values in file order.
LayoutScheme schemeOf(const QString &name, const QStringList &values)
{
    LayoutScheme scheme;
    scheme.name = name;
    for (int i = 0; i < LayoutScheme::FieldCount; ++i)
        scheme.setValue(LayoutScheme::FileFields[i], values.value(i));
    return scheme;
}

/// What the change tests save and append; the line break in the last value is written as blanks.
LayoutScheme sample()
{
    return schemeOf({}, {"26", "18.4", "2cm", "2.8", "2", "4", "12", "13.9", ".6", "12.4", "16\r\n.6"});
}

/// Runs one operation by name and tells only whether and how it failed.
Result<void> run(LayoutSchemeFile &file, const QString &op)
{
    if (op == u"list")
        return outcomeOf(file.listSchemes());
    if (op == u"value")
        return outcomeOf(file.readSchemeValue(QStringLiteral("B5"), SchemeField::PaperWidth));
    if (op == u"load")
        return outcomeOf(file.loadScheme(QStringLiteral("B5")));
    if (op == u"append")
        return file.appendScheme(QStringLiteral("新方案"), sample());
    return file.saveScheme(QStringLiteral("B5"), sample());
}

const QStringList B5 = {"25.7", "18.2", "2", "2.8", "2", "4", "12", "13.7", ".4", "12.2", "16.6"};
const QString X = LayoutSchemeFile::NoKey;

} // namespace

class tst_LayoutScheme : public QObject
{
    Q_OBJECT

private slots:
    void listSchemes_data();
    void listSchemes();
    void loadOrFirst_data();
    void loadOrFirst();
    void schemesInTakesEveryLineHoldingName();
    void valueIn_data();
    void valueIn();
    void loadScheme_data();
    void loadScheme();
    void unitsAfterNumbers_data();
    void unitsAfterNumbers();
    void paperSizeError_data();
    void paperSizeError();
    void shippedFileLoadsFirstScheme();
    void changes_data();
    void changes();
    void saveUnknownSchemeChangesNothing();
    void appendedSchemeLoads_data();
    void appendedSchemeLoads();
    void unreadableFile_data();
    void unreadableFile();
    void writeFailureKeepsOldFile_data();
    void writeFailureKeepsOldFile();
    void tooLargeToReadBackKeepsOldFile_data();
    void tooLargeToReadBackKeepsOldFile();

private:
    QString copyOf(const QString &name);
    QTemporaryDir m_dir;
};

QString tst_LayoutScheme::copyOf(const QString &name)
{
    return writableCopy(schemeFile(name), m_dir.path());
}

void tst_LayoutScheme::listSchemes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("longer name first, one-digit name")
        << schemeFile("schemes.vxd") << QStringList{"B5加长", "B5", "5"};
    QTest::newRow("last block unfinished") << schemeFile("nojuli.vxd") << QStringList{"甲", "乙", "丙"};
    QTest::newRow("LF only") << schemeFile("lf.vxd") << QStringList{"手工"};
    QTest::newRow("shipped") << shippedFile() << QStringList{"A4纵向", "B5", "16开", "A5纵向", "A4纵向标题日期"};
}

void tst_LayoutScheme::listSchemes()
{
    QFETCH(QString, path);
    QFETCH(QStringList, names);
    QCOMPARE(expectValue(LayoutSchemeFile(path).listSchemes()), names);
}

// The scheme a run lays pages out with: the one named, or the first when none is named.
void tst_LayoutScheme::loadOrFirst_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("loaded"); // "" when it fails
    QTest::addColumn<int>("kind");
    QTest::newRow("the first") << schemeFile("schemes.vxd") << ""
                               << "B5加长" << int(FailureKind::Other);
    QTest::newRow("by name") << schemeFile("schemes.vxd") << "B5"
                             << "B5" << int(FailureKind::Other);
    QTest::newRow("a name not there") << schemeFile("schemes.vxd") << "A4"
                                      << "" << int(FailureKind::NotFound);
    QTest::newRow("no file") << schemeFile("missing.vxd") << ""
                             << "" << int(FailureKind::Unreadable);
}

void tst_LayoutScheme::loadOrFirst()
{
    QFETCH(QString, path);
    QFETCH(QString, asked);
    QFETCH(QString, loaded);
    QFETCH(int, kind);
    const Result<LayoutScheme> scheme = LayoutSchemeFile(path).loadOrFirst(asked);
    QCOMPARE(scheme.ok() ? scheme->name : QString(), loaded);
    QCOMPARE(int(scheme.kind()), kind);
}

void tst_LayoutScheme::schemesInTakesEveryLineHoldingName()
{
    // A value line whose text holds "name=" (edited by hand) is no scheme.
    const QStringList lines{"name= B5 ", "filename=x", "paperwidth=1", "name=B5", "", "name=",
                            "titletext=name=幻影"};
    QCOMPARE(LayoutSchemeFile::schemesIn(lines), (QStringList{" B5 ", "ame=x", "B5", ""}));
}

void tst_LayoutScheme::valueIn_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<SchemeField>("field");
    QTest::addColumn<QString>("value");
    const QStringList one{"name=A", "pytextjuli=.7", "*!*"};
    QTest::newRow("found") << one << "A" << SchemeField::PyTextJuli << ".7";
    QTest::newRow("name trimmed") << one << " A\t" << SchemeField::PyTextJuli << ".7";
    QTest::newRow("name line must match exactly")
        << QStringList{"name=A ", "pytextjuli=.7", "*!*"} << "A" << SchemeField::PyTextJuli << "fname";
    QTest::newRow("no such name") << one << "AB" << SchemeField::PyTextJuli << "fname";
    QTest::newRow("name line is the last line")
        << QStringList{"x", "name=A"} << "A" << SchemeField::PyTextJuli << "fname";
    QTest::newRow("key line is the last line")
        << QStringList{"name=A", "pytextjuli=.7"} << "A" << SchemeField::PyTextJuli << X;
    QTest::newRow("key nowhere after the name")
        << QStringList{"pytextjuli=1", "name=A", "*!*"} << "A" << SchemeField::PyTextJuli << X;
    QTest::newRow("search runs past the block end")
        << QStringList{"name=A", "*!*", "name=B", "pytextjuli=.9", ""} << "A" << SchemeField::PyTextJuli
        << ".9";
    QTest::newRow("line holding the key loses key length + 1")
        << QStringList{"name=A", "  pytextjuli=.7", "*!*"} << "A" << SchemeField::PyTextJuli << "i=.7";
    QTest::newRow("line no longer than the key")
        << QStringList{"name=A", "xpaperwidth", "*!*"} << "A" << SchemeField::PaperWidth << "";
    QTest::newRow("first of two blocks")
        << QStringList{"name=A", "paperwidth=1", "*!*", "name=A", "paperwidth=2", "*!*"} << "A"
        << SchemeField::PaperWidth << "1";
}

void tst_LayoutScheme::valueIn()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, scheme);
    QFETCH(SchemeField, field);
    QFETCH(QString, value);
    QCOMPARE(LayoutSchemeFile::valueIn(lines, scheme, field), value);
}

void tst_LayoutScheme::loadScheme_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QStringList>("values");
    const QString schemes = schemeFile("schemes.vxd");
    QTest::newRow("B5, not B5加长") << schemes << "B5" << B5;
    QTest::newRow("B5加长, padded") << schemes << " B5加长 "
                                    << QStringList{"25.7", "18.2", "2",  "2.8",  "2",   "4",
                                                   "15",   "13.7", ".5", "12.5", "21.5"};
    QTest::newRow("one digit among values holding it")
        << schemes << "5"
        << QStringList{"12cm", "abc", ".5", " 1 2.5", "-3", "", "2.5.6", "10", "0", "7", "8"};
    QTest::newRow("unknown scheme") << schemes << "B" << QStringList(11, "fname");
    QTest::newRow("no pytextjuli: the next block's")
        << schemeFile("nojuli.vxd") << "甲"
        << QStringList{"20", "15", "1", "1", "1", "2", "10", "12", ".6", "9", "14"};
    QTest::newRow("no pytextjuli later: xname")
        << schemeFile("nojuli.vxd") << "丙" << QStringList{"22", X, "1", X, X, X, X, X, X, X, X};
    QTest::newRow("LF only") << schemeFile("lf.vxd") << "手工"
                             << QStringList{"20", "14", "1.5", "2", "1.5", "3", "9", "11", ".3", "8", "12"};
}

void tst_LayoutScheme::loadScheme()
{
    QFETCH(QString, path);
    QFETCH(QString, scheme);
    QFETCH(QStringList, values);
    QCOMPARE(expectValue((LayoutSchemeFile(path).loadScheme(scheme))), schemeOf(scheme, values));
    QCOMPARE(LayoutSchemeFile::schemeIn(linesOf(fileBytes(path)), scheme), schemeOf(scheme, values));
}

void tst_LayoutScheme::unitsAfterNumbers_data()
{
    QTest::addColumn<SchemeField>("field");
    QTest::addColumn<double>("number");
    QTest::newRow("12cm") << SchemeField::PaperHeight << 12.0;
    QTest::newRow("abc") << SchemeField::PaperWidth << 0.0;
    QTest::newRow(".5") << SchemeField::StudentLeft << 0.5;
    QTest::newRow("blanks between digits") << SchemeField::StudentTop << 12.5;
    QTest::newRow("-3") << SchemeField::PyTextLeft << -3.0;
    QTest::newRow("empty") << SchemeField::PyTextTop << 0.0;
    QTest::newRow("second point ends it") << SchemeField::PyTextHeight << 2.5;
}

void tst_LayoutScheme::unitsAfterNumbers()
{
    QFETCH(SchemeField, field);
    QFETCH(double, number);
    const LayoutScheme scheme =
        expectValue(LayoutSchemeFile(schemeFile("schemes.vxd")).loadScheme(QStringLiteral("5")));
    QCOMPARE(scheme.number(field), number);
}

void tst_LayoutScheme::paperSizeError_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("fault"); // "" when the paper can be printed on

    QTest::newRow("A4") << "21"
                        << "29.7"
                        << "";
    QTest::newRow("units after the numbers") << "18.2cm"
                                             << "25.7 cm"
                                             << "";
    QTest::newRow("largest paper") << "500"
                                   << "500"
                                   << "";
    QTest::newRow("a thousandth of a centimetre") << "0.001"
                                                  << ".001"
                                                  << "";
    QTest::newRow("width 0") << "0"
                             << "29.7"
                             << "纸张宽度“0”";
    QTest::newRow("height negative") << "21"
                                     << "-29.7"
                                     << "纸张高度“-29.7”";
    QTest::newRow("width not a number") << "abc"
                                        << "29.7"
                                        << "纸张宽度“abc”";
    QTest::newRow("height missing from the block") << "21"
                                                   << "xname"
                                                   << "纸张高度“xname”";
    QTest::newRow("width just over the largest") << "500.01"
                                                 << "29.7"
                                                 << "纸张宽度“500.01”";
    QTest::newRow("height huge") << "21"
                                 << "99999999999999999999999"
                                 << "纸张高度“99999999999999999999999”";
    QTest::newRow("both wrong: width named") << "-1"
                                             << "0"
                                             << "纸张宽度“-1”";
}

void tst_LayoutScheme::paperSizeError()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, fault);
    LayoutScheme scheme = schemeOf(QStringLiteral("我的方案"), B5);
    scheme.paperwidth = width;
    scheme.paperheight = height;
    const QString error = scheme.paperSizeError();
    if (fault.isEmpty()) {
        QCOMPARE(error, QString());
        return;
    }
    QVERIFY2(error.startsWith(QStringLiteral("打印方案“我的方案”的") + fault + QStringLiteral("无效")),
             qPrintable(error));
}

void tst_LayoutScheme::shippedFileLoadsFirstScheme()
{
    const LayoutSchemeFile file(shippedFile());
    const LayoutScheme first = expectValue(file.loadScheme(expectValue(file.listSchemes()).value(0)));
    QCOMPARE(first.name, QStringLiteral("A4纵向"));
    QCOMPARE(first.number(SchemeField::PaperHeight), 29.7);
    QCOMPARE(first.number(SchemeField::PaperWidth), 21.0);
    QCOMPARE(first.number(SchemeField::PyTextJuli), 0.4);
    for (SchemeField field : LayoutScheme::FileFields)
        QVERIFY2(first.number(field) > 0, qPrintable(LayoutScheme::key(field)));
}

void tst_LayoutScheme::changes_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("after");
    QTest::newRow("save second of three") << "schemes.vxd"
                                          << "save"
                                          << "B5"
                                          << "schemes_save_B5.vxd";
    QTest::newRow("save block lacking a line") << "nojuli.vxd"
                                               << "save"
                                               << "甲"
                                               << "nojuli_save_first.vxd";
    QTest::newRow("save unfinished last block") << "nojuli.vxd"
                                                << "save"
                                                << "丙"
                                                << "nojuli_save_last.vxd";
    QTest::newRow("save LF file writes CR LF") << "lf.vxd"
                                               << "save"
                                               << "手工"
                                               << "lf_save.vxd";
    QTest::newRow("append after final break") << "schemes.vxd"
                                              << "append"
                                              << "新方案"
                                              << "schemes_append.vxd";
    QTest::newRow("append without final break") << "lf.vxd"
                                                << "append"
                                                << "新方案"
                                                << "lf_append.vxd";
}

void tst_LayoutScheme::changes()
{
    QFETCH(QString, before);
    QFETCH(QString, op);
    QFETCH(QString, scheme);
    QFETCH(QString, after);
    const QString path = copyOf(before);
    LayoutSchemeFile file(path);
    const Result<void> status =
        op == u"save" ? file.saveScheme(scheme, sample()) : file.appendScheme(scheme, sample());
    QVERIFY2(status.ok(), qPrintable(status.error()));
    const QByteArray expected = fileBytes(schemeFile(after));
    QCOMPARE(fileBytes(path), expected);
    if (op == u"save") {
        const auto saved =
            LayoutSchemeFile::withSchemeSaved(linesOf(fileBytes(schemeFile(before))), scheme, sample());
        QVERIFY(saved);
        QCOMPARE(*saved, linesOf(expected));
    } else {
        QCOMPARE(expectValue(file.listSchemes()).constLast(), scheme);
    }
}

void tst_LayoutScheme::appendedSchemeLoads_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("listed");
    QTest::newRow("plain") << "新方案"
                           << "新方案";
    QTest::newRow("blanks around") << "  新 方案 "
                                   << "新 方案";
    QTest::newRow("tab before") << "\t新方案"
                                << "新方案";
    QTest::newRow("line break behind") << "新方案\r\n"
                                       << "新方案";
}

void tst_LayoutScheme::appendedSchemeLoads()
{
    QFETCH(QString, typed);
    QFETCH(QString, listed);
    LayoutSchemeFile file(copyOf(QStringLiteral("schemes.vxd")));
    QVERIFY(file.appendScheme(typed, sample()).ok());
    QCOMPARE(expectValue(file.listSchemes()).constLast(), listed);
    // Found by the listed name and by the name as typed, since lookups trim it.
    LayoutScheme expected = sample();
    expected.teachertop = QStringLiteral("16  .6");
    for (const QString &name : {listed, typed}) {
        expected.name = name;
        QCOMPARE(expectValue(file.loadScheme(name)), expected);
    }
}

void tst_LayoutScheme::saveUnknownSchemeChangesNothing()
{
    const QString path = copyOf(QStringLiteral("schemes.vxd"));
    const Result<void> status = LayoutSchemeFile(path).saveScheme(QStringLiteral("B"), sample());
    QCOMPARE(status.kind(), FailureKind::NotFound);
    QCOMPARE(status.error(), QStringLiteral("没有名为“B”的打印方案，未保存。"));
    QCOMPARE(fileBytes(path), fileBytes(schemeFile(QStringLiteral("schemes.vxd"))));
    QVERIFY(!LayoutSchemeFile::withSchemeSaved({"x", "name=B"}, QStringLiteral("B"), sample()));
}

void tst_LayoutScheme::unreadableFile_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<bool>("folder");
    for (const char *op : {"list", "value", "load", "append", "save"}) {
        QTest::addRow("%s, missing", op) << QString::fromLatin1(op) << false;
        QTest::addRow("%s, folder", op) << QString::fromLatin1(op) << true;
    }
}

void tst_LayoutScheme::unreadableFile()
{
    QFETCH(QString, op);
    QFETCH(bool, folder);
    QTemporaryDir dir;
    const QString path = dir.filePath(ProgramFiles::SchemesName);
    if (folder)
        QVERIFY(QDir().mkdir(path));
    LayoutSchemeFile file(path);
    const Result<void> status = run(file, op);
    QCOMPARE(status.kind(), FailureKind::Unreadable);
    QVERIFY(status.error().startsWith(QStringLiteral("无法读取打印方案文件“%1”：").arg(path)));
    QCOMPARE(QFileInfo(path).isDir(), folder);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), folder ? 1 : 0);
}

void tst_LayoutScheme::writeFailureKeepsOldFile_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<bool>("fullDisk");
    for (const char *op : {"append", "save"}) {
        // The replacement is made beside the file under a longer name, which cannot be made
        // when the name already has the longest length allowed: fails for root too.
        QTest::addRow("%s, longest name", op) << QString::fromLatin1(op) << false;
        // A write that fails part-way, as on a full disk.
        QTest::addRow("%s, full disk", op) << QString::fromLatin1(op) << true;
    }
}

void tst_LayoutScheme::writeFailureKeepsOldFile()
{
    QFETCH(QString, op);
    QFETCH(bool, fullDisk);
    QTemporaryDir dir;
    const QString path = dir.filePath(fullDisk ? ProgramFiles::SchemesName : QString(250, u'k'));
    const QByteArray old = fileBytes(schemeFile(QStringLiteral("schemes.vxd")));
    QVERIFY(TextFile::saveAtomically(path, old).ok());
    LayoutSchemeFile file(path);
    const Result<void> status =
        fullDisk ? withFileSizeLimit(16, [&] { return run(file, op); }) : run(file, op);

    QCOMPARE(status.kind(), FailureKind::WriteFailed);
    QVERIFY(status.error().startsWith(QStringLiteral("无法写入打印方案文件“%1”：").arg(path)));
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void tst_LayoutScheme::tooLargeToReadBackKeepsOldFile_data()
{
    QTest::addColumn<QString>("op");
    QTest::newRow("append") << "append";
    QTest::newRow("save") << "save";
}

// The scheme file is read whole and refused above the read limit: a change that would take it
// one byte beyond is not written, so that the schemes can still be opened.
void tst_LayoutScheme::tooLargeToReadBackKeepsOldFile()
{
    QFETCH(QString, op);
    QTemporaryDir dir;
    // How much the change adds, found on the small file.
    const QByteArray small = fileBytes(schemeFile(QStringLiteral("schemes.vxd")));
    const QString probe = dir.filePath(QStringLiteral("probe.vxd"));
    QVERIFY(TextFile::saveAtomically(probe, small).ok());
    LayoutSchemeFile probeFile(probe);
    QVERIFY(run(probeFile, op).ok());
    const qint64 growth = QFileInfo(probe).size() - small.size();
    QVERIFY2(growth > 0, qPrintable(QString::number(growth)));

    // The same file with one long line at its end.
    const QByteArray old =
        small + QByteArray(TextFile::MaxFileSize + 1 - growth - small.size() - 2, 'x') + "\r\n";
    const QString path = dir.filePath(ProgramFiles::SchemesName);
    QVERIFY(TextFile::saveAtomically(path, old).ok());
    LayoutSchemeFile file(path);
    const Result<void> status = run(file, op);
    QCOMPARE(status.kind(), FailureKind::WriteFailed);
    QVERIFY2(status.error().startsWith(QStringLiteral("无法写入打印方案文件“%1”：文件将有").arg(path)),
             qPrintable(status.error()));
    QVERIFY(status.error().contains(QStringLiteral("上限 64 MB")));
    QCOMPARE(fileBytes(path), old);
}

QTEST_APPLESS_MAIN(tst_LayoutScheme)
#include "tst_layoutscheme.moc"
