#include "model/tlrichtext.h"
#include "view/tlcelllines.h"

#include <QtTest>

class TestTLCellLines : public QObject
{
    Q_OBJECT

private slots:
    void shouldKeepALineWhileItsLabelFontAndCellStay_data();
    void shouldKeepALineWhileItsLabelFontAndCellStay();
};

void TestTLCellLines::shouldKeepALineWhileItsLabelFontAndCellStay_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QSize>("cell");
    QTest::addColumn<QString>("shown");
    const QString label = QStringLiteral("<p>Projekt</p><p>Start</p>");
    QTest::newRow("unchanged") << label << false << QSize(300, 20) << "";
    QTest::newRow("another label") << QStringLiteral("<b>Ende</b>") << false << QSize(300, 20) << "Ende";
    QTest::newRow("another font") << label << true << QSize(300, 20) << "Projekt Start";
    QTest::newRow("a narrower cell") << label << false << QSize(40, 20) << "Pro\u2026";
}

// A repaint of a cell takes the line laid out before while nothing it
// shows changed, and lays it out again when anything did.
void TestTLCellLines::shouldKeepALineWhileItsLabelFontAndCellStay()
{
    QFETCH(QString, label);
    QFETCH(bool, bold);
    QFETCH(QSize, cell);
    QFETCH(QString, shown);
    TLCellLines lines;
    const QFont font;
    const TLCellLines::Line before = lines.line(7, QStringLiteral("<p>Projekt</p><p>Start</p>"), font, QSize(300, 20));
    QCOMPARE(before.document->toPlainText(), QStringLiteral("Projekt Start"));
    QFont changedFont = font;
    changedFont.setBold(bold);
    const TLCellLines::Line after = lines.line(7, label, changedFont, cell);
    QCOMPARE(after.document == before.document, shown.isEmpty());
    if (!shown.isEmpty())
        QVERIFY2(after.document->toPlainText().startsWith(shown.left(3)), qPrintable(after.document->toPlainText()));
    QCOMPARE(lines.line(8, label, changedFont, cell).document == after.document, false);
}

QTEST_MAIN(TestTLCellLines)
#include "tst_tlcelllines.moc"
