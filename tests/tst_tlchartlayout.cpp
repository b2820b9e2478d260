#include <QtTest>

class TestTLChartLayout : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestTLChartLayout)
#include "tst_tlchartlayout.moc"
