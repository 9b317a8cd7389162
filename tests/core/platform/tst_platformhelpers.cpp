#include "core/platform/desktopviewer.h"
#include "core/platform/fileexists.h"
#include "core/platform/filefilter.h"
#include "core/platform/fontsubstitution.h"
#include "core/platform/leadingnumber.h"
#include "core/platform/messagetext.h"
#include "core/platform/savelocation.h"
#include "fifowatchdog.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTest>

#include <QFile>

class tst_PlatformHelpers : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void fileFilter_data();
    void fileFilter();
    void suffixOfChosenType_data();
    void suffixOfChosenType();
    void fileExists();
    void proposedSavePath_data();
    void proposedSavePath();
    void faceNamesReachInstalledCjkFonts_data();
    void faceNamesReachInstalledCjkFonts();
    void itemFontStyle();
    void chosenFontKeepsFaceNameWhenUnchanged();
    void desktopViewer_data();
    void desktopViewer();
    void boundedMessage_data();
    void boundedMessage();
};

void tst_PlatformHelpers::boundedMessage_data()
{
    using MessageText::Cut;
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QString line(MessageText::MaxLineLength, u'甲');
    const QString lines = QStringLiteral("一\r\n").repeated(MessageText::MaxLines);
    QTest::newRow("short") << "找不到文件。\n请检查。" << "找不到文件。\n请检查。";
    QTest::newRow("the longest line") << line << line;
    QTest::newRow("a line too long") << line + "乙\n丙" << line + Cut + "\n丙";
    QTest::newRow("a 60 MB line") << QString(30 << 20, u'x') << QString(MessageText::MaxLineLength, u'x') + Cut;
    QTest::newRow("a character outside the BMP stays whole")
        << line.first(MessageText::MaxLineLength - 1) + QStringLiteral("𠀀") + "乙"
        << line.first(MessageText::MaxLineLength - 1) + Cut;
    QTest::newRow("the most lines") << lines << lines;
    QTest::newRow("a line more") << lines + "二" << lines + Cut;
    QTest::newRow("a million lines") << QStringLiteral("一\n").repeated(1'000'000)
                                     << QStringLiteral("一\n").repeated(MessageText::MaxLines) + Cut;
    QTest::newRow("the most characters")
        << (line + "\n").repeated(10) << (line + "\n").repeated(MessageText::MaxLength / (line.size() + 1) + 1) + Cut;
}

void tst_PlatformHelpers::boundedMessage()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(MessageText::bounded(text), shown);
}

void tst_PlatformHelpers::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("integer") << "9" << 9.0;
    QTest::newRow("decimal") << "10.5" << 10.5;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("sentinel") << "xname" << 0.0;
    QTest::newRow("unit behind") << "2.5cm" << 2.5;
    QTest::newRow("blanks between digits") << " 1 2 . 5 x" << 12.5;
    QTest::newRow("tab") << "\t7" << 7.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "3." << 3.0;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("negative") << "-3.25" << -3.25;
    QTest::newRow("negative point") << "-.5" << -0.5;
    QTest::newRow("plus") << "+4" << 4.0;
    QTest::newRow("two signs") << "--1" << 0.0;
    QTest::newRow("sign after digit ends") << "5-1" << 5.0;
    QTest::newRow("full-width digits are not digits") << "１２" << 0.0;
}

void tst_PlatformHelpers::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(::leadingNumber(text), value);
    // Too many digits for a double give a finite number, never inf or NaN.
    QVERIFY(qIsFinite(::leadingNumber(QString(400, u'9'))));
}

void tst_PlatformHelpers::fileFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");

    QTest::newRow("open") << "评语文件|*.py|所有文件|*.*"
                          << "评语文件 (*.py);;所有文件 (*)";
    QTest::newRow("save") << "评语文件|*.py|文本文件|*.txt|Word文件|*.doc|所有文件|*.*"
                          << "评语文件 (*.py);;文本文件 (*.txt);;Word文件 (*.doc);;所有文件 (*)";
    QTest::newRow("several patterns") << "文本|*.txt;*.csv"
                                      << "文本 (*.txt *.csv)";
    QTest::newRow("odd entry ignored") << "文本文件|*.txt|孤"
                                       << "文本文件 (*.txt)";
}

void tst_PlatformHelpers::fileFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(toQtFileFilter(filter), qt);
}

void tst_PlatformHelpers::suffixOfChosenType_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("result");
    QTest::newRow("bare name") << "/h/三班"
                               << "OpenDocument 文本 (*.odt)"
                               << "/h/三班.odt";
    QTest::newRow("first of several") << "/h/名单"
                                      << "文本 (*.txt *.csv)"
                                      << "/h/名单.txt";
    QTest::newRow("suffix typed") << "/h/三班.docx"
                                  << "OpenDocument 文本 (*.odt)"
                                  << "/h/三班.docx";
    QTest::newRow("every file") << "/h/三班"
                                << "所有文件 (*)"
                                << "/h/三班";
    QTest::newRow("cancelled") << ""
                               << "OpenDocument 文本 (*.odt)"
                               << "";
}

void tst_PlatformHelpers::suffixOfChosenType()
{
    QFETCH(QString, path);
    QFETCH(QString, type);
    QFETCH(QString, result);
    QCOMPARE(withSuffixOf(path, type), result);
}

// Save and export dialogs open on the class's own name, in its folder, never in the kernel's.
void tst_PlatformHelpers::proposedSavePath_data()
{
    QTest::addColumn<QString>("classPath");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("proposed");
    const QString home = QDir::homePath();
    const auto row = [](const char *name, const char *classPath, const char *suffix,
                        const QString &proposed) {
        QTest::newRow(name) << QString::fromUtf8(classPath) << QString::fromUtf8(suffix) << proposed;
    };

    for (const char *suffix : {"pdf", "docx", "txt", "py"})
        row(suffix, "/home/t/评语/三年级二班.py", suffix,
            QStringLiteral("/home/t/评语/三年级二班.") + suffix);
    row("a dot in the name", "/home/t/三年级.二班.py", "txt", QStringLiteral("/home/t/三年级.二班.txt"));
    row("another suffix", "/home/t/二班.PY", "py", QStringLiteral("/home/t/二班.py"));
    row("a new class", "", "pdf", QString());
    row("/proc", "/proc/self/fd/3", "pdf", home + QStringLiteral("/3.pdf"));
    row("/proc itself", "/proc/二班.py", "txt", home + QStringLiteral("/二班.txt"));
    row("/sys", "/sys/class/二班.py", "docx", home + QStringLiteral("/二班.docx"));
    row("/dev", "/dev/stdin", "txt", home + QStringLiteral("/stdin.txt"));
    row("/proc reached through ..", "/tmp/../proc/1/二班.py", "pdf", home + QStringLiteral("/二班.pdf"));
    row("a name only like /proc", "/process/二班.py", "pdf", QStringLiteral("/process/二班.pdf"));
}

void tst_PlatformHelpers::proposedSavePath()
{
    QFETCH(QString, classPath);
    QFETCH(QString, suffix);
    QFETCH(QString, proposed);
    QCOMPARE(SaveLocation::proposedPath(classPath, suffix), proposed);
}

void tst_PlatformHelpers::fileExists()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.vxd");
    QVERIFY(!FileExists(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(FileExists(path));
    QVERIFY(!FileExists(dir.path()));
    QVERIFY(!FileExists(QString()));
    // A pipe is no file, and asking must not wait for a writer.
    const QString fifo = dir.filePath("pipe.vxd");
    QVERIFY(makeFifo(fifo));
    bool exists = true;
    QVERIFY2(finishesWithoutWaitingOn(fifo, [&] { exists = FileExists(fifo); }), "waited on the pipe");
    QVERIFY(!exists);
}

void tst_PlatformHelpers::faceNamesReachInstalledCjkFonts_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QStringList>("families");
    const QStringList serif{"Noto Serif CJK SC", "AR PL UMing CN"};
    QTest::newRow("宋体") << "宋体" << serif;
    QTest::newRow("SimSun") << "SimSun" << serif;
    QTest::newRow("仿宋_GB2312") << "仿宋_GB2312" << serif;
    QTest::newRow("黑体") << "黑体" << QStringList{"Noto Sans CJK SC"};
    QTest::newRow("微软雅黑") << "微软雅黑" << QStringList{"Noto Sans CJK SC"};
    QTest::newRow("楷体_GB2312") << "楷体_GB2312" << QStringList{"AR PL UKai CN", "Noto Serif CJK SC"};
}

void tst_PlatformHelpers::faceNamesReachInstalledCjkFonts()
{
    QFETCH(QString, face);
    QFETCH(QStringList, families);
    QCOMPARE(FontSubstitution::substitutesFor(face), families);
    const QFont font = FontSubstitution::toQFont({face, 12, false, false});
    QCOMPARE(font.family(), face); // the file's name is kept
    const QString shown = QFontInfo(font).family();
    QVERIFY2(families.contains(shown), qPrintable(face + " is shown with " + shown));
}

void tst_PlatformHelpers::itemFontStyle()
{
    const QFont font = FontSubstitution::toQFont({"黑体", 10.5, true, true});
    QCOMPARE(font.pointSizeF(), 10.5);
    QVERIFY(font.bold());
    QVERIFY(font.italic());
    // A size of 0 (a file with nothing after the size key) keeps a usable size.
    QVERIFY(FontSubstitution::toQFont({"宋体", 0, false, false}).pointSizeF() > 0);
}

void tst_PlatformHelpers::chosenFontKeepsFaceNameWhenUnchanged()
{
    const ItemFont preset{"宋体", 9, false, false};
    QFont shown = FontSubstitution::toQFont(preset);
    shown.setFamily(QFontInfo(shown).family());
    shown.setPointSizeF(14);
    shown.setBold(true);
    QCOMPARE(FontSubstitution::fromQFont(shown, preset), (ItemFont{"宋体", 14, true, false}));

    QFont other("DejaVu Sans");
    other.setPointSizeF(11);
    QCOMPARE(FontSubstitution::fromQFont(other, preset).fontName, QStringLiteral("DejaVu Sans"));
}

QTEST_MAIN(tst_PlatformHelpers)
#include "tst_platformhelpers.moc"

void tst_PlatformHelpers::desktopViewer_data()
{
    QTest::addColumn<QStringList>("programs"); // stand-ins on the PATH
    QTest::addColumn<QString>("registered");   // what xdg-mime answers
    QTest::addColumn<QString>("mimeType");
    QTest::addColumn<bool>("canOpen");
    const QStringList xdg{"xdg-open", "xdg-mime"};
    QTest::newRow("no xdg-open") << QStringList{"xdg-mime"} << "firefox.desktop"
                                 << "text/html" << false;
    QTest::newRow("a program for the type") << xdg << "firefox.desktop"
                                            << "text/html" << true;
    QTest::newRow("no program, no browser") << xdg << ""
                                            << "text/html" << false;
    QTest::newRow("no program, the system browser") << (xdg + QStringList{"x-www-browser"}) << ""
                                                    << "text/html" << true;
    QTest::newRow("the browser does not show other types") << (xdg + QStringList{"x-www-browser"}) << ""
                                                           << "application/pdf" << false;
}

void tst_PlatformHelpers::desktopViewer()
{
    QFETCH(QStringList, programs);
    QFETCH(QString, registered);
    QFETCH(QString, mimeType);
    QFETCH(bool, canOpen);
    QTemporaryDir bin;
    for (const QString &name : programs) {
        QFile script(bin.filePath(name));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(name == u"xdg-mime" ? "#!/bin/sh\necho '" + registered.toUtf8() + "'\n" : "#!/bin/sh\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    const QByteArray browser = qgetenv("BROWSER");
    qputenv("PATH", bin.path().toLocal8Bit());
    qunsetenv("BROWSER");
    const bool answer = DesktopViewer::canOpen(mimeType);
    qputenv("PATH", path);
    if (!browser.isNull())
        qputenv("BROWSER", browser);
    QCOMPARE(answer, canOpen);
}
