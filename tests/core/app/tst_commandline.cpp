#include "classof.h"
#include "core/app/commandline.h"
#include "core/app/commandmode.h"
#include "core/app/commandmodes.h"
#include "core/document/commentfile.h"
#include "core/export/exporttext.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "core/printing/layoutschemefile.h"
#include "fifowatchdog.h"
#include "programfolder.h"
#include "programrun.h"
#include "resultvalue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void outputAsPrivateAsItsClass_data();
    void outputAsPrivateAsItsClass();
    void parse_data();
    void parse();
    void parseArguments_data();
    void parseArguments();
    void resave_data();
    void resave();
    void resaveRefuses_data();
    void resaveRefuses();
    void resaveWriteFailure();
    void resaveTellsOfUnreadableBytes();
    void headlessActionsRefuseAPipe_data();
    void headlessActionsRefuseAPipe();
    void exportText_data();
    void exportText();
    void exportTextFailures_data();
    void exportTextFailures();
    void standardOutput_data();
    void standardOutput();
    void standardOutputAppendedToFile();
    void printPdfRefusesPaperSize_data();
    void printPdfRefusesPaperSize();
    void helpAndVersion();
    void everyModeDocumented();
    void checkClass_data();
    void checkClass();
    void severalClasses_data();
    void severalClasses();
    void escapeField_data();
    void escapeField();
    void sessionNoticeLeftOut();
    void draft_data();
    void draft();
    void eachStudent_data();
    void eachStudent();
    void outputRefused_data();
    void outputRefused();
    void classOfMoreThan100Refused_data();
    void classOfMoreThan100Refused();
    void strayOptionRefused_data();
    void strayOptionRefused();
    void mistypedOptionOpensNoWindow();
    void draftCategoryEscaped();
};

void tst_CommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("mode"); // "": a window
    QTest::addColumn<QString>("file");

    QTest::newRow("nothing") << QStringList{} << "" << "";
    QTest::newRow("a file") << QStringList{"/home/t/一班.py"} << "" << "/home/t/一班.py";
    QTest::newRow("blanks in the path") << QStringList{"/home/t/my", "class.py"} << "" << "/home/t/my class.py";
    QTest::newRow("option later is a file name") << QStringList{"a", "--help"} << "" << "a --help";
    QTest::newRow("resave") << QStringList{"--resave", "a", "b"} << "--resave" << "";
    QTest::newRow("export text") << QStringList{"--export-text", "a", "b"} << "--export-text" << "";
    QTest::newRow("import names") << QStringList{"--import-names", "l", "-", "o"} << "--import-names" << "";
    QTest::newRow("import names, replacing")
        << QStringList{"--import-names", "l", "--replace", "i", "o"} << "--import-names" << "";
    QTest::newRow("help") << QStringList{"--help"} << "--help" << "";
    QTest::newRow("version") << QStringList{"--version"} << "--version" << "";
}

void tst_CommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, mode);
    QFETCH(QString, file);
    const CommandLine::Request request = CommandLine::parse(arguments);
    QCOMPARE(request.mode ? request.mode->name : QString(), mode);
    QCOMPARE(request.fileToOpen, file);
    QVERIFY(request.error.isEmpty());
    QCOMPARE(request.flag(QStringLiteral("--replace")), arguments.contains(u"--replace"));
}

void tst_CommandLine::parseArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error"); // the start of the message; "" for none
    QTest::addColumn<QStringList>("operands");
    QTest::addColumn<QStringList>("options"); // "--name" for a switch, "--name=value" for a value

    const QString pdfUsage = QStringLiteral("--print-pdf 需要至少两个参数");
    const QString draftUsage = QStringLiteral("--draft 需要三个参数");
    // Options are taken out wherever they stand; what is left are the operands.
    QTest::newRow("print-pdf, options among the operands")
        << QStringList{"--print-pdf", "a.py", "--scheme", "B", "b.py", "o.pdf", "--per-sheet", "2", "--sheet", "A3"}
        << "" << QStringList{"a.py", "b.py", "o.pdf"}
        << QStringList{"--scheme=B", "--per-sheet=2", "--sheet=A3"};
    QTest::newRow("print-pdf --each")
        << QStringList{"--print-pdf", "--each", "a.py", "dir", "--png", "--all"} << ""
        << QStringList{"a.py", "dir"} << QStringList{"--each", "--png", "--all"};
    QTest::newRow("check") << QStringList{"--check", "a.py", "--repeat", "5", "b.py"} << ""
                           << QStringList{"a.py", "b.py"} << QStringList{"--repeat=5"};
    QTest::newRow("draft") << QStringList{"--draft", "i", "r", "o", "--seed", "0", "--library", "L", "--replace"}
                           << "" << QStringList{"i", "r", "o"}
                           << QStringList{"--replace", "--seed=0", "--library=L"};
    QTest::newRow("the value of an option is taken as given")
        << QStringList{"--check", "a.py", "--scheme", "--repeat"} << "" << QStringList{"a.py"}
        << QStringList{"--scheme=--repeat"};
    QTest::newRow("help looks at nothing after it") << QStringList{"-h", "--bogus", "x"} << ""
                                                    << QStringList{} << QStringList{};
    // Refusals: an unknown option, one of another mode, a missing operand or value.
    QTest::newRow("unknown option") << QStringList{"--check", "a.py", "--bogus"} << "未知的选项“--bogus”。"
                                    << QStringList{"a.py", "--bogus"} << QStringList{};
    QTest::newRow("unknown option outranks a missing operand")
        << QStringList{"--resave", "--bogus"} << "未知的选项“--bogus”。" << QStringList{"--bogus"} << QStringList{};
    QTest::newRow("another mode's option") << QStringList{"--import-names", "l", "i", "o", "--seed", "2"}
                                           << "选项“--seed”不能用于 --import-names。"
                                           << QStringList{"l", "i", "o", "--seed", "2"} << QStringList{};
    QTest::newRow("a mode's name among the operands")
        << QStringList{"--export-text", "a", "--resave"} << "选项“--resave”不能用于 --export-text。"
        << QStringList{"a", "--resave"} << QStringList{};
    QTest::newRow("missing operand, resave") << QStringList{"--resave", "a"}
                                             << "--resave 需要两个参数：输入文件 输出文件" << QStringList{"a"}
                                             << QStringList{};
    QTest::newRow("missing operand, check") << QStringList{"--check", "--repeat", "2"}
                                            << "--check 需要至少一个参数" << QStringList{}
                                            << QStringList{"--repeat=2"};
    QTest::newRow("missing operand, print-pdf") << QStringList{"--print-pdf", "a.py"} << pdfUsage
                                                << QStringList{"a.py"} << QStringList{};
    QTest::newRow("a value missing at the end") << QStringList{"--print-pdf", "a.py", "o.pdf", "--scheme"}
                                                << pdfUsage << QStringList{"a.py", "o.pdf", "--scheme"}
                                                << QStringList{};
    QTest::newRow("--png without --each") << QStringList{"--print-pdf", "a.py", "o.pdf", "--png"}
                                          << "--png 和 --all 只能与 --each 一起使用" << QStringList{"a.py", "o.pdf"}
                                          << QStringList{"--png"};
    QTest::newRow("students a sheet") << QStringList{"--print-pdf", "a.py", "o.pdf", "--per-sheet", "3"}
                                      << "--per-sheet 只能是 1、2 或 4" << QStringList{"a.py", "o.pdf"}
                                      << QStringList{"--per-sheet=3"};
    QTest::newRow("unknown paper") << QStringList{"--print-pdf", "a.py", "o.pdf", "--sheet", "Q9"}
                                   << "--sheet 只能是以下纸张之一：" << QStringList{"a.py", "o.pdf"}
                                   << QStringList{"--sheet=Q9"};
    QTest::newRow("repeat below 1") << QStringList{"--check", "a.py", "--repeat", "0"} << "--check 需要至少一个参数"
                                    << QStringList{"a.py"} << QStringList{"--repeat=0"};
    QTest::newRow("OUT on standard output") << QStringList{"--draft", "i", "r", "-"} << draftUsage
                                            << QStringList{"i", "r", "-"} << QStringList{};
    QTest::newRow("a seed's own problem comes first")
        << QStringList{"--draft", "i", "--bogus", "--seed", "99999999999"} << "--seed 的数不能大于 4294967295。"
        << QStringList{"i", "--bogus"} << QStringList{"--seed=99999999999"};
}

// The arguments are taken apart by each mode's options alone, and refused with the first
// problem found.
void tst_CommandLine::parseArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    QFETCH(QStringList, operands);
    QFETCH(QStringList, options);
    const CommandLine::Request request = CommandLine::parse(arguments);
    QVERIFY(request.mode);
    QVERIFY2(error.isEmpty() ? request.error.isEmpty() : request.error.startsWith(error), qPrintable(request.error));
    QCOMPARE(request.operands, operands);
    QStringList given;
    for (const ModeOption &option : request.mode->options) {
        if (request.flag(option.name))
            given << option.name;
        else if (request.values.contains(option.name))
            given << option.name + u'=' + request.value(option.name);
    }
    QCOMPARE(given, options);
}

void tst_CommandLine::resave_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unchanged") << "basic.py"
                               << "basic.py";
    QTest::newRow("old header upgraded") << "old_header.py"
                                         << "basic.py";
    QTest::newRow("template blocks") << "template_blocks.py"
                                     << "template_blocks.expected.py";
    QTest::newRow("header values") << "font_values.py"
                                   << "font_values.expected.py";
    QTest::newRow("gap in roster") << "gap_in_roster.py"
                                   << "gap_in_roster.expected.py";
    QTest::newRow("trailing empty line") << "trailing_empty_line.py"
                                         << "trailing_empty_line.expected.py";
    QTest::newRow("line ends") << "line_ends.py"
                               << "line_ends.expected.py";
    QTest::newRow("Windows euro sign") << "windows_euro.py"
                                       << "windows_euro.expected.py";
}

void tst_CommandLine::resave()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString out = dir.filePath("out.py");
    const ProgramRun run = runBuiltProgram({"--resave", testDataFile(input), out});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    QCOMPARE(fileBytes(out), fileBytes(testDataFile(expected)));
}

void tst_CommandLine::resaveRefuses_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong header") << testDataFile("wrong_header.py") << "这不是本程序的评语文件";
    QTest::newRow("too short") << testDataFile("too_short.py") << "这不是本程序的评语文件";
    QTest::newRow("missing") << testDataFile("missing.py") << "无法读取文件";
}

void tst_CommandLine::resaveRefuses()
{
    QFETCH(QString, input);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString out = dir.filePath("out.py");
    const ProgramRun run = runBuiltProgram({"--resave", input, out});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFile::exists(out));
}

void tst_CommandLine::resaveWriteFailure()
{
    const ProgramRun run = runBuiltProgram({"--resave", testDataFile("basic.py"), "/proc/qhsy-out.py"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains(QStringLiteral("无法写入文件")));
}

// The resave still succeeds, and says which file had places that were no text.
void tst_CommandLine::resaveTellsOfUnreadableBytes()
{
    QTemporaryDir dir;
    const QString in = testDataFile("unreadable_bytes.py");
    const QString out = dir.filePath("out.py");
    const ProgramRun run = runBuiltProgram({"--resave", in, out});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err,
             QStringLiteral("注意：文件“%1”中有 2 处无法识别的字节（不是 GBK 或 GB18030 编码的文字），"
                            "在“%2”中已写成“\uFFFD”。\n")
                 .arg(in, out));
    QCOMPARE(fileBytes(out), fileBytes(testDataFile("unreadable_bytes.expected.py")));
}

void tst_CommandLine::headlessActionsRefuseAPipe_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("output");
    QTest::newRow("resave") << "--resave"
                            << "out.py";
    QTest::newRow("export text") << "--export-text"
                                 << "out.txt";
    QTest::newRow("print PDF") << "--print-pdf"
                               << "out.pdf";
}

// A pipe given as IN would keep the program waiting for a writer: it is refused at once.
void tst_CommandLine::headlessActionsRefuseAPipe()
{
    QFETCH(QString, option);
    QFETCH(QString, output);
    QTemporaryDir dir;
    const QString in = dir.filePath("in.py");
    QVERIFY(makeFifo(in));
    const QString out = dir.filePath(output);
    const ProgramRun run = runBuiltProgram({option, in, out}, 10000);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QStringLiteral("无法读取文件“%1”：这不是普通的文件").arg(in)),
             qPrintable(run.err));
    QVERIFY(!QFile::exists(out));
}

void tst_CommandLine::exportText_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("basic") << "basic.py";
    QTest::newRow("gap in roster") << "gap_in_roster.py";
    QTest::newRow("line ends") << "line_ends.py";
}

// The headless export writes the very bytes the export command of the window writes.
void tst_CommandLine::exportText()
{
    QFETCH(QString, input);
    QTemporaryDir dir;
    const QString out = dir.filePath("导出.txt");
    const ProgramRun run = runBuiltProgram({"--export-text", testDataFile(input), out});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());

    CommentDocument document;
    QVERIFY(CommentFile::read(testDataFile(input), document).ok());
    const QString expected = dir.filePath("window.txt");
    QCOMPARE(writeExportTextFile(expected, document).error(), QString());
    QCOMPARE(fileBytes(out), fileBytes(expected));
}

void tst_CommandLine::exportTextFailures_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output"); // "" = a file in a fresh folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong header") << testDataFile("wrong_header.py") << "" << 2 << "这不是本程序的评语文件";
    QTest::newRow("missing") << testDataFile("missing.py") << "" << 2 << "无法读取文件";
    QTest::newRow("unwritable") << testDataFile("basic.py") << "/proc/qhsy-out.txt" << 1 << "无法写入文件";
}

void tst_CommandLine::exportTextFailures()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString out = output.isEmpty() ? dir.filePath("out.txt") : output;
    const ProgramRun run = runBuiltProgram({"--export-text", input, out});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFile::exists(out));
}

// What a mode writes from a class only its owner may read is only the owner's to read too.
void tst_CommandLine::outputAsPrivateAsItsClass_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("output");
    QTest::newRow("text export") << "--export-text" << "一班.txt";
    QTest::newRow("class PDF") << "--print-pdf" << "一班.pdf";
}

void tst_CommandLine::outputAsPrivateAsItsClass()
{
    QFETCH(QString, option);
    QFETCH(QString, output);
    QTemporaryDir dir;
    const QString in = dir.filePath("一班.py");
    QVERIFY(QFile::copy(testDataFile("basic.py"), in));
    QVERIFY(QFile::setPermissions(in, QFile::ReadOwner | QFile::WriteOwner));
    const ProgramRun run = runBuiltProgram({option, in, dir.filePath(output)});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(int(QFile::permissions(dir.filePath(output)) & 0x0077), 0); // nothing for the group or others
}

void tst_CommandLine::standardOutput_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("output");
    QTest::newRow("export to -") << "--export-text"
                                 << "-";
    QTest::newRow("export to /dev/stdout, a pipe") << "--export-text"
                                                   << "/dev/stdout";
    QTest::newRow("resave to -") << "--resave"
                                 << "-";
}

// "-" and /dev/stdout put the bytes OUT would hold on standard output, creating no file.
void tst_CommandLine::standardOutput()
{
    QFETCH(QString, option);
    QFETCH(QString, output);
    QTemporaryDir dir;
    const QString file = dir.filePath("out");
    QCOMPARE(runBuiltProgram({option, testDataFile("basic.py"), file}).exitCode, 0);

    const ProgramRun run = runBuiltProgram({option, testDataFile("basic.py"), output});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.out, QString::fromLocal8Bit(fileBytes(file)));
    if (output == u"-")
        QVERIFY(!QFile::exists(output));
}

// /dev/stdout is the output the caller opened: appended to, not replaced by a new file.
void tst_CommandLine::standardOutputAppendedToFile()
{
    QTemporaryDir dir;
    const QString expected = dir.filePath("expected.txt");
    QCOMPARE(runBuiltProgram({"--export-text", testDataFile("basic.py"), expected}).exitCode, 0);
    const QString log = dir.filePath("log.txt");
    {
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier\n");
    }

    QProcess process;
    process.setStandardOutputFile(log, QIODevice::Append);
    process.start(QStringLiteral(QHSY_PROGRAM_DIR "/qhsy"),
                  {"--export-text", testDataFile("basic.py"), "/dev/stdout"});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(fileBytes(log), "earlier\n" + fileBytes(expected));
}

void tst_CommandLine::printPdfRefusesPaperSize_data()
{
    QTest::addColumn<SchemeField>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("width 0") << SchemeField::PaperWidth << "0"
                             << "打印方案“坏纸”的纸张宽度“0”无效";
    QTest::newRow("height negative") << SchemeField::PaperHeight << "-29.7"
                                     << "打印方案“坏纸”的纸张高度“-29.7”无效";
    QTest::newRow("width not a number") << SchemeField::PaperWidth << "宽"
                                        << "打印方案“坏纸”的纸张宽度“宽”无效";
    QTest::newRow("height huge") << SchemeField::PaperHeight << "1000000000000000000000"
                                 << "打印方案“坏纸”的纸张高度“1000000000000000000000”无效";
}

// A paper size that cannot be printed on is the scheme's fault, told before anything is written.
void tst_CommandLine::printPdfRefusesPaperSize()
{
    QFETCH(SchemeField, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    ProgramFolder folder;
    QVERIFY(folder.isValid());
    LayoutSchemeFile schemes(folder.file(ProgramFiles::SchemesName));
    LayoutScheme scheme = expectValue(schemes.loadScheme(expectValue(schemes.listSchemes()).value(0)));
    scheme.setValue(field, value);
    QVERIFY(schemes.appendScheme(QStringLiteral("坏纸"), scheme).ok());

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("班级.pdf"));
    QString errText;
    QTextStream err(&errText);
    const int exitCode = CommandLine::printPdf({testDataFile(QStringLiteral("basic.py"))}, out,
                                               QStringLiteral("坏纸"), folder.path(), err);
    err.flush();
    QCOMPARE(exitCode, 2);
    QVERIFY2(errText.contains(message), qPrintable(errText));
    QVERIFY2(!errText.contains(QStringLiteral("无法写入文件")), qPrintable(errText));
    QVERIFY(!QFile::exists(out));
}

void tst_CommandLine::helpAndVersion()
{
    const ProgramRun help = runBuiltProgram({"--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains(u"--resave"));
    QVERIFY(help.out.contains(u"--export-text"));
    const ProgramRun version = runBuiltProgram({"--version"});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.contains(u"1.0"));
    const ProgramRun wrong = runBuiltProgram({"--resave", "only-one"});
    QCOMPARE(wrong.exitCode, 64);
    QVERIFY(!wrong.err.isEmpty());
    const ProgramRun wrongExport = runBuiltProgram({"--export-text", "a", "b", "c"});
    QCOMPARE(wrongExport.exitCode, 64);
    QVERIFY(wrongExport.err.contains(u"--export-text"));
    QVERIFY(help.out.contains(u"--import-names"));
    // Standard output carries the names taken, so OUT cannot be "-".
    for (const QStringList &arguments : {QStringList{"--import-names", "l", "i"},
                                         QStringList{"--import-names", "l", "i", "-"}}) {
        const ProgramRun wrongImport = runBuiltProgram(arguments);
        QCOMPARE(wrongImport.exitCode, 64);
        QVERIFY(wrongImport.err.contains(u"--import-names"));
    }
}

// The README and --help name every mode (both are read by teachers looking for one).
void tst_CommandLine::everyModeDocumented()
{
    QFile readme(QStringLiteral(QHSY_README));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    // The README's usage lines start with "qhsy ".
    QStringList usage = QString::fromUtf8(readme.readAll()).split(u'\n');
    usage.removeIf([](const QString &line) { return !line.startsWith(u"qhsy --"); });
    const QString documented = usage.join(u'\n') + u'\n';
    const QString help = CommandLine::helpText();
    for (const CommandMode *mode : CommandLine::modes()) {
        const QRegularExpression named(QStringLiteral("[ ]%1[ \n]").arg(QRegularExpression::escape(mode->name)));
        QVERIFY2(documented.contains(named), qPrintable(mode->name));
        QVERIFY2(help.contains(QStringLiteral("  ") + mode->name + u' '), qPrintable(mode->name));
    }
}

void tst_CommandLine::checkClass_data()
{
    QTest::addColumn<QStringList>("options"); // after IN
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("thirdName");

    const QString repeated = QStringLiteral("你上课认真听讲，积极举手发言，作业书写工整");
    const QString name = QStringLiteral("王五");
    const QStringList found{QStringLiteral("李四\t提到其他学生\t张三"), QStringLiteral("王五\t空评语\t")};
    QTest::newRow("findings in roster order") << QStringList{} << true << 3 << found << name;
    QTest::newRow("a repeat limit of 1")
        << QStringList{"--repeat", "1"} << true << 3
        << QStringList{QStringLiteral("张三\t重复\t%1（共 2 人）").arg(repeated), found[0],
                       QStringLiteral("李四\t重复\t%1（共 2 人）").arg(repeated), found[1]}
        << name;
    QTest::newRow("a scheme by name") << QStringList{"--scheme", "B5"} << true << 3 << found << name;
    QTest::newRow("unreadable IN") << QStringList{} << false << 2 << QStringList{} << name;
    QTest::newRow("no such scheme") << QStringList{"--scheme", "无此方案"} << true << 64 << QStringList{}
                                    << name;
    QTest::newRow("repeat not a number")
        << QStringList{"--repeat", "三"} << true << 64 << QStringList{} << name;
    QTest::newRow("repeat without a value") << QStringList{"--repeat"} << true << 64 << QStringList{} << name;
    // A name reaches the terminal escaped, one finding still one line of three fields.
    QTest::newRow("control characters in a name")
        << QStringList{} << true << 3
        << QStringList{found[0], QStringLiteral("王\\x1b[31m五\\t\\n\t空评语\t")}
        << QStringLiteral("王\x1b[31m五\t\n");
}

// The class check without a window: one finding a line, the exit code saying whether there
// were any.
void tst_CommandLine::checkClass()
{
    QFETCH(QStringList, options);
    QFETCH(bool, readable);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QFETCH(QString, thirdName);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("班级.py"));
    CommentDocument document;
    const QString sentence = QStringLiteral("你上课认真听讲，积极举手发言，作业书写工整。");
    document.slot(1) = {QStringLiteral("张三"), sentence};
    document.slot(2) = {QStringLiteral("李四"), sentence + QStringLiteral("要向张三学习。")};
    document.slot(3) = {thirdName, QString()};
    if (readable)
        QVERIFY(CommentFile::write(in, document, document.ItemFonts).ok());

    const ProgramRun run = runBuiltProgram(QStringList{"--check", in} + options);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts), lines);
    if (exitCode == 64)
        QVERIFY(!run.err.isEmpty());
    if (!readable) // the reason in the teacher's language
        QVERIFY2(run.err.contains(u"：文件不存在"), qPrintable(run.err));
    // Nothing but the program's own lines: no warning of Qt's about the session it runs in.
    QVERIFY2(!run.err.contains(u"QStandardPaths"), qPrintable(run.err));
}

void tst_CommandLine::severalClasses_data()
{
    // Files: B basic.py (one finding), G gap_in_roster.py (none), W a file of another kind,
    // M a file that is not there, E a class without students. "%B" in a line is B's path.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");         // OUT of --print-pdf is written only with 0
    QTest::addColumn<QStringList>("lines");    // standard output
    QTest::addColumn<QStringList>("messages"); // each in standard error

    const QString rejection = QStringLiteral("%W: 这不是本程序的评语文件");
    const QString missing = QStringLiteral("无法读取文件“%M”：文件不存在");
    const QString found = QStringLiteral("%B: 李四\t空评语\t");
    QTest::newRow("print, two classes")
        << QStringList{"--print-pdf", "B", "G", "OUT"} << 0 << QStringList{} << QStringList{};
    QTest::newRow("print, one rejected among them")
        << QStringList{"--print-pdf", "B", "W", "G", "OUT"} << 2 << QStringList{} << QStringList{rejection};
    QTest::newRow("print, every rejected one named") << QStringList{"--print-pdf", "M", "B", "W", "OUT"} << 2
                                                     << QStringList{} << QStringList{missing, rejection};
    QTest::newRow("print, a class without students")
        << QStringList{"--print-pdf", "B", "E", "OUT"} << 2 << QStringList{}
        << QStringList{QStringLiteral("文件“%E”中没有学生")};
    QTest::newRow("print, four a sheet") << QStringList{"--print-pdf", "B", "G", "OUT", "--per-sheet", "4"} << 0
                                         << QStringList{} << QStringList{};
    QTest::newRow("print, three a sheet") << QStringList{"--print-pdf", "B", "OUT", "--per-sheet", "3"} << 64
                                          << QStringList{} << QStringList{"--per-sheet"};
    QTest::newRow("print, a sheet no printer stocks")
        << QStringList{"--print-pdf", "B", "OUT", "--per-sheet", "2", "--sheet", "A9"} << 64 << QStringList{}
        << QStringList{"--sheet"};
    QTest::newRow("print, OUT alone")
        << QStringList{"--print-pdf", "OUT"} << 64 << QStringList{} << QStringList{"--print-pdf"};
    QTest::newRow("check, each line names its file")
        << QStringList{"--check", "G", "B", "B"} << 3 << QStringList{found, found} << QStringList{};
    QTest::newRow("check, the others checked past a missing one")
        << QStringList{"--check", "M", "B", "W"} << 2 << QStringList{found}
        << QStringList{missing, rejection};
    QTest::newRow("check, no file") << QStringList{"--check", "--repeat", "2"} << 64 << QStringList{}
                                    << QStringList{"--check"};
}

// Several comment files in one run: the PDF holds them all or is not written; the check
// reports each file's findings under its name.
void tst_CommandLine::severalClasses()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, messages);
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("空班.py"));
    QVERIFY(CommentFile::write(empty, CommentDocument(), CommentDocument().ItemFonts).ok());
    const QMap<QString, QString> paths{{"B", testDataFile("basic.py")},
                                       {"G", testDataFile("gap_in_roster.py")},
                                       {"W", testDataFile("wrong_header.py")},
                                       {"M", testDataFile("missing.py")},
                                       {"E", empty},
                                       {"OUT", dir.filePath(QStringLiteral("全年级.pdf"))}};
    const auto withPaths = [&](QStringList texts) {
        for (auto it = paths.cbegin(); it != paths.cend(); ++it)
            texts.replaceInStrings(u'%' + it.key(), it.value());
        return texts;
    };
    for (QString &argument : arguments)
        argument = paths.value(argument, argument);
    const ProgramRun run = runBuiltProgram(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts), withPaths(lines));
    for (const QString &message : withPaths(messages))
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(QFile::exists(paths["OUT"]), arguments.first() == u"--print-pdf" && exitCode == 0);
}

void tst_CommandLine::escapeField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain") << "王五 好"
                           << "王五 好";
    QTest::newRow("tab and line breaks") << "a\tb\r\nc"
                                         << "a\\tb\\r\\nc";
    QTest::newRow("escape sequence") << "\x1b[2J"
                                     << "\\x1b[2J";
    QTest::newRow("other C0, DEL and C1") << QString::fromUtf16(u"\x01\x7f\x9b") << "\\x01\\x7f\\x9b";
    QTest::newRow("line separator") << QString::fromUtf16(u"a\u2028b") << "a\\u2028b";
    QTest::newRow("bidi override, zero-width space and BOM")
        << QString::fromUtf16(u"\u202e王\u200b五\ufeff") << "\\u202e王\\u200b五\\ufeff";
    QTest::newRow("a tag character past the first plane")
        << QString::fromUtf16(u"王\U000e0041") << "王\\U000e0041";
    QTest::newRow("a backslash stays readable") << "a\\tb"
                                                << "a\\\\tb";
}

void tst_CommandLine::escapeField()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(CommandLine::escapeField(text), escaped);
}

// Only Qt's notice of a missing XDG_RUNTIME_DIR is left out; every other message still shows.
void tst_CommandLine::sessionNoticeLeftOut()
{
    const QtMessageHandler before = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(before);
    CommandLine::leaveOutSessionNotice();
    QTest::failOnWarning(QRegularExpression(QStringLiteral("XDG_RUNTIME_DIR")));
    QTest::ignoreMessage(QtWarningMsg, "QStandardPaths: wrong permissions on runtime directory");
    qWarning("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-teacher'");
    qWarning("QStandardPaths: wrong permissions on runtime directory");
    qInstallMessageHandler(before);
}

void tst_CommandLine::eachStudent_data()
{
    // %D is an existing folder, %N one that is not there; %I the class (张三 and 王/五 written,
    // 李四 not), %M a class file that is not there.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("message");
    QTest::newRow("pdf, written students") << QStringList{"--print-pdf", "%I", "%D", "--each"} << 0
                                           << QStringList{"%D/01 张三.pdf", "%D/03 王_五.pdf"} << QString();
    QTest::newRow("png, everyone") << QStringList{"--print-pdf", "--each", "--png", "--all", "%I", "%D"} << 0
                                   << QStringList{"%D/01 张三.png", "%D/02 李四.png", "%D/03 王_五.png"}
                                   << QString();
    QTest::newRow("no such folder") << QStringList{"--print-pdf", "%I", "%N", "--each"} << 1 << QStringList{}
                                    << QStringLiteral("文件夹“%N”不存在。");
    QTest::newRow("no such class") << QStringList{"--print-pdf", "%M", "%D", "--each"} << 2 << QStringList{}
                                   << QStringLiteral("%M");
    QTest::newRow("unknown scheme") << QStringList{"--print-pdf", "%I", "%D", "--each", "--scheme", "无此方案"}
                                    << 2 << QStringList{} << QStringLiteral("无此方案");
    QTest::newRow("--png alone") << QStringList{"--print-pdf", "%I", "%D", "--png"} << 64 << QStringList{}
                                 << QStringLiteral("--each");
    QTest::newRow("--each, two classes") << QStringList{"--print-pdf", "%I", "%I", "%D", "--each"} << 64
                                         << QStringList{} << QStringLiteral("--each");
}

// One file per student without a window: one line a file written, nothing for a refused run.
void tst_CommandLine::eachStudent()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("家长"));
    QVERIFY(QDir().mkdir(folder));
    CommentDocument document;
    document.slot(1) = {QStringLiteral("张三"), QStringLiteral("你上课认真听讲。")};
    document.slot(2) = {QStringLiteral("李四"), QString()};
    document.slot(3) = {QStringLiteral("王/五"), QStringLiteral("你乐于助人。")};
    const QString in = dir.filePath(QStringLiteral("班级.py"));
    QVERIFY(CommentFile::write(in, document, document.ItemFonts).ok());
    const QMap<QString, QString> paths{{"%I", in},
                                       {"%D", folder},
                                       {"%N", dir.filePath(QStringLiteral("无"))},
                                       {"%M", dir.filePath(QStringLiteral("无.py"))}};
    const auto withPaths = [&](QString text) {
        for (auto it = paths.cbegin(); it != paths.cend(); ++it)
            text.replace(it.key(), it.value());
        return text;
    };
    for (QString &argument : arguments)
        argument = withPaths(argument);
    QStringList expected;
    for (const QString &line : lines)
        expected << withPaths(line);

    const ProgramRun run = runBuiltProgram(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts), expected);
    QVERIFY2(run.err.contains(withPaths(message)), qPrintable(run.err));
    QStringList files;
    for (const QString &line : expected)
        files << QFileInfo(line).fileName();
    QCOMPARE(QDir(folder).entryList(QDir::Files), files);
}

void tst_CommandLine::outputRefused_data()
{
    // %A and %B classes, %T a copy of %A named .txt, %L a link named .py to %A, %P a link named
    // .pdf to %A, %N a name list, %R a ratings table, %D the folder.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("PDF, OUT left out: the last class stands in for it")
        << QStringList{"--print-pdf", "%A", "%B"} << "输出文件“%B”是评语文件";
    QTest::newRow("PDF onto its own class") << QStringList{"--print-pdf", "%B", "%A", "%A"}
                                            << "输出文件“%A”就是输入文件“%A”";
    QTest::newRow("PDF through a link to its class") << QStringList{"--print-pdf", "%A", "%P"}
                                                     << "输出文件“%P”就是输入文件“%A”";
    QTest::newRow("PDF without .pdf") << QStringList{"--print-pdf", "%A", "%D/out.txt"}
                                      << "输出文件“%D/out.txt”不以 .pdf 结尾";
    QTest::newRow("PDF to standard output") << QStringList{"--print-pdf", "%A", "-"} << "输出文件“-”不以 .pdf 结尾";
    QTest::newRow("text onto a comment file by its content") << QStringList{"--export-text", "%A", "%T"}
                                                             << "输出文件“%T”是评语文件";
    QTest::newRow("resave through a link") << QStringList{"--resave", "%A", "%L"}
                                           << "输出文件“%L”就是输入文件“%A”";
    QTest::newRow("resave, the same file spelt another way")
        << QStringList{"--resave", "%A", "%D/./../%F/一班.py"} << "就是输入文件“%A”";
    QTest::newRow("names onto the list") << QStringList{"--import-names", "%N", "%A", "%N"}
                                         << "输出文件“%N”就是输入文件“%N”";
    QTest::newRow("drafts onto the ratings") << QStringList{"--draft", "%A", "%R", "%R"}
                                             << "输出文件“%R”就是输入文件“%R”";
}

// No mode writes over what it reads, and nothing but a comment-file mode writes over a class:
// the run is refused before anything is read, every file left as it was.
void tst_CommandLine::outputRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QMap<QString, QString> paths{{"%A", dir.filePath(QStringLiteral("一班.py"))},
                                       {"%B", dir.filePath(QStringLiteral("二班.py"))},
                                       {"%T", dir.filePath(QStringLiteral("一班.txt"))},
                                       {"%L", dir.filePath(QStringLiteral("链接.py"))},
                                       {"%P", dir.filePath(QStringLiteral("链接.pdf"))},
                                       {"%N", dir.filePath(QStringLiteral("名单.txt"))},
                                       {"%R", dir.filePath(QStringLiteral("评价.csv"))},
                                       {"%F", QFileInfo(dir.path()).fileName()},
                                       {"%D", dir.path()}};
    const auto withPaths = [&](QString text) {
        for (auto it = paths.cbegin(); it != paths.cend(); ++it)
            text.replace(it.key(), it.value());
        return text;
    };
    const QByteArray bytes = classFileOf(3);
    for (const char *file : {"%A", "%B", "%T"}) {
        QFile out(paths[file]);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }
    QVERIFY(QFile::link(paths["%A"], paths["%L"]) && QFile::link(paths["%A"], paths["%P"]));
    QVERIFY(TextFile::writeText(paths["%N"], QStringLiteral("甲\r\n")).ok());
    QVERIFY(TextFile::writeText(paths["%R"], QStringLiteral("姓名\r\n")).ok());
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::System);

    for (QString &argument : arguments)
        argument = withPaths(argument);
    const ProgramRun run = runBuiltProgram(arguments);
    QCOMPARE(run.exitCode, 64);
    QVERIFY2(run.err.contains(withPaths(message)), qPrintable(run.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System), before);
    for (const char *file : {"%A", "%B", "%T"})
        QCOMPARE(fileBytes(paths[file]), bytes);
}

void tst_CommandLine::classOfMoreThan100Refused_data()
{
    QTest::addColumn<QStringList>("arguments"); // %I the class, %D a folder, %O a file not there
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("resave, 100") << QStringList{"--resave", "%I", "%O.py"} << 100 << 0;
    QTest::newRow("resave, 101") << QStringList{"--resave", "%I", "%O.py"} << 101 << 2;
    QTest::newRow("export, 101") << QStringList{"--export-text", "%I", "%O.txt"} << 101 << 2;
    QTest::newRow("PDF, 101") << QStringList{"--print-pdf", "%I", "%O.pdf"} << 101 << 2;
    QTest::newRow("each, 101") << QStringList{"--print-pdf", "%I", "%D", "--each"} << 101 << 2;
    QTest::newRow("check, 101") << QStringList{"--check", "%I"} << 101 << 2;
    QTest::newRow("names, 101") << QStringList{"--import-names", "%I", "%I", "%O.py"} << 101 << 2;
    QTest::newRow("drafts, 101") << QStringList{"--draft", "%I", "%I", "%O.py"} << 101 << 2;
}

// A class of more than 100 students is never cut short: every mode refuses it and says why.
void tst_CommandLine::classOfMoreThan100Refused()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, students);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("大班.py"));
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(classFileOf(students)) > 0);
    file.close();
    const QString folder = dir.filePath(QStringLiteral("家长"));
    QVERIFY(QDir().mkdir(folder));
    for (QString &argument : arguments)
        argument.replace("%I", in).replace("%D", folder).replace("%O", dir.filePath(QStringLiteral("出")));

    const ProgramRun run = runBuiltProgram(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0)
        return;
    QVERIFY2(run.err.contains(QStringLiteral("文件“%1”中有 101 名学生，本程序一个班最多 100 名").arg(in)),
             qPrintable(run.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("大班.py")});
    QVERIFY(QDir(folder).isEmpty());
}

void tst_CommandLine::strayOptionRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("a mistyped action") << QStringList{"--prnt-pdf", "a.py", "out.pdf"} << "未知的选项“--prnt-pdf”";
    QTest::newRow("an option without an action") << QStringList{"--each", "a.py"} << "选项“--each”须跟在它所属的操作";
    QTest::newRow("a mistyped option after a file") << QStringList{"a.py", "--sheme"} << "未知的选项“--sheme”";
    QTest::newRow("a mistyped option of an action")
        << QStringList{"--print-pdf", "a.py", "out.pdf", "--shceme", "B5"} << "未知的选项“--shceme”";
    QTest::newRow("another action's option")
        << QStringList{"--resave", "a.py", "--replace"} << "选项“--replace”不能用于 --resave";
    QTest::newRow("a seed past the largest")
        << QStringList{"--draft", "a.py", "r.csv", "o.py", "--seed", "4294967296"} << "不能大于 4294967295";
    QTest::newRow("an unknown stage")
        << QStringList{"--draft", "a.py", "r.csv", "o.py", "--stage", "大学"} << "无法识别的学段“大学”";
    QTest::newRow("an unknown term")
        << QStringList{"--draft", "a.py", "r.csv", "o.py", "--term", "中"} << "无法识别的学期“中”";
    QTest::newRow("a length turned round")
        << QStringList{"--draft", "a.py", "r.csv", "o.py", "--length", "200-100"} << "无法识别的字数“200-100”";
    QTest::newRow("a length without its value")
        << QStringList{"--draft", "a.py", "r.csv", "o.py", "--length"} << "--length 后面要跟一个值";
}

// An argument that reads as an option but is none of this action's is refused with the usage.
void tst_CommandLine::strayOptionRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    QCOMPARE(CommandLine::run(CommandLine::parse(arguments), out, err), 64);
    err.flush();
    QVERIFY2(errText.startsWith(message) || errText.contains(message), qPrintable(errText));
    QVERIFY2(errText.contains(QStringLiteral("用法：")), qPrintable(errText));
    QVERIFY(outText.isEmpty());
}

// The program itself opens no window for a mistyped option: exit 64 straight away.
void tst_CommandLine::mistypedOptionOpensNoWindow()
{
    const ProgramRun run = runBuiltProgram({"--prnt-pdf", "a.py", "out.pdf"}, 20000);
    QCOMPARE(run.exitCode, 64);
    QVERIFY2(run.err.contains(QStringLiteral("未知的选项“--prnt-pdf”")), qPrintable(run.err));
}


void tst_CommandLine::draft_data()
{
    QTest::addColumn<QStringList>("options"); // after IN RATINGS OUT
    QTest::addColumn<QString>("ratings");     // the file's text; empty: no file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("comments"); // of OUT's three students
    QTest::addColumn<QString>("told");         // on standard error
    const QString drafted = QStringLiteral("    张三学习认真。愿你更好！");
    const QString own = QStringLiteral("李四自己的评语。");
    const QString rated = QStringLiteral("姓名,学习态度,寄语\n张三,优,A\n李四,良\n赵六,优,优\n");
    QTest::newRow("empty rated comments are drafted")
        << QStringList{} << rated << 0 << QStringList{QStringLiteral("张三\t12\t学习态度、寄语")}
        << QStringList{drafted, own, QString()} << "赵六"; // a name the class does not have is told
    QTest::newRow("--replace drafts every rated student")
        << QStringList{"--replace", "--seed", "7"} << rated << 0
        << QStringList{QStringLiteral("张三\t12\t学习态度、寄语"), QStringLiteral("李四\t5\t学习态度")}
        << QStringList{drafted, QStringLiteral("    学习尚可。"), QString()} << "赵六";
    QTest::newRow("stage, term and length given")
        << QStringList{"--stage", "小学", "--term", "下", "--length", "10-60"} << rated << 0
        << QStringList{QStringLiteral("张三\t12\t学习态度、寄语")} << QStringList{drafted, own, QString()} << "赵六";
    QTest::newRow("nothing changed is told, with why")
        << QStringList{} << QStringLiteral("姓名,学习态度\n李四,良\n") << 0 << QStringList{}
        << QStringList{QString(), own, QString()}
        << QStringLiteral("注意：没有改动任何学生的评语：2 名学生在评价表中没有评语库用得上的评价；"
                          "1 名学生已有评语（要替换，请加 --replace）。");
    QTest::newRow("no ratings file") << QStringList{} << QString() << 2 << QStringList{} << QStringList{}
                                     << QString();
    QTest::newRow("a seed that is no number") << QStringList{"--seed", "x"} << rated << 64 << QStringList{}
                                              << QStringList{} << QString();
}

// Drafts from ratings without a window: the rated students' empty comments filled from the
// library, one line a student changed, what the ratings hold that the class does not told.
void tst_CommandLine::draft()
{
    QFETCH(QStringList, options);
    QFETCH(QString, ratings);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, comments);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("班级.py"));
    CommentDocument document;
    document.slot(1) = {QStringLiteral("张三"), QString()};
    document.slot(2) = {QStringLiteral("李四"), QStringLiteral("李四自己的评语。")};
    document.slot(3) = {QStringLiteral("王五"), QString()};
    QVERIFY(CommentFile::write(in, document, document.ItemFonts).ok());
    const QString library = dir.filePath(QStringLiteral("评语库.vxd"));
    QVERIFY(TextFile::writeText(library, QStringLiteral("*!*类别之学习态度\r\n\t*!*学习态度好\r\n\t\t{名}学习认真。\r\n"
                                                        "\t*!*学习态度中\r\n\t\t学习尚可。\r\n\t*!*学习态度差\r\n"
                                                        "*!*类别之寄语\r\n\t*!*寄语好\r\n\t\t愿你更好！\r\n"
                                                        "\t*!*寄语中\r\n\t*!*寄语差\r\n"))
                .ok());
    const QString ratingsPath = dir.filePath(QStringLiteral("评价.csv"));
    if (!ratings.isEmpty()) {
        QFile file(ratingsPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ratings.toUtf8());
    }
    const QString out = dir.filePath(QStringLiteral("草稿.py"));
    const QStringList arguments = QStringList{"--draft", in, ratingsPath, out, "--library", library} + options;
    const ProgramRun run = runBuiltProgram(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts), lines);
    if (exitCode != 0) {
        QVERIFY(!QFile::exists(out));
        QVERIFY(!run.err.isEmpty());
        return;
    }
    QVERIFY2(run.err.contains(told), qPrintable(run.err));
    CommentDocument written;
    QVERIFY(CommentFile::read(out, written).ok());
    for (int k = 0; k < comments.size(); ++k)
        QCOMPARE(written.slot(k + 1).comment, comments[k]);
    // The same seed gives the same file.
    QFile first(out);
    QVERIFY(first.open(QIODevice::ReadOnly));
    const QByteArray bytes = first.readAll();
    first.close();
    QCOMPARE(runBuiltProgram(arguments).exitCode, 0);
    QFile second(out);
    QVERIFY(second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), bytes);
}

// A category reaches the terminal escaped as a name does: one student still one line of three
// fields, nothing in it that steers the terminal or reorders the line.
void tst_CommandLine::draftCategoryEscaped()
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("班级.py"));
    CommentDocument document;
    document.slot(1) = {QStringLiteral("张三"), QString()};
    QVERIFY(CommentFile::write(in, document, document.ItemFonts).ok());
    const QString category = QString::fromUtf16(u"学习\x1b[2J\u202e态度");
    const QString library = dir.filePath(QStringLiteral("评语库.vxd"));
    QVERIFY(TextFile::writeText(library, QStringLiteral("*!*类别之%1\r\n\t*!*%1好\r\n\t\t学习认真。\r\n"
                                                        "\t*!*%1中\r\n\t*!*%1差\r\n")
                                             .arg(category))
                .ok());
    const QString ratings = dir.filePath(QStringLiteral("评价.csv"));
    QVERIFY(TextFile::writeText(ratings, QStringLiteral("姓名,%1\r\n张三,优\r\n").arg(category)).ok());
    const ProgramRun run = runBuiltProgram(
        {"--draft", in, ratings, dir.filePath(QStringLiteral("草稿.py")), "--library", library});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("张三\t5\t学习\\x1b[2J\\u202e态度\n"));
}

QTEST_APPLESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
