#include "core/document/commentfile.h"
#include "core/document/messages.h"
#include "core/document/session.h"
#include "core/export/exportcommands.h"
#include "core/export/exporttext.h"
#include "core/export/worddocument.h"
#include "core/export/wordprocessor.h"
#include "core/platform/libreoffice.h"
#include "core/platform/textfile.h"
#include "fiforeader.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "ui/platform/qtplatform.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <ctime>

#include <unistd.h>
#include <utime.h>

namespace {

const QString CrLf = QStringLiteral("\r\n");

CommentDocument makeDocument(const QString &signature, const QStringList &names, const QStringList &comments)
{
    CommentDocument document;
    document.TeacherSignature = signature;
    for (int i = 0; i < names.size(); ++i)
        document.slot(i + 1) = {names[i], comments.value(i)};
    return document;
}

// A critical notice with the one OK button, as both failures here show it.
bool isCriticalNotice(const ShownDialog &box, const QString &text)
{
    return box.kind == ShownDialog::Message && box.text == text && box.title == Platform::NoticeTitle &&
           box.icon == MsgIcon::Critical && box.buttons == MsgButtons::Ok;
}

QStringList numbered(const QString &prefix, int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list << prefix + QString::number(i);
    return list;
}

// The test's own desktop: dialogs answered from the script, but the word processor started for
// real through QtPlatform, with whatever "soffice" PATH holds.
class DesktopWordProcessor : public ScriptedPlatform
{
public:
    Result<void> startWordProcessor(const QString &documentPath) override
    {
        wordProcessorDocuments << documentPath;
        return desktop.startWordProcessor(documentPath);
    }
    QtPlatform desktop;
};

// A stand-in for soffice: records its arguments, one a line, and keeps a copy of the document
// (the last argument) as it was when the program was started.
const char StandIn[] = "#!/bin/bash\n"
                       "/bin/cp -- \"${@: -1}\" \"$(dirname \"$0\")/copy.odt\"\n"
                       "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.tmp\"\n"
                       "/bin/mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args.txt\"\n";

// content.xml of an ODF package, or an empty array when unzip is not there.
QByteArray odfContent(const QString &path)
{
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        return {};
    QProcess process;
    process.start(unzip, {QStringLiteral("-p"), path, QStringLiteral("content.xml")});
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

} // namespace

class tst_Export : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void textFile_data();
    void textFile();
    void colonText_data() { textFile_data(); }
    void colonText();
    void exportCommand_data();
    void exportCommand();
    void exportIntoPipe();
    void exportAsPrivateAsItsClass();

    void handOverToStandIn();
    void handOverFoldersAreFresh();
    void noWordProcessor();
    void realWriterReadsDocument();
    void wordDocumentLayout();
    void exportWordDocument_data();
    void exportWordDocument();

private:
    QByteArray m_path;
    QByteArray m_tmpdir;
    std::unique_ptr<QTemporaryDir> m_temp; ///< TMPDIR of the test: the hand-over folder goes here
};

void tst_Export::init()
{
    m_path = qgetenv("PATH");
    m_tmpdir = qgetenv("TMPDIR");
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    qputenv("TMPDIR", m_temp->path().toLocal8Bit());
}

void tst_Export::cleanup()
{
    qputenv("PATH", m_path);
    if (m_tmpdir.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", m_tmpdir);
    m_temp.reset();
}

void tst_Export::textFile_data()
{
    QTest::addColumn<QString>("signature");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("comments");
    QTest::addColumn<QString>("golden");

    QTest::newRow("no students") << "王老师" << QStringList{} << QStringList{} << "no_students.txt";
    QTest::newRow("stops at the first empty name")
        << "李老师" << QStringList{"张三", "李四𡈼", "", "赵六", "钱七"}
        << QStringList{"上课认真。", "乐于助人。", "空位的评语", "不导出", "也不导出"} << "gap.txt";
    QTest::newRow("multi-line and empty comments")
        << "周老师" << QStringList{"王五", "陈六"} << QStringList{"第一行\r\n第二行\r\n\r\n第四行", ""}
        << "multi_line.txt";
    QTest::newRow("all 100 students")
        << "****老师" << numbered("学生", 100) << numbered("评语", 100) << "hundred.txt";
}

void tst_Export::textFile()
{
    QFETCH(QString, signature);
    QFETCH(QStringList, names);
    QFETCH(QStringList, comments);
    QFETCH(QString, golden);
    const QString path = m_temp->filePath(QStringLiteral("out.txt"));
    QCOMPARE(writeExportTextFile(path, makeDocument(signature, names, comments)).error(), QString());
    QCOMPARE(fileBytes(path), fileBytes(testDataFile("export/" + golden)));
}

// The word processor's text is the file's text with "：" after every name and without the
// file's last line break.
void tst_Export::colonText()
{
    QFETCH(QString, signature);
    QFETCH(QStringList, names);
    QFETCH(QStringList, comments);
    QFETCH(QString, golden);
    QStringList lines = TextFile::splitLines(TextFile::decode(fileBytes(testDataFile("export/" + golden))));
    QCOMPARE(lines.takeLast(), QString());
    for (int student = 0, line = 4; student < names.size() && !names[student].isEmpty(); ++student) {
        QCOMPARE(lines[line], names[student]);
        lines[line] += u'：';
        line += 1 + int(comments[student].count(CrLf)) + 1 + 1 + 1;
    }
    QCOMPARE(composeExportText(makeDocument(signature, names, comments), NameLineStyle::Colon),
             TextFile::joinLines(lines));
}

void tst_Export::exportCommand_data()
{
    QTest::addColumn<QString>("target"); // "" = cancelled, "dir" = an existing folder
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("message");

    QTest::newRow("cancelled") << "" << true << "";
    QTest::newRow("existing file replaced, no question") << "existing.txt" << false << "";
    QTest::newRow("target is a folder")
        << "dir" << true << "导出失败！无法写入文件“%1”：同名的文件夹已存在。";
    // A text never replaces a class.
    QTest::newRow("the open class's own file") << "一班.py" << true << DocumentMessages::SaveOverOwnClassMessage;
    QTest::newRow("a comment file's name") << "二班.pyn" << true << DocumentMessages::SaveOverCommentFileMessage;
    QTest::newRow("a comment file by its content")
        << "class.txt" << true << DocumentMessages::SaveOverCommentFileMessage;
}

void tst_Export::exportCommand()
{
    QFETCH(QString, target);
    QFETCH(bool, modified);
    QFETCH(QString, message);
    const QString path = target.isEmpty() ? QString() : m_temp->filePath(target);
    QVERIFY(QDir().mkpath(m_temp->filePath(QStringLiteral("dir"))));
    QVERIFY(TextFile::writeText(m_temp->filePath(QStringLiteral("existing.txt")), u"旧内容").ok());
    const QString classPath = m_temp->filePath(QStringLiteral("一班.py"));
    const QString classText = CommentFile::Header + QStringLiteral("\r\nteacher=周老师\r\n");
    QVERIFY(TextFile::writeText(classPath, classText).ok());
    QVERIFY(TextFile::writeText(m_temp->filePath(QStringLiteral("class.txt")), classText).ok());
    const QStringList before = QDir(m_temp->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    Session state;
    state.replaceDocument(
        makeDocument(QStringLiteral("周老师"), {"王五", "陈六"}, {"第一行\r\n第二行\r\n\r\n第四行", ""}));
    if (modified)
        state.markModified();
    const CommentDocument document = state.Document();
    ScriptedPlatform platform;
    platform.expectSaveFile(path);
    if (!message.isEmpty())
        platform.expectMessage();

    exportToTextFile(state.Document(), platform, classPath);

    QHSY_VERIFY_DIALOGS(platform);
    QCOMPARE(platform.shown.first().text, ExportCommands::TextFilter);
    QCOMPARE(state.Document(), document);
    QCOMPARE(state.Modified(), modified);
    if (!message.isEmpty())
        QVERIFY(isCriticalNotice(platform.shown.last(), message.arg(path)));
    if (message.isEmpty() && !path.isEmpty())
        QCOMPARE(fileBytes(path), fileBytes(testDataFile("export/multi_line.txt")));
    else
        QCOMPARE(QDir(m_temp->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

// An export is no more readable to others than the class file it comes from.
void tst_Export::exportAsPrivateAsItsClass()
{
    const QString classPath = m_temp->filePath(QStringLiteral("一班.py"));
    QVERIFY(TextFile::writeText(classPath, u"class").ok());
    QVERIFY(QFile::setPermissions(classPath, QFile::ReadOwner | QFile::WriteOwner));
    const QString path = m_temp->filePath(QStringLiteral("一班.txt"));
    ScriptedPlatform platform;
    platform.expectSaveFile(path);

    exportToTextFile(makeDocument(QStringLiteral("周老师"), {"王五"}, {"评语"}), platform, classPath);

    QHSY_VERIFY_DIALOGS(platform);
    QVERIFY(QFile::exists(path));
    QVERIFY(!(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther)));
}

// A pipe chosen as the export file gets the text and stays a pipe.
void tst_Export::exportIntoPipe()
{
    const QString path = m_temp->filePath(QStringLiteral("pipe.txt"));
    FifoReader reader(path);
    QVERIFY(reader.isValid());
    const CommentDocument document = makeDocument(QStringLiteral("周老师"), {"王五"}, {"好"});
    QCOMPARE(writeExportTextFile(path, document).error(), QString());
    QCOMPARE(reader.bytes(), TextFile::encode(exportFileText(document)));
    QVERIFY(!QFileInfo(path).isFile());
}

void tst_Export::handOverToStandIn()
{
    QTemporaryDir bin;
    const QString script = bin.filePath(QStringLiteral("soffice"));
    QVERIFY(TextFile::saveAtomically(script, StandIn).ok());
    QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", (bin.path() + u':').toLocal8Bit() + m_path);

    // A hand-over folder from two days ago goes; one from this morning stays. What another
    // user may have made under the old, predictable name is no hindrance.
    const QString old = m_temp->filePath(WordProcessor::FolderPrefix + QStringLiteral("old"));
    const QString recent = m_temp->filePath(WordProcessor::FolderPrefix + QStringLiteral("recent"));
    for (const QString &folder : {old, recent})
        QVERIFY(QDir().mkdir(folder) &&
                TextFile::saveAtomically(folder + QStringLiteral("/评语-1.odt"), "x").ok());
    const utimbuf twoDaysAgo{time(nullptr) - 2 * 24 * 60 * 60, time(nullptr) - 2 * 24 * 60 * 60};
    QCOMPARE(::utime(QFile::encodeName(old).constData(), &twoDaysAgo), 0);
    QVERIFY(TextFile::saveAtomically(m_temp->filePath(QStringLiteral("qhsy-%1").arg(::getuid())), "planted")
                .error()
                .isEmpty());

    Session state;
    state.replaceDocument(makeDocument(QStringLiteral("李老师"), {"张三", "李四", "王五"},
                                       {"上课认真。\r\n作业工整。", "乐于助人。", "<&>"}));
    const CommentDocument document = state.Document();
    DesktopWordProcessor platform;
    platform.clipboard = QStringLiteral("之前");

    openInWordProcessor(state.Document(), platform);

    QHSY_VERIFY_DIALOGS(platform);
    QCOMPARE(platform.wordProcessorDocuments.size(), 1);
    const QString handedOver = platform.wordProcessorDocuments.first();
    const QFileInfo folder(QFileInfo(handedOver).absolutePath());
    QCOMPARE(folder.absolutePath(), QFileInfo(m_temp->path()).absoluteFilePath());
    QVERIFY(folder.fileName().startsWith(WordProcessor::FolderPrefix));
    QVERIFY(QFileInfo(handedOver).fileName().startsWith(QStringLiteral("评语-")));
    QVERIFY(!QFile::exists(old));
    QVERIFY(QFile::exists(recent));
    QCOMPARE(folder.ownerId(), ::getuid());
    QCOMPARE(folder.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString colonText = composeExportText(document, NameLineStyle::Colon);
    QCOMPARE(platform.clipboard, colonText);
    QCOMPARE(state.Document(), document);
    QCOMPARE(state.Modified(), false);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(bin.filePath(QStringLiteral("args.txt"))), 10000);
    QCOMPARE(QString::fromUtf8(fileBytes(bin.filePath(QStringLiteral("args.txt")))),
             WordProcessor::arguments(handedOver).join(u'\n') + u'\n');
    QCOMPARE(WordProcessor::arguments(handedOver).last(), handedOver);
    const QString copy = bin.filePath(QStringLiteral("copy.odt"));
    QVERIFY(fileBytes(copy).startsWith("PK"));
    QVERIFY(QFile::exists(handedOver)); // Writer may read it long after it was started

    const QByteArray content = odfContent(copy);
    if (content.isEmpty())
        QSKIP("unzip is not installed: the document's text was not checked");
    for (const QString &name : QStringList{"张三：", "李四：", "王五："})
        QVERIFY2(content.contains(name.toUtf8()), qPrintable(name));
    QVERIFY(content.contains("&lt;&amp;&gt;"));
    QVERIFY(content.contains("作业工整。"));
}

// Every hand-over makes a folder of its own, so no one can have made it beforehand.
void tst_Export::handOverFoldersAreFresh()
{
    const CommentDocument document = makeDocument(QStringLiteral("李老师"), {"张三"}, {"上课认真。"});
    const Result<QString> first =
        WordProcessor::writeHandOverDocument(QStringLiteral("张三：上课认真。"), document);
    const Result<QString> second =
        WordProcessor::writeHandOverDocument(QStringLiteral("张三：上课认真。"), document);
    QCOMPARE(first.error(), QString());
    QCOMPARE(second.error(), QString());
    QVERIFY(QFileInfo(*first).absolutePath() != QFileInfo(*second).absolutePath());
}

void tst_Export::noWordProcessor()
{
    QTemporaryDir bin; // PATH holds nothing but an empty folder
    qputenv("PATH", bin.path().toLocal8Bit());
    Session state;
    state.replaceDocument(makeDocument(QStringLiteral("李老师"), {"张三"}, {"上课认真。"}));
    state.markModified();
    DesktopWordProcessor platform;
    platform.clipboard = QStringLiteral("之前");
    platform.expectMessage();

    openInWordProcessor(state.Document(), platform);

    QHSY_VERIFY_DIALOGS(platform);
    // The fixed message, and what really went wrong below it.
    QVERIFY(isCriticalNotice(
        platform.shown.first(),
        QStringLiteral("创建Word对象失败，您的系统中可能没有安装Word！\r\n找不到程序 soffice。")));
    QCOMPARE(platform.clipboard, QStringLiteral("之前"));
    QCOMPARE(state.Modified(), true);
}

// LibreOffice itself reads the hand-over document: converted back to text it gives the
// colon-style text paragraph by paragraph.
void tst_Export::realWriterReadsDocument()
{
    const QString soffice = QStandardPaths::findExecutable(WordProcessor::Program);
    if (soffice.isEmpty())
        QSKIP("soffice is not installed");
    const CommentDocument document =
        makeDocument(QStringLiteral("李老师"), {"张三", "李四𡈼", "王五"},
                     {"上课认真。\r\n作业工整。\r\n\r\n继续努力！", "", "<&> \"引号\"  两个空格"});
    const QString text = composeExportText(document, NameLineStyle::Colon);
    const Result<QString> written = WordProcessor::writeHandOverDocument(text, document);
    QCOMPARE(written.error(), QString());
    const QString path = *written;

    // A fresh profile in a folder of its own, so that no running LibreOffice is disturbed.
    const QString home = m_temp->filePath(QStringLiteral("home"));
    const QString outDir = m_temp->filePath(QStringLiteral("converted"));
    QVERIFY(QDir().mkpath(home));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    process.setProcessEnvironment(env);
    process.start(soffice, {QStringLiteral("--headless"),
                            QStringLiteral("-env:UserInstallation=") +
                                QUrl::fromLocalFile(home + "/profile").toString(),
                            QStringLiteral("--convert-to"), QStringLiteral("txt:Text (encoded):UTF8"),
                            QStringLiteral("--outdir"), outDir, path});
    QVERIFY2(process.waitForFinished(120000), "soffice did not finish in time");
    const QString converted = outDir + u'/' + QFileInfo(path).completeBaseName() + QStringLiteral(".txt");
    QVERIFY2(QFile::exists(converted), process.readAllStandardError().constData());

    QString actual = QString::fromUtf8(fileBytes(converted));
    if (actual.startsWith(QChar(0xFEFF)))
        actual.remove(0, 1);
    actual.replace(CrLf, QStringLiteral("\n"));
    QString expected = text;
    expected.replace(CrLf, QStringLiteral("\n"));
    QCOMPARE(actual, expected);
}

// One page per student: the name line, a paragraph per line of the comment, the signature set
// right, each in its font.
void tst_Export::wordDocumentLayout()
{
    CommentDocument document =
        makeDocument(QStringLiteral("李老师"), {"张三", "李四"}, {"上课认真。\r\n作业工整。", "好"});
    document.ItemFonts[std::size_t(Item::StudentName)] = ItemFont{"黑体", 14, true, false};
    QTextDocument text;
    WordDocument::layOut(document, text);
    QStringList blocks;
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        QString line = block.text();
        if (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            line.prepend(u'|');
        if (block.blockFormat().alignment() & Qt::AlignRight)
            line.append(QStringLiteral(">"));
        blocks << line;
    }
    QCOMPARE(blocks, (QStringList{"张三同学：", "上课认真。", "作业工整。", "李老师>", "|李四同学：", "好",
                                  "李老师>"}));
    const QTextCharFormat name = text.begin().begin().fragment().charFormat();
    QCOMPARE(name.fontPointSize(), 14.0);
    QCOMPARE(name.fontWeight(), int(QFont::Bold));
}

void tst_Export::exportWordDocument_data()
{
    QTest::addColumn<QString>("chosen");  // in the save dialog
    QTest::addColumn<QString>("written"); // the file written
    QTest::addColumn<bool>("soffice");    // LibreOffice on PATH
    QTest::addColumn<QString>("said");    // how the message starts
    QTest::newRow("odt without LibreOffice") << "班级.odt"
                                             << "班级.odt" << false << "已生成文档";
    QTest::newRow("docx without LibreOffice") << "班级.docx"
                                              << "" << false << "导出失败！无法生成文档";
    QTest::newRow("no suffix: docx") << "班级"
                                     << "班级.docx" << true << "已生成文档";
}

namespace {

/// The pages of a word-processor file as LibreOffice lays them out, through a PDF of them: each
/// page's lines without blanks, joined by "|".
QStringList pagesOf(const QString &document)
{
    QTemporaryDir work;
    const Result<QString> pdf = LibreOffice::convert(document, QStringLiteral("pdf"), work.path());
    if (!pdf)
        return {pdf.error()};
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf.value(), QStringLiteral("-")});
    pdftotext.waitForFinished();
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
    pages.removeLast(); // after the last page's form feed
    for (QString &page : pages) {
        QStringList lines = page.split(u'\n');
        for (QString &line : lines)
            line = line.simplified();
        lines.removeAll(QString());
        page = lines.join(u'|');
    }
    return pages;
}

} // namespace

// 文件 → 导出为Word文档: .docx through LibreOffice, .odt by itself.
void tst_Export::exportWordDocument()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(bool, soffice);
    QFETCH(QString, said);
    if (soffice && QStandardPaths::findExecutable(WordProcessor::Program).isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    QTemporaryDir bin;
    if (!soffice)
        qputenv("PATH", bin.path().toLocal8Bit());
    QTemporaryDir out;
    ScriptedPlatform platform;
    platform.expectSaveFile(out.filePath(chosen));
    platform.expectMessage();
    exportToWordDocument(makeDocument(QStringLiteral("李老师"), {"张三", "李四", "王五"},
                                      {"上课认真。\r\n作业工整。", "好", ""}),
                         platform);
    QHSY_VERIFY_DIALOGS(platform);
    QVERIFY2(platform.shown.last().text.startsWith(said), qPrintable(platform.shown.last().text));
    const QStringList files = QDir(out.path()).entryList(QDir::Files);
    QCOMPARE(files, written.isEmpty() ? QStringList{} : QStringList{written});
    if (!written.isEmpty())
        QVERIFY(fileBytes(out.filePath(written)).startsWith("PK")); // both are ZIP packages
    if (soffice) // read back by LibreOffice: a page for each student
        QCOMPARE(pagesOf(out.filePath(written)), (QStringList{"张三同学：|上课认真。|作业工整。|李老师",
                                                              "李四同学：|好|李老师", "王五同学：|李老师"}));
}

QTEST_MAIN(tst_Export)
#include "tst_export.moc"
