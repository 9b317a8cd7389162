#include "ui/platform/qtplatform.h"

#include <QApplication>
#include <QTest>

// Without a print server the desktop has no printer. Qt asks CUPS once per process, so the
// server is pointed nowhere before anything else runs.
class tst_NoPrinter : public QObject
{
    Q_OBJECT

private slots:
    void noPrinter();
};

void tst_NoPrinter::noPrinter()
{
    QtPlatform platform;
    QVERIFY(!platform.printerInstalled());
    QCOMPARE(platform.printer(), nullptr);
    platform.setPrinterSetting(2); // harmless without a printer
    QCOMPARE(platform.printer(), nullptr);
}

int main(int argc, char **argv)
{
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    QApplication app(argc, argv);
    tst_NoPrinter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_noprinter.moc"
