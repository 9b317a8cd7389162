#include "menuitem.h"
#include "classof.h"
#include "core/document/session.h"
#include "core/printing/composition.h"
#include "programfolder.h"
#include "ui/app/mainwindow.h"
#include "ui/platform/qtplatform.h"
#include "ui/printing/printpanel.h"
#include "ui/printing/ps_control.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

// Without a print server the desktop has no printer. Qt asks CUPS once per process, so the
// server is pointed nowhere before anything else runs.
class tst_NoPrinter : public QObject
{
    Q_OBJECT

private slots:
    void noPrinter();
    void previewWithoutPrinter();
};

void tst_NoPrinter::noPrinter()
{
    QtPlatform platform;
    QVERIFY(!platform.printerInstalled());
    QCOMPARE(platform.printer(), nullptr);
    QVERIFY(platform.printerNames().isEmpty());
    platform.setPrinterSetting(2); // harmless without a printer
    QCOMPARE(platform.printer(), nullptr);
}

// The real platform, no printer: setup, preview and the print window open without a word, and
// the print group says there is no printer to choose.
void tst_NoPrinter::previewWithoutPrinter()
{
    ProgramFolder folder;
    QtPlatform platform;
    Session session;
    session.reset(folder.path());
    MainWindow window(session, platform);
    window.resize(1024, 768);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.load(QString());
    session.replaceDocument(classOf(3));
    window.RefreshViews();

    for (const char *command : {"privew", "print1"}) {
        QVERIFY(menuItem(window, QString::fromLatin1(command))->isEnabled());
        menuItem(window, QString::fromLatin1(command))->trigger();
        QVERIFY2(window.printControl(), command);
        ps_control *control = window.printControl();
        QCOMPARE(control->page().items.isEmpty(), false);
        QComboBox *printers = control->jprint()->printerBox();
        QCOMPARE(printers->currentText(), QStringLiteral("（没有可用的打印机）"));
        QVERIFY(!printers->isEnabled() && !control->jprint()->properties()->isEnabled());
        control->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    session.markSaved();
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
