#include "model/tlitemmodel.h"

#include <QtTest>

class TestTLItemModel : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(TestTLItemModel)
#include "tst_tlitemmodel.moc"
