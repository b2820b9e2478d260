#include "model/tldaterange.h"
#include "view/tldateedit.h"
#include "model/tldatetext.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class TestTLDateEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldShowAndTakeDatesOfEveryAge_data();
    void shouldShowAndTakeDatesOfEveryAge();
    void shouldStepTheFieldUnderTheCursor_data();
    void shouldStepTheFieldUnderTheCursor();
    void shouldStandForNoDateOnlyWhereAllowed();
};

void TestTLDateEdit::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestTLDateEdit::shouldShowAndTakeDatesOfEveryAge_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    // The C locale writes "d MMM yyyy"; there is no year 0.
    QTest::newRow("the first day the chart format holds") << QDate::fromJulianDay(1) << "25 Nov 4714 BC";
    QTest::newRow("44 BC") << QDate(-44, 3, 15) << "15 Mar 44 BC";
    QTest::newRow("the last day of 1 BC") << QDate(-1, 12, 31) << "31 Dec 1 BC";
    QTest::newRow("1 AD") << QDate(1, 1, 1) << "1 Jan 0001";
    QTest::newRow("the first Gregorian day") << QDate(1582, 10, 15) << "15 Oct 1582";
    QTest::newRow("9999") << QDate(9999, 12, 31) << "31 Dec 9999";
    QTest::newRow("the first day of the range") << TLDateRange::first() << "1 Jan 9999 BC";
}

void TestTLDateEdit::shouldShowAndTakeDatesOfEveryAge()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    TLDateEdit edit;
    edit.setDate(date);
    QCOMPARE(edit.date(), date);
    QCOMPARE(edit.text(), text);
    QCOMPARE(TLDateText::format(date, edit.displayFormat()), text);

    TLDateEdit typed;
    QSignalSpy changed(&typed, &TLDateEdit::dateChanged);
    typed.findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(&typed, text.toLower());
    QCOMPARE(typed.date(), date);
    QCOMPARE(changed.last().at(0).toDate(), date);
}

void TestTLDateEdit::shouldStepTheFieldUnderTheCursor_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QDate>("stepped");
    QTest::newRow("a day") << QDate(2006, 10, 4) << 0 << 1 << QDate(2006, 10, 5);
    QTest::newRow("a month") << QDate(2006, 10, 4) << 3 << -2 << QDate(2006, 8, 4);
    QTest::newRow("a year") << QDate(2006, 10, 4) << 8 << 10 << QDate(2016, 10, 4);
    QTest::newRow("1 BC to 1 AD") << QDate(-1, 6, 1) << 7 << 1 << QDate(1, 6, 1);
    QTest::newRow("the last day of 1 BC to 1 AD") << QDate(-1, 12, 31) << 0 << 1 << QDate(1, 1, 1);
    QTest::newRow("held at the first day") << TLDateRange::first() << 0 << -3 << TLDateRange::first();
}

void TestTLDateEdit::shouldStepTheFieldUnderTheCursor()
{
    QFETCH(QDate, date);
    QFETCH(int, cursor);
    QFETCH(int, steps);
    QFETCH(QDate, stepped);
    TLDateEdit edit;
    edit.setDate(date);
    edit.findChild<QLineEdit *>()->setCursorPosition(cursor);
    edit.stepBy(steps);
    QCOMPARE(edit.date(), stepped);
}

// An end date may be emptied, and its first step starts at the item's
// date; a start date keeps its last date.
void TestTLDateEdit::shouldStandForNoDateOnlyWhereAllowed()
{
    TLDateEdit end;
    end.setNoDateAllowed(true);
    end.setStepStart(QDate(-44, 3, 15));
    end.setDate(QDate());
    QVERIFY(end.date().isNull());
    QCOMPARE(end.text(), QString());
    end.stepBy(1);
    QCOMPARE(end.date(), QDate(-44, 3, 15));
    end.findChild<QLineEdit *>()->selectAll();
    QTest::keyClick(&end, Qt::Key_Delete);
    QVERIFY(end.date().isNull());

    TLDateEdit start;
    start.setDate(QDate(2006, 10, 4));
    start.setDate(QDate());
    start.findChild<QLineEdit *>()->selectAll();
    QTest::keyClick(&start, Qt::Key_Delete);
    QCOMPARE(start.date(), QDate(2006, 10, 4));
    QVERIFY(start.sizeHint().width() > start.fontMetrics().horizontalAdvance(QStringLiteral("28 Sep 4888 BC")));
}

QTEST_MAIN(TestTLDateEdit)
#include "tst_tldateedit.moc"
