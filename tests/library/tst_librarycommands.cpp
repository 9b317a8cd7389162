// placeholder, replaced by the real tests
#include <QTest>
class tst_librarycommands : public QObject { Q_OBJECT };
QTEST_APPLESS_MAIN(tst_librarycommands)
#include "tst_librarycommands.moc"
