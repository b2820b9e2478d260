#include "model/tlitemmodel.h"

#include <QColor>
#include <QDate>
#include <QSignalSpy>
#include <QtTest>

#include <climits>

namespace {

QString rangeText(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    return QStringLiteral("%1,%2-%3,%4")
        .arg(topLeft.row()).arg(topLeft.column()).arg(bottomRight.row()).arg(bottomRight.column());
}

} // namespace

class TestTLItemModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void shouldStartEmpty();
    void shouldEmitMaxposByRule_data();
    void shouldEmitMaxposByRule();
    void shouldKeepHighestPosAfterRemovalAndClear();
    void shouldEmitMaxposBeforeDataChanged();
    void shouldConvertPerColumn_data();
    void shouldConvertPerColumn();
    void shouldReportChangedRange_data();
    void shouldReportChangedRange();
    void shouldAnswerBackgroundRoleInEveryColumn();
    void shouldAnswerNothingForOtherRoles_data();
    void shouldAnswerNothingForOtherRoles();
    void shouldRefuseDisplayRoleWrite();
    void shouldGiveHeaders_data();
    void shouldGiveHeaders();
    void shouldNotifyRowChanges();
    void shouldRejectBadRowsAndCounts_data();
    void shouldRejectBadRowsAndCounts();
    void shouldRejectIndexPastEnd();
    void shouldFlagEveryCellEditable();
    void shouldAppendItemsInOneInsertion();
};

void TestTLItemModel::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestTLItemModel::shouldStartEmpty()
{
    TLItemModel model;
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 5);
}

void TestTLItemModel::shouldEmitMaxposByRule_data()
{
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QList<int>>("emitted");

    QTest::newRow("first zero") << QList<int> { 0 } << QList<int> { 1 };
    QTest::newRow("equal counts") << QList<int> { 0, 0 } << QList<int> { 1, 1 };
    QTest::newRow("lower emits nothing") << QList<int> { 3, 2, 3, 7 } << QList<int> { 4, 4, 8 };
    QTest::newRow("negative never") << QList<int> { -1, -5 } << QList<int> {};
    QTest::newRow("negative after higher") << QList<int> { 2, -1 } << QList<int> { 3 };
    QTest::newRow("largest position") << QList<int> { 5, INT_MAX, INT_MAX } << QList<int> { 6, INT_MAX, INT_MAX };
}

void TestTLItemModel::shouldEmitMaxposByRule()
{
    QFETCH(QList<int>, positions);
    QFETCH(QList<int>, emitted);

    TLItemModel model;
    model.insertRows(0, 2);
    QSignalSpy spy(&model, &TLItemModel::maxposChanged);
    for (int i = 0; i < positions.size(); ++i)
        QVERIFY(model.setData(model.index(i % 2, TLItem::PosColumn), positions.at(i)));

    QList<int> actual;
    for (const QList<QVariant> &arguments : spy)
        actual.append(arguments.at(0).toInt());
    QCOMPARE(actual, emitted);
    QCOMPARE(model.data(model.index((positions.size() - 1) % 2, TLItem::PosColumn)).toInt(), positions.last());
}

void TestTLItemModel::shouldKeepHighestPosAfterRemovalAndClear()
{
    TLItemModel model;
    QSignalSpy spy(&model, &TLItemModel::maxposChanged);
    model.insertRows(0, 1);
    model.setData(model.index(0, TLItem::PosColumn), 5);
    QCOMPARE(spy.size(), 1);

    model.removeRows(0, 1);
    model.insertRows(0, 1);
    model.setData(model.index(0, TLItem::PosColumn), 4);
    QCOMPARE(spy.size(), 1);

    model.clear();
    model.insertRows(0, 1);
    model.setData(model.index(0, TLItem::PosColumn), 4);
    QCOMPARE(spy.size(), 1);
    model.setData(model.index(0, TLItem::PosColumn), 5);
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.last().at(0).toInt(), 6);
}

void TestTLItemModel::shouldEmitMaxposBeforeDataChanged()
{
    TLItemModel model;
    model.insertRows(0, 2);
    QStringList events;
    connect(&model, &TLItemModel::maxposChanged, this,
            [&events](int m) { events.append(QStringLiteral("maxpos %1").arg(m)); });
    connect(&model, &TLItemModel::dataChanged, this,
            [&events](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                events.append(QStringLiteral("data ") + rangeText(topLeft, bottomRight));
            });

    model.setData(model.index(1, TLItem::PosColumn), 3);
    QCOMPARE(events, (QStringList { "maxpos 4", "data 1,1-1,1" }));
}

void TestTLItemModel::shouldConvertPerColumn_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("stored");

    QTest::newRow("date, ISO string") << 0 << QVariant("2006-10-19") << QVariant(QDate(2006, 10, 19));
    QTest::newRow("date, German string") << 0 << QVariant("19.10.2006") << QVariant(QDate());
    QTest::newRow("date, QDate") << 0 << QVariant(QDate(2006, 1, 2)) << QVariant(QDate(2006, 1, 2));
    QTest::newRow("pos, no number") << 1 << QVariant("abc") << QVariant(0);
    QTest::newRow("pos, spaces") << 1 << QVariant(" 42 ") << QVariant(42);
    QTest::newRow("pos, largest int") << 1 << QVariant("2147483647") << QVariant(INT_MAX);
    QTest::newRow("pos, one above int") << 1 << QVariant("2147483648") << QVariant(0);
    QTest::newRow("pos, smallest int") << 1 << QVariant("-2147483648") << QVariant(INT_MIN);
    QTest::newRow("pos, one below int") << 1 << QVariant("-2147483649") << QVariant(0);
    QTest::newRow("pos, eleven digits") << 1 << QVariant("99999999999") << QVariant(0);
    QTest::newRow("pos, fraction") << 1 << QVariant("4.7") << QVariant(0);
    QTest::newRow("text, number") << 2 << QVariant(42) << QVariant(QStringLiteral("42"));
    QTest::newRow("colour, hex") << 3 << QVariant("#a3a3a3") << QVariant(QColor(0xa3, 0xa3, 0xa3));
    QTest::newRow("colour, name") << 3 << QVariant("red") << QVariant(QColor(255, 0, 0));
    QTest::newRow("colour, nonsense") << 3 << QVariant("nonsense") << QVariant(QColor());
    QTest::newRow("end date, ISO string") << 4 << QVariant("2006-10-25") << QVariant(QDate(2006, 10, 25));
    QTest::newRow("end date, German string") << 4 << QVariant("25.10.2006") << QVariant(QDate());
}

void TestTLItemModel::shouldConvertPerColumn()
{
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QFETCH(QVariant, stored);

    TLItemModel model;
    model.insertRows(0, 1);
    QVERIFY(model.setData(model.index(0, column), value));
    const QVariant actual = model.data(model.index(0, column));
    QCOMPARE(actual.metaType(), stored.metaType());
    QCOMPARE(actual, stored);
    QCOMPARE(model.data(model.index(0, column), Qt::EditRole), stored);
    if (stored.metaType() == QMetaType::fromType<QColor>())
        QCOMPARE(actual.value<QColor>().isValid(), stored.value<QColor>().isValid());
    if (stored.metaType() == QMetaType::fromType<QDate>())
        QCOMPARE(actual.toDate().isNull(), stored.toDate().isNull());
}

void TestTLItemModel::shouldReportChangedRange_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("range");

    QTest::newRow("date") << 0 << QVariant(QDate(2006, 10, 4)) << "1,0-1,0";
    QTest::newRow("pos") << 1 << QVariant(-1) << "1,1-1,1";
    QTest::newRow("text") << 2 << QVariant("x") << "1,2-1,2";
    QTest::newRow("colour") << 3 << QVariant("#ff0000") << "1,0-1,3";
    QTest::newRow("end date") << 4 << QVariant(QDate(2006, 10, 4)) << "1,0-1,4";
}

void TestTLItemModel::shouldReportChangedRange()
{
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QFETCH(QString, range);

    TLItemModel model;
    model.insertRows(0, 3);
    QSignalSpy spy(&model, &TLItemModel::dataChanged);
    QVERIFY(model.setData(model.index(1, column), value));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(rangeText(spy.at(0).at(0).toModelIndex(), spy.at(0).at(1).toModelIndex()), range);
}

void TestTLItemModel::shouldAnswerBackgroundRoleInEveryColumn()
{
    TLItemModel model;
    model.insertRows(0, 2);
    model.setData(model.index(1, TLItem::BackgroundColorColumn), QColor("#00557f"));
    for (int column = 0; column < model.columnCount(); ++column) {
        QCOMPARE(model.data(model.index(0, column), Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
        QCOMPARE(model.data(model.index(1, column), Qt::BackgroundRole).value<QColor>(), QColor("#00557f"));
    }
}

void TestTLItemModel::shouldAnswerNothingForOtherRoles_data()
{
    QTest::addColumn<int>("role");
    QTest::newRow("font") << int(Qt::FontRole);
    QTest::newRow("foreground") << int(Qt::ForegroundRole);
    QTest::newRow("decoration") << int(Qt::DecorationRole);
    QTest::newRow("tool tip") << int(Qt::ToolTipRole);
}

void TestTLItemModel::shouldAnswerNothingForOtherRoles()
{
    QFETCH(int, role);
    TLItemModel model;
    model.insertRows(0, 1);
    model.setData(model.index(0, TLItem::TextColumn), "x");
    for (int column = 0; column < model.columnCount(); ++column)
        QVERIFY(!model.data(model.index(0, column), role).isValid());
}

void TestTLItemModel::shouldRefuseDisplayRoleWrite()
{
    TLItemModel model;
    model.insertRows(0, 1);
    QSignalSpy changed(&model, &TLItemModel::dataChanged);
    QSignalSpy maxpos(&model, &TLItemModel::maxposChanged);

    QVERIFY(!model.setData(model.index(0, TLItem::PosColumn), 5, Qt::DisplayRole));
    QVERIFY(!model.setData(model.index(0, TLItem::TextColumn), "x", Qt::DisplayRole));
    QCOMPARE(model.data(model.index(0, TLItem::PosColumn)).toInt(), 0);
    QVERIFY(model.data(model.index(0, TLItem::TextColumn)).toString().isNull());
    QCOMPARE(changed.size(), 0);
    QCOMPARE(maxpos.size(), 0);
}

void TestTLItemModel::shouldGiveHeaders_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("header");

    const char *const titles[] = { "Date", "Pos", "Text", "BackgroundColor", "EndDate" };
    for (int section = 0; section < 5; ++section)
        QTest::addRow("horizontal %d", section) << int(Qt::Horizontal) << section << int(Qt::DisplayRole)
                                                << QVariant(QString::fromLatin1(titles[section]));
    QTest::newRow("horizontal 5") << int(Qt::Horizontal) << 5 << int(Qt::DisplayRole) << QVariant();
    QTest::newRow("horizontal -1") << int(Qt::Horizontal) << -1 << int(Qt::DisplayRole) << QVariant();
    QTest::newRow("vertical 0") << int(Qt::Vertical) << 0 << int(Qt::DisplayRole) << QVariant("1");
    QTest::newRow("vertical 9") << int(Qt::Vertical) << 9 << int(Qt::DisplayRole) << QVariant("10");
    QTest::newRow("vertical largest") << int(Qt::Vertical) << INT_MAX << int(Qt::DisplayRole)
                                      << QVariant("2147483648");
    QTest::newRow("horizontal tool tip") << int(Qt::Horizontal) << 0 << int(Qt::ToolTipRole) << QVariant();
    QTest::newRow("vertical edit role") << int(Qt::Vertical) << 0 << int(Qt::EditRole) << QVariant();
}

void TestTLItemModel::shouldGiveHeaders()
{
    QFETCH(int, orientation);
    QFETCH(int, section);
    QFETCH(int, role);
    QFETCH(QVariant, header);

    TLItemModel model;
    const QVariant actual = model.headerData(section, Qt::Orientation(orientation), role);
    QCOMPARE(actual.isValid(), header.isValid());
    if (header.isValid())
        QCOMPARE(actual.toString(), header.toString());
}

void TestTLItemModel::shouldNotifyRowChanges()
{
    TLItemModel model;
    QSignalSpy inserted(&model, &TLItemModel::rowsInserted);
    QSignalSpy removed(&model, &TLItemModel::rowsRemoved);

    model.clear();
    QCOMPARE(removed.size(), 0);

    QVERIFY(model.insertRows(0, 3));
    QCOMPARE(inserted.size(), 1);
    QVERIFY(!inserted.at(0).at(0).toModelIndex().isValid());
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.at(0).at(2).toInt(), 2);
    for (int row = 0; row < 3; ++row) {
        QVERIFY(model.data(model.index(row, TLItem::DateColumn)).toDate().isNull());
        QVERIFY(model.data(model.index(row, TLItem::TextColumn)).toString().isNull());
        QCOMPARE(model.data(model.index(row, TLItem::BackgroundColorColumn)).value<QColor>(), QColor(Qt::white));
        QVERIFY(model.data(model.index(row, TLItem::EndDateColumn)).toDate().isNull());
        model.setData(model.index(row, TLItem::TextColumn), QString::number(row));
    }

    QVERIFY(model.removeRows(1, 1));
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(removed.at(0).at(2).toInt(), 1);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.data(model.index(0, TLItem::TextColumn)).toString(), QStringLiteral("0"));
    QCOMPARE(model.data(model.index(1, TLItem::TextColumn)).toString(), QStringLiteral("2"));

    QVERIFY(model.insertRows(2, 2));
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(inserted.at(1).at(1).toInt(), 2);
    QCOMPARE(inserted.at(1).at(2).toInt(), 3);
    QCOMPARE(model.data(model.index(1, TLItem::TextColumn)).toString(), QStringLiteral("2"));

    model.clear();
    QCOMPARE(removed.size(), 2);
    QCOMPARE(removed.at(1).at(1).toInt(), 0);
    QCOMPARE(removed.at(1).at(2).toInt(), 3);
    QCOMPARE(model.rowCount(), 0);
    model.clear();
    QCOMPARE(removed.size(), 2);
}

void TestTLItemModel::shouldRejectBadRowsAndCounts_data()
{
    QTest::addColumn<bool>("insert");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("count");

    QTest::newRow("insert at -1") << true << -1 << 1;
    QTest::newRow("insert past rowCount") << true << 3 << 1;
    QTest::newRow("insert none") << true << 0 << 0;
    QTest::newRow("insert negative") << true << 0 << -1;
    QTest::newRow("insert more rows than an int counts") << true << 1 << INT_MAX;
    QTest::newRow("insert one row too many") << true << 2 << INT_MAX - 1;
    QTest::newRow("remove at -1") << false << -1 << 1;
    QTest::newRow("remove at rowCount") << false << 2 << 1;
    QTest::newRow("remove past end") << false << 1 << 2;
    QTest::newRow("remove none") << false << 0 << 0;
    QTest::newRow("remove negative") << false << 1 << -1;
}

void TestTLItemModel::shouldRejectBadRowsAndCounts()
{
    QFETCH(bool, insert);
    QFETCH(int, row);
    QFETCH(int, count);

    TLItemModel model;
    model.insertRows(0, 2);
    QSignalSpy aboutToInsert(&model, &TLItemModel::rowsAboutToBeInserted);
    QSignalSpy aboutToRemove(&model, &TLItemModel::rowsAboutToBeRemoved);

    QVERIFY(!(insert ? model.insertRows(row, count) : model.removeRows(row, count)));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(aboutToInsert.size(), 0);
    QCOMPARE(aboutToRemove.size(), 0);
}

void TestTLItemModel::shouldRejectIndexPastEnd()
{
    TLItemModel larger;
    larger.insertRows(0, 5);
    TLItemModel model;
    model.insertRows(0, 2);
    QSignalSpy changed(&model, &TLItemModel::dataChanged);
    QSignalSpy maxpos(&model, &TLItemModel::maxposChanged);

    const QModelIndex pastEnd = larger.index(4, TLItem::PosColumn);
    QVERIFY(!model.setData(pastEnd, 9));
    QVERIFY(!model.data(pastEnd).isValid());
    QVERIFY(!model.setData(QModelIndex(), 9));
    QCOMPARE(changed.size(), 0);
    QCOMPARE(maxpos.size(), 0);
}

void TestTLItemModel::shouldFlagEveryCellEditable()
{
    TLItemModel model;
    model.insertRows(0, 1);
    QCOMPARE(model.flags(QModelIndex()), Qt::ItemFlags(Qt::ItemIsEnabled));
    for (int column = 0; column < model.columnCount(); ++column) {
        const Qt::ItemFlags flags = model.flags(model.index(0, column));
        QVERIFY(flags.testFlag(Qt::ItemIsSelectable));
        QVERIFY(flags.testFlag(Qt::ItemIsEnabled));
        QVERIFY(flags.testFlag(Qt::ItemIsEditable));
        QVERIFY(!flags.testFlag(Qt::ItemIsUserCheckable));
    }
}

void TestTLItemModel::shouldAppendItemsInOneInsertion()
{
    TLItemModel model;
    model.insertRows(0, 1);
    model.setData(model.index(0, TLItem::PosColumn), 4);
    QSignalSpy inserted(&model, &TLItemModel::rowsInserted);
    QSignalSpy changed(&model, &TLItemModel::dataChanged);
    QSignalSpy maxpos(&model, &TLItemModel::maxposChanged);
    QList<TLItem> records;
    for (int pos : { 2, 7, -1, 6 })
        records.append(TLItem { QDate(2006, 10, 4), pos, QStringLiteral("<b>a</b>"), Qt::yellow, QDate() });
    model.appendItems(records);
    model.appendItems({});

    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).mid(1), (QVariantList { 1, 4 }));
    QCOMPARE(changed.size(), 0);
    QCOMPARE(maxpos, QList<QVariantList>({ { 8 } }));
    QCOMPARE(model.data(model.index(4, TLItem::PosColumn)).toInt(), 6);
}

QTEST_MAIN(TestTLItemModel)
#include "tst_tlitemmodel.moc"
