// placeholder, replaced by the real tests
#include <QTest>
class tst_pytools : public QObject { Q_OBJECT };
QTEST_APPLESS_MAIN(tst_pytools)
#include "tst_pytools.moc"
