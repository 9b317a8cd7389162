// One file per student: which students, the names, files already there, and what is written.
#include "core/document/commentdocument.h"
#include "core/platform/programfiles.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/pdfexport.h"
#include "core/printing/pdf/pdfshownglyphs.h"
#include "core/printing/pdf/pdfsplit.h"
#include "core/printing/printrun.h"
#include "core/printing/sheetlayout.h"
#include "core/printing/studentcopies.h"
#include "core/printing/studentfiles.h"
#include "core/printing/textmeasurer.h"
#include "core/printing/pdf/tounicodemap.h"
#include "pageitems.h"
#include "resultvalue.h"
#include "scriptedplatform.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPainterPath>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <map>

namespace {

LayoutScheme a4()
{
    return expectValue(LayoutSchemeFile(QStringLiteral(QHSY_DATA_DIR "/") + ProgramFiles::SchemesName)
                           .loadScheme(u"A4纵向"_qs));
}

/// An embedded font of a PDF: its character map and its TrueType file.
struct EmbeddedFont
{
    UnicodeMap toUnicode;
    QByteArray file;
};

QByteArray streamBytes(QPDFObjectHandle stream)
{
    if (!stream.isStream())
        return {};
    const std::shared_ptr<Buffer> data = stream.getStreamData();
    return QByteArray(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize()));
}

/// The embedded fonts of a PDF's pages, by name without the subset tag.
std::map<std::string, EmbeddedFont> embeddedFonts(const QByteArray &pdf)
{
    QPDF document;
    document.processMemoryFile("pdf", pdf.constData(), size_t(pdf.size()));
    std::map<std::string, EmbeddedFont> fonts;
    for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(document).getAllPages()) {
        QPDFObjectHandle resources = page.getAttribute("/Resources", false).getKey("/Font");
        for (const std::string &key : resources.getKeys()) {
            QPDFObjectHandle font = resources.getKey(key);
            const std::string name = font.getKey("/BaseFont").getName();
            QPDFObjectHandle descriptor = font.getKey("/DescendantFonts").getArrayItem(0).getKey("/FontDescriptor");
            fonts[name.substr(name.find('+') + 1)] = {
                readUnicodeMap(streamBytes(font.getKey("/ToUnicode")).toStdString()),
                streamBytes(descriptor.getKey("/FontFile2"))};
        }
    }
    return fonts;
}

QSet<char32_t> charactersOf(const QString &text)
{
    QSet<char32_t> characters;
    for (const char32_t c : text.toUcs4()) {
        if (!QChar::isSpace(c))
            characters.insert(c);
    }
    return characters;
}

} // namespace

class tst_StudentCopies : public QObject
{
    Q_OBJECT

private slots:
    void copies_data()
    {
        QTest::addColumn<StudentCopies::Kind>("kind");
        QTest::addColumn<bool>("includeEmpty");
        QTest::addColumn<QStringList>("expected");

        const QStringList written{u"01 李思彤.pdf"_qs, u"03 王_五.pdf"_qs};
        QTest::newRow("pdf, written only") << StudentCopies::Kind::Pdf << false << written;
        QTest::newRow("png, empty comments too")
            << StudentCopies::Kind::Png << true
            << QStringList{u"01 李思彤.png"_qs, u"02 李思彤.png"_qs, u"03 王_五.png"_qs};
    }
    void copies()
    {
        QFETCH(StudentCopies::Kind, kind);
        QFETCH(bool, includeEmpty);
        QFETCH(QStringList, expected);

        CommentDocument document;
        document.slot(1) = {u"李思彤"_qs, u"你上课认真听讲。"_qs};
        document.slot(2) = {u"李思彤"_qs, u"  "_qs};
        document.slot(3) = {u"王/五"_qs, u"你乐于助人。"_qs};
        QTemporaryDir folder;
        // A file of one of those names is there already: the plan names it for the question.
        QFile there(QDir(folder.path()).filePath(expected.last()));
        QVERIFY(there.open(QIODevice::WriteOnly) && there.write("old") == 3);
        there.close();

        StudentCopies::Plan plan = StudentCopies::plan(document, folder.path(), kind, includeEmpty);
        QCOMPARE(plan.fileNames, expected);
        // A class kept private: its parents' files are private too.
        QTemporaryDir classFolder;
        plan.classPath = QDir(classFolder.path()).filePath(u"一班.py"_qs);
        QFile classFile(plan.classPath);
        QVERIFY(classFile.open(QIODevice::WriteOnly));
        QVERIFY(classFile.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(plan.existing, QStringList{expected.last()});

        QList<int> told;
        const StudentCopies::Outcome outcome = StudentCopies::write(plan, folder.path(), kind, document, a4(),
                                                                    QtTextMeasurer(), [&](int done, int) {
                                                                        told.append(done);
                                                                        return false;
                                                                    });
        QVERIFY2(outcome.error.isEmpty(), qPrintable(outcome.error));
        QCOMPARE(outcome.written.size(), expected.size());
        QCOMPARE(told.size(), expected.size() + 1);
        for (const QString &path : outcome.written)
            QCOMPARE(QFile::permissions(path), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        const QString last = outcome.written.last();
        if (kind == StudentCopies::Kind::Png) {
            // 150 dpi: A4 is 1,240 pixels across; something is drawn on white.
            const QImage image(last);
            QCOMPARE(image.size(), QSize(1240, 1754));
            QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
            QVERIFY(image.convertToFormat(QImage::Format_Grayscale8) !=
                    QImage(image.size(), QImage::Format_Grayscale8));
        } else {
            QProcess text;
            text.start(u"pdftotext"_qs, {last, u"-"_qs});
            QVERIFY(text.waitForFinished(30000));
            const QString out = QString::fromUtf8(text.readAllStandardOutput());
            QVERIFY2(out.contains(u"王/五"_qs) && out.contains(u"你乐于助人。"_qs), qPrintable(out));
        }
    }

    // 导出每位学生一份 as the teacher meets it: each way it ends, what was asked and told, and
    // the boxes one at a time in their order: the question before the progress box opens, the
    // report after it has closed.
    void exportCopies_data()
    {
        // folder: "" the temporary folder, a name in it that is not there, or a path
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("there"); // what is in the folder as "02 乙.pdf": "file", "folder" or ""
        QTest::addColumn<bool>("commentsWritten");
        QTest::addColumn<int>("choice"); // -1: no question expected; else the button pressed
        QTest::addColumn<int>("stopAt"); // the files done when 停止 is pressed; -1: never
        // boxes, in order: 问 the question, 开 and 关 the progress box, 告 a message
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QByteArray>("afterwards"); // what the file there before holds

        QTest::newRow("no such folder") << u"无"_qs << u"file"_qs << true << -1 << -1 << u"告"_qs
                                        << u"文件夹“%1”不存在"_qs << QByteArray("old");
        QTest::newRow("nothing written yet") << QString() << u"file"_qs << false << -1 << -1 << u"告"_qs
                                             << u"还没有写了评语的学生"_qs << QByteArray("old");
        QTest::newRow("a file there, replaced")
            << QString() << u"file"_qs << true << 0 << -1 << u"问开关告"_qs
            << u"已导出 2 个文件到文件夹“%1”"_qs << QByteArray("%PDF");
        QTest::newRow("a file there, kept")
            << QString() << u"file"_qs << true << 1 << -1 << u"问"_qs << QString() << QByteArray("old");
        QTest::newRow("no file there") << QString() << QString() << true << -1 << -1 << u"开关告"_qs
                                       << u"已导出 2 个文件到文件夹“%1”"_qs << QByteArray();
        QTest::newRow("stopped") << QString() << QString() << true << -1 << 1 << u"开关告"_qs
                                 << u"已停止。已写好的 1 个文件留在文件夹“%1”中"_qs << QByteArray();
        // /proc takes no new file, whoever asks: it stands for a read-only folder.
        QTest::newRow("a folder that takes no files")
            << u"/proc"_qs << QString() << true << -1 << -1 << u"告"_qs << u"无法在文件夹“%1”中保存文件"_qs
            << QByteArray();
        QTest::newRow("a file that cannot be written")
            << QString() << u"folder"_qs << true << 0 << -1 << u"问开关告"_qs
            << u"无法写入文件“%1/02 乙.pdf”：同名的文件夹已存在。\n已写好的 1 个文件"_qs << QByteArray();
    }
    void exportCopies()
    {
        QFETCH(QString, folder);
        QFETCH(QString, there);
        QFETCH(bool, commentsWritten);
        QFETCH(int, choice);
        QFETCH(int, stopAt);
        QFETCH(QString, boxes);
        QFETCH(QString, told);
        QFETCH(QByteArray, afterwards);
        QTemporaryDir dir;
        const QString path = folder.startsWith(u'/') ? folder
                             : folder.isEmpty()      ? dir.path()
                                                     : dir.filePath(folder);
        QFile thereFile(dir.filePath(u"02 乙.pdf"_qs));
        if (there == u"file"_qs) {
            QVERIFY(thereFile.open(QIODevice::WriteOnly) && thereFile.write("old") == 3);
            thereFile.close();
        } else if (there == u"folder"_qs) {
            QVERIFY(QDir(dir.path()).mkdir(thereFile.fileName()));
        }
        CommentDocument document;
        document.slot(1) = {u"甲"_qs, commentsWritten ? u"一"_qs : QString()};
        document.slot(2) = {u"乙"_qs, commentsWritten ? u"二"_qs : QString()};

        ScriptedPlatform platform;
        for (const QChar box : boxes) {
            if (box == u'问')
                platform.expectChoice(choice);
            else if (box == u'开')
                platform.expectProgress(stopAt);
            else if (box == u'告')
                platform.expectMessage();
        }
        StudentCopies::exportCopies(document, {path, StudentCopies::Kind::Pdf, false, {}, {}}, a4(), QtTextMeasurer(),
                                    platform);
        QHSY_VERIFY_DIALOGS(platform);
        QString shown;
        for (const ShownDialog &dialog : std::as_const(platform.shown)) {
            shown += dialog.kind == ShownDialog::Progress         ? u'开'
                     : dialog.kind == ShownDialog::ProgressClosed ? u'关'
                     : dialog.choices.isEmpty()                   ? u'告'
                                                                  : u'问';
        }
        QCOMPARE(shown, boxes);
        if (choice >= 0) {
            QCOMPARE(platform.shown.first().choices, (QStringList{u"替换"_qs, u"取消"_qs}));
            QVERIFY(platform.shown.first().text.contains(u"已有 1 个同名文件（如“02 乙.pdf”）"_qs));
        }
        if (!told.isEmpty())
            QVERIFY2(platform.shown.last().text.contains(QString(told).replace(u"%1"_qs, path)), qPrintable(platform.shown.last().text));
        if (there == u"file"_qs) {
            QVERIFY(thereFile.open(QIODevice::ReadOnly));
            QVERIFY(thereFile.readAll().startsWith(afterwards));
        }
    }

    // Several students a sheet: pages, the sheet's way round, and each student's text whole and in
    // cell order in the content (poppler's default reading treats side-by-side cells whose items line
    // up as a table and reads across them; -raw follows the drawing).
    void sheets_data()
    {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<int>("perSheet");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("landscape");

        QTest::newRow("A5, 2 a sheet: A4 turned") << u"A5纵向"_qs << 2 << 3 << true;
        QTest::newRow("A4, 4 a sheet") << u"A4纵向"_qs << 4 << 2 << false;
        QTest::newRow("B5, 2 a sheet") << u"B5"_qs << 2 << 3 << true;
    }
    void sheets()
    {
        QFETCH(QString, scheme);
        QFETCH(int, perSheet);
        QFETCH(int, pages);
        QFETCH(bool, landscape);
        CommentDocument document;
        for (int i = 1; i <= 5; ++i)
            document.slot(i) = {u"学生%1"_qs.arg(i), u"第%1位学生的评语。\r\n第二行。"_qs.arg(i)};
        const LayoutScheme layout =
            expectValue(LayoutSchemeFile(QStringLiteral(QHSY_DATA_DIR "/") + ProgramFiles::SchemesName)
                            .loadScheme(scheme));
        QTemporaryDir dir;
        const QString out = dir.filePath(u"sheets.pdf"_qs);
        SheetOptions sheets;
        sheets.perSheet = perSheet;
        QVERIFY(writeClassesPdf(out, {{&document, {0, 1, 2, 3, 4}, {}}}, layout, QtTextMeasurer(), sheets).ok());

        QProcess info;
        info.start(u"pdfinfo"_qs, {out});
        QVERIFY(info.waitForFinished(30000));
        const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(infoText.contains(u"Pages:           %1\n"_qs.arg(pages)), qPrintable(infoText));
        // The sheet is A4, turned for pages side by side.
        QVERIFY2(infoText.contains(landscape ? u"842 x 595 pts (A4)"_qs : u"595 x 842 pts (A4)"_qs), qPrintable(infoText));

        QProcess text;
        text.start(u"pdftotext"_qs, {u"-raw"_qs, out, u"-"_qs});
        QVERIFY(text.waitForFinished(30000));
        QStringList lines = QString::fromUtf8(text.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        lines.removeAll(u"\f"_qs);
        QStringList expected;
        for (int i = 1; i <= 5; ++i)
            expected << u"学生%1同学："_qs.arg(i) << u"第%1位学生的评语。"_qs.arg(i) << u"第二行。"_qs
                     << document.TeacherSignature;
        for (QString &line : lines)
            line.remove(u'\f');
        QCOMPARE(lines, expected);
    }

    // The glyphs a page shows are read off its content stream, the source of what each file's
    // fonts keep: every way of writing a string, and what is not text, read as PDF reads them.
    void shownGlyphs_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("codes"); // as hexadecimal, in order
        QTest::addColumn<bool>("followed");

        QTest::newRow("hex string") << QByteArray("BT /F1 9 Tf <00410042> Tj ET") << u"0041 0042"_qs << true;
        QTest::newRow("array, kerning, literal with an octal escape")
            << QByteArray("BT /F1 9 Tf [<0041> -120 (\\000B)] TJ ET") << u"0041 0042"_qs << true;
        QTest::newRow("escaped and nested parentheses")
            << QByteArray("/F1 9 Tf (\\(\\)) Tj (()) Tj") << u"2829 2829"_qs << true;
        QTest::newRow("odd hex digits, blanks inside") << QByteArray("/F1 9 Tf <00 4> Tj") << u"0040"_qs << true;
        QTest::newRow("comment and inline image skipped")
            << QByteArray("% <0099> Tj\nBI /W 1 /H 1 ID x(EI) <0098> Tj\nEI /F1 9 Tf <0043> Tj")
            << u"0043"_qs << true;
        QTest::newRow("font restored by Q") << QByteArray("/F1 9 Tf q /F9 9 Tf Q <0045> Tj") << u"0045"_qs << true;
        QTest::newRow("name with an escape") << QByteArray("/F#31 9 Tf <0046> Tj") << u"0046"_qs << true;
        QTest::newRow("a font that cannot be followed") << QByteArray("/F9 9 Tf <0041> Tj") << QString() << false;
        QTest::newRow("a boolean is an operand") << QByteArray("/F1 9 Tf <0041> true Tj") << QString() << true;
    }
    void shownGlyphs()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, codes);
        QFETCH(bool, followed);

        QPDF pdf;
        pdf.emptyPDF();
        QPDFObjectHandle font = pdf.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /Type /Font /Subtype /Type0 /Encoding /Identity-H /BaseFont /X /DescendantFonts [] >>"));
        QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 595 842] >>");
        page.replaceKey("/Resources",
                        QPDFObjectHandle::parse("<< /Font << /F9 << /Type /Font /Subtype /Type1 >> >> >>"));
        page.getKey("/Resources").getKey("/Font").replaceKey("/F1", font);
        page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, contents.toStdString()));
        QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
        QPDFPageObjectHelper added = QPDFPageDocumentHelper(pdf).getAllPages().front();

        const ShownGlyphs shown(added);
        QStringList read;
        for (const ShownGlyph &glyph : shown.glyphs)
            read.append(QString::number(glyph.code, 16).rightJustified(4, u'0'));
        QCOMPARE(read.join(u' '), codes);
        QCOMPARE(shown.followed, followed);
    }

    // Stopped after the first file, and a paper that cannot be printed on: what is written stays
    // whole, nothing more is written, and the reason is the scheme's.
    // Each student's PDF holds the characters of its own page only: no glyph and no character map
    // entry of another student's name or comment; its text is still its student's.
    void ownCharactersOnly_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("comments");

        QTest::newRow("three students")
            << QStringList{u"赵一鸣"_qs, u"钱二朵"_qs, u"孙三娜"_qs}
            << QStringList{u"你爱画画，线条流畅。"_qs, u"你跑步很快，勇夺冠军！"_qs, u"你喜欢唱歌，嗓音甜美。"_qs};
        QTest::newRow("beyond the BMP, Latin letters")
            << QStringList{u"吉𠮷"_qs, u"Anna Lee"_qs} << QStringList{u"书法进步了。"_qs, u"Keep going!"_qs};
    }
    void ownCharactersOnly()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, comments);

        CommentDocument document;
        QList<int> students;
        for (int i = 0; i < names.size(); ++i) {
            document.slot(i + 1) = {names[i], comments[i]};
            students.append(i);
        }
        const QtTextMeasurer measurer;
        const QByteArray whole = expectValue(classesPdf({ClassPages{&document, students, {}}}, a4(), measurer));
        const QList<QByteArray> files = expectValue(splitPdfPages(whole));
        QCOMPARE(files.size(), names.size());
        const std::map<std::string, EmbeddedFont> classFonts = embeddedFonts(whole);
        QTemporaryDir folder;
        for (int i = 0; i < files.size(); ++i) {
            const QString path = folder.filePath(QString::number(i) + u".pdf"_qs);
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(files[i]) == files[i].size());
            out.close();
            QProcess text;
            text.start(u"pdftotext"_qs, {u"-enc"_qs, u"UTF-8"_qs, path, u"-"_qs});
            QVERIFY(text.waitForFinished(30000));
            const QString shown = QString::fromUtf8(text.readAllStandardOutput());
            QVERIFY2(shown.contains(names[i]) && shown.contains(comments[i]), qPrintable(shown));

            const QSet<char32_t> own = charactersOf(shown);
            QSet<char32_t> othersOnly;
            for (int j = 0; j < names.size(); ++j) {
                if (j != i)
                    othersOnly += charactersOf(names[j] + comments[j]);
            }
            othersOnly -= own;
            QVERIFY(!othersOnly.isEmpty());
            for (const auto &[name, font] : embeddedFonts(files[i])) {
                for (const auto &[code, mapped] : font.toUnicode)
                    QVERIFY2(!othersOnly.intersects(charactersOf(mapped)), qPrintable(mapped));
                // The glyphs by the class's codes (the codes are the glyph ids): another student's
                // are gone, this student's are drawn.
                const QRawFont raw(font.file, 12);
                QVERIFY(raw.isValid());
                for (const auto &[code, mapped] : classFonts.at(name).toUnicode) {
                    const QSet<char32_t> characters = charactersOf(mapped);
                    if (characters.isEmpty())
                        continue;
                    if (othersOnly.contains(characters))
                        QVERIFY2(raw.pathForGlyph(code).isEmpty(), qPrintable(mapped));
                    else if (own.contains(characters))
                        QVERIFY2(!raw.pathForGlyph(code).isEmpty(), qPrintable(mapped));
                }
            }
        }
    }

    void stoppedOrRefused()
    {
        CommentDocument document;
        document.slot(1) = {u"甲"_qs, u"一"_qs};
        document.slot(2) = {u"乙"_qs, u"二"_qs};
        QTemporaryDir folder;
        const auto plan = StudentCopies::plan(document, folder.path(), StudentCopies::Kind::Png, false);
        const auto outcome =
            StudentCopies::write(plan, folder.path(), StudentCopies::Kind::Png, document, a4(),
                                 QtTextMeasurer(), [](int done, int) { return done == 1; });
        QVERIFY(outcome.stopped);
        QCOMPARE(outcome.written.size(), 1);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1);

        LayoutScheme noPaper = a4();
        noPaper.paperwidth = u"0"_qs;
        const auto refused = StudentCopies::write(plan, folder.path(), StudentCopies::Kind::Png, document,
                                                  noPaper, QtTextMeasurer());
        QCOMPARE(refused.error, noPaper.paperSizeError());
        QVERIFY(refused.written.isEmpty());
    }

    // The name of each student's file.
    void fileNames_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("classSize");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("two digits") << 1 << 45 << u"李思彤"_qs << u"01 李思彤.pdf"_qs;
        QTest::newRow("three from 100 students") << 7 << 100 << u"李思彤"_qs << u"007 李思彤.pdf"_qs;
        QTest::newRow("refused characters")
            << 12 << 40 << u"a/b\\c:d*e?f\"g<h>i|j\tk"_qs << u"12 a_b_c_d_e_f_g_h_i_j_k.pdf"_qs;
        QTest::newRow("dots stay a name") << 3 << 40 << u".."_qs << u"03 ...pdf"_qs;
        QTest::newRow("outside the BMP kept whole") << 5 << 40 << u"𠮷𠮷"_qs << u"05 𠮷𠮷.pdf"_qs;
        // 255 bytes: "01 " and ".pdf" leave 248, 82 characters of three bytes and a surrogate pair
        // that would need 4 more bytes than the 2 left is cut whole.
        QTest::newRow("long name shortened by whole characters")
            << 1 << 40 << QString(QString(82, u'张') + u"𠮷"_qs + QString(10, u'张'))
            << QString(u"01 "_qs + QString(82, u'张') + u".pdf"_qs);
    }
    void fileNames()
    {
        QFETCH(int, position);
        QFETCH(int, classSize);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString fileName = StudentFiles::fileName(position, classSize, name, QStringLiteral("pdf"));
        QCOMPARE(fileName, expected);
        QVERIFY(fileName.toUtf8().size() <= StudentFiles::MaxNameBytes);
    }
};

QTEST_MAIN(tst_StudentCopies)
#include "tst_studentcopies.moc"
