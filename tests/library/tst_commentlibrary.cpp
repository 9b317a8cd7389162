// placeholder, replaced by the real tests
#include <QTest>
class tst_commentlibrary : public QObject { Q_OBJECT };
QTEST_APPLESS_MAIN(tst_commentlibrary)
#include "tst_commentlibrary.moc"
