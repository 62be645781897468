#include <QTest>
class TestSoak : public QObject { Q_OBJECT };
QTEST_MAIN(TestSoak)
#include "soak.moc"
