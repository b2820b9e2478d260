#include "model/tlitemmodel.h"
#include "model/tlrichtext.h"
#include "view/tlchartlayout.h"
#include "view/tllabelbound.h"
#include "view/tllabellayout.h"

#include <QtTest>

#include <functional>

namespace {

// The geometry of a chart whose time runs across: 20 pixels a day from
// 2010-01-01, 60 pixels a row, as wide as its span where the end lies
// after the date.
TLItemFrame frameOf(const QDate &date, int pos, const QDate &endDate)
{
    const QDate start(2010, 1, 1);
    const int x = int(start.daysTo(date) * 20 + 5);
    TLItemFrame frame { QPoint(x, pos * 60), std::nullopt, std::nullopt };
    if (endDate.isValid() && endDate > date)
        frame.span = int(date.daysTo(endDate) * 20);
    return frame;
}

void addItems(TLItemModel *model, int count)
{
    QList<TLItem> items;
    const QDate start(2010, 1, 1);
    for (int i = 0; i < count; ++i) {
        const QDate date = start.addDays(qint64(i) * 3650 / count);
        items.append({ date, i % 20, QStringLiteral("<p>Item %1</p>").arg(i), Qt::yellow,
                       i % 5 == 0 ? date.addDays(4) : QDate() });
    }
    model->appendItems(items);
}

// Counts the labels laid out while it runs.
qint64 layoutsDuring(const std::function<void()> &run)
{
    const qint64 before = TLLabelLayout::count();
    run();
    return TLLabelLayout::count() - before;
}

}

class TestTLChartLayout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldLayOutOnlyTheLabelsAPaintNeeds();
    void shouldLayOutAgainOnlyWhatChanged_data();
    void shouldLayOutAgainOnlyWhatChanged();
    void shouldLayOutForAClickOnlyTheLabelsThatCanReachIt();

private:
    TLItemModel model;
    std::unique_ptr<TLChartLayout> layout;
};

void TestTLChartLayout::init()
{
    model.clear();
    layout = std::make_unique<TLChartLayout>(&frameOf);
    layout->setModel(&model);
    layout->setTimeAxis(Qt::Horizontal);
    // The rounded form and the shadow, without item dates.
    layout->setDrawingReach(QMargins(0, 0, 10, 6));
}

// A label is laid out when a paint first needs it and not again while
// nothing changes; a paint of the view lays out the labels of the items
// that meet it, and a scroll step those that come into it.
void TestTLChartLayout::shouldLayOutOnlyTheLabelsAPaintNeeds()
{
    const int items = 10000;
    addItems(&model, items);
    // As the chart paints: the rows, then each one's label for drawing.
    const auto paint = [this](const QRect &area) {
        return layoutsDuring([&] {
            for (const TLChartLayout::ShownRow &shown : layout->rowsToPaint(area))
                layout->label(shown.row);
        });
    };
    const QRect view(0, 0, 1200, 800);
    const qint64 first = paint(view);
    QVERIFY2(first > 0 && first < items / 50, qPrintable(QString::number(first)));

    QList<QRect> boxes;
    for (int row = 0; row < items; ++row)
        boxes.append(layout->hitBox(row));
    // The drawing of a box reaches one pixel below its hit box.
    const auto meeting = [&boxes](const QRect &area) {
        QSet<int> rows;
        for (int row = 0; row < boxes.size(); ++row) {
            if (boxes.at(row).adjusted(0, 0, 0, 1).intersects(area))
                rows.insert(row);
        }
        return rows;
    };
    QCOMPARE(paint(view), 0);

    // Hit boxes only measure their labels; a paint lays those it draws out
    // for drawing, once.
    const QRect middle(36000, 300, 1200, 800);
    const QSet<int> shown = meeting(middle);
    QVERIFY(shown.size() > 50);
    QCOMPARE(paint(middle), qint64(shown.size()));
    QCOMPARE(paint(middle), 0);
    const QRect scrolled = middle.translated(120, 0);
    QCOMPARE(paint(scrolled), qint64((meeting(scrolled) - shown).size()));
    QSet<int> rows;
    for (const TLChartLayout::ShownRow &shown : layout->rowsToPaint(scrolled))
        rows.insert(shown.row);
    QCOMPARE(rows, meeting(scrolled));
}

void TestTLChartLayout::shouldLayOutAgainOnlyWhatChanged_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("layouts");
    QTest::newRow("a text") << "text" << 1;
    QTest::newRow("an inserted row") << "insert" << 1;
    QTest::newRow("a removed row") << "remove" << 0;
    QTest::newRow("the geometry") << "frames" << 0;
    QTest::newRow("a span") << "span" << 1;
}

// The kept sizes and layouts follow the rows they belong to: a change lays
// out the labels it changed and no others, and every label drawn is the
// label of its own row.
void TestTLChartLayout::shouldLayOutAgainOnlyWhatChanged()
{
    QFETCH(QString, change);
    QFETCH(int, layouts);
    addItems(&model, 40);
    const QRect all(0, 0, 80000, 1200);
    layout->rowsToPaint(all);
    if (change == QLatin1String("text")) {
        model.setData(model.index(7, TLItem::TextColumn), QStringLiteral("<p>Changed</p>"));
    } else if (change == QLatin1String("insert")) {
        model.insertRows(3, 1);
        TLItemModel::setItem(&model, 3, { QDate(2010, 1, 2), 1, QStringLiteral("<p>New</p>"), Qt::red, QDate() });
    } else if (change == QLatin1String("remove")) {
        model.removeRows(3, 2);
    } else if (change == QLatin1String("frames")) {
        layout->invalidateFrames();
    } else {
        model.setData(model.index(7, TLItem::EndDateColumn), QDate(2011, 1, 1));
    }
    QCOMPARE(layoutsDuring([&] { layout->rowsToPaint(all); }), qint64(layouts));
    for (int row = 0; row < model.rowCount(); ++row)
        QCOMPARE(layout->label(row)->toPlainText(),
                 TLRichText::plainText(model.index(row, TLItem::TextColumn).data().toString()));
}

// A click into a chart nothing was laid out in lays out only the labels
// whose bound, read from their HTML, reaches the point, a label whose size
// no bound holds among them, and finds the rows that a walk over every
// laid-out box finds.
void TestTLChartLayout::shouldLayOutForAClickOnlyTheLabelsThatCanReachIt()
{
    addItems(&model, 10000);
    const QString table = QStringLiteral("<table width=900><tr><td>wide</td></tr></table>");
    TLItemModel::setItem(&model, 4990, { QDate(2014, 8, 30), 2, table, Qt::cyan, QDate() });
    TLLabelBound bound(TLRichText().defaultFont());
    const QMargins hitMargins(0, 0, 10, 5);
    QList<QRect> reachable;
    for (int row = 0; row < model.rowCount(); ++row) {
        const TLItem item = TLItemModel::item(&model, row);
        const TLItemFrame frame = frameOf(item.date, item.pos, item.endDate);
        const std::optional<TLLabelBound::Measure> measure = bound.measure(item.text);
        const QSize size = measure ? bound.boxBound(*measure, frame.span)
                                   : QSize(TLLabelLayout::MaxBoxExtent, TLLabelLayout::MaxBoxExtent);
        reachable.append(QRect(frame.topLeft, size).marginsAdded(hitMargins));
    }
    TLChartLayout walk(&frameOf);
    walk.setModel(&model);
    walk.setTimeAxis(Qt::Horizontal);

    // Inside a box in the middle, far inside the table, at the first box.
    const QList<QPoint> points { walk.hitBox(5003).center(), walk.hitBox(4990).topLeft() + QPoint(850, 2),
                                 walk.hitBox(0).topLeft() };
    for (const QPoint &point : points) {
        TLChartLayout fresh(&frameOf);
        fresh.setModel(&model);
        fresh.setTimeAxis(Qt::Horizontal);
        int canReach = 0;
        for (const QRect &rect : std::as_const(reachable))
            canReach += rect.contains(point) ? 1 : 0;
        QList<int> found;
        const qint64 layouts = layoutsDuring([&] { found = fresh.rowsAt(point); });
        QVERIFY2(layouts <= canReach, qPrintable(QStringLiteral("%1 > %2").arg(layouts).arg(canReach)));
        QList<int> hit;
        for (int row = 0; row < model.rowCount(); ++row) {
            if (walk.hitBox(row).contains(point))
                hit.append(row);
        }
        QVERIFY(!hit.isEmpty());
        QCOMPARE(found, hit);
    }
}

QTEST_MAIN(TestTLChartLayout)
#include "tst_tlchartlayout.moc"
