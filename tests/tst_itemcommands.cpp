#include "model/tlitemmodel.h"
#include "view/tline.h"
#include "testfiles.h"
#include "windowprobe.h"
#include "view/tldateedit.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

namespace {

QList<QVariantList> rowsOf(const TLItemModel *model)
{
    QList<QVariantList> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        rows.append(QVariantList());
        for (int column = 0; column < TLItem::ColumnCount; ++column)
            rows.last().append(model->index(row, column).data());
    }
    return rows;
}

}

class TestItemCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldWriteTheDialogBackOnlyOnOk_data();
    void shouldWriteTheDialogBackOnlyOnOk();
    void shouldDeleteOnlyWhenConfirmed_data();
    void shouldDeleteOnlyWhenConfirmed();
    void shouldShowOneTableRowPerItem();

private:
    std::unique_ptr<Zelvaro> window;
    TLItemModel *model = nullptr;
};

void TestItemCommands::init()
{
    useFreshSettings();
    window = std::make_unique<Zelvaro>();
    model = window->findChild<TLItemModel *>();
}

void TestItemCommands::shouldWriteTheDialogBackOnlyOnOk_data()
{
    QTest::addColumn<int>("row"); // -1: a new item
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QDate>("end");
    QTest::newRow("new item cancelled") << -1 << false << QDate();
    QTest::newRow("new item") << -1 << true << QDate();
    QTest::newRow("edit cancelled") << 2 << false << QDate();
    QTest::newRow("edit") << 2 << true << QDate();
    QTest::newRow("edit with an end") << 2 << true << QDate(2006, 10, 25);
}

void TestItemCommands::shouldWriteTheDialogBackOnlyOnOk()
{
    QFETCH(int, row);
    QFETCH(bool, ok);
    QFETCH(QDate, end);
    if (end.isValid())
        model->setData(model->index(row, TLItem::EndDateColumn), end);
    const QList<QVariantList> before = rowsOf(model);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QVariantList shown;
    QString html;
    whenModal([&, ok](QWidget *modal) {
        auto *text = modal->findChild<QTextEdit *>("tText");
        shown = { modal->findChild<TLDateEdit *>("dStart")->date(), modal->findChild<QSpinBox *>("sPos")->value(),
                  text->toPlainText(), modal->findChild<QCheckBox *>("cbEnd")->isChecked() };
        text->setPlainText(QStringLiteral("Abschlussbericht"));
        html = text->document()->toHtml();
        modal->findChild<QPushButton *>(ok ? "okButton" : "cancelButton")->click();
    });
    if (row < 0)
        window->newItem();
    else
        emit window->findChild<TLine *>()->itemClicked(row);

    if (row >= 0)
        QCOMPARE(shown, QVariantList({ QDate(2006, 10, 19), 2, QStringLiteral("Zwischenbericht"), end.isValid() }));
    QList<QVariantList> expected = before;
    if (ok && row < 0)
        expected.append(QVariantList({ QDate::currentDate(), 0, html, QColor(Qt::white), QDate() }));
    else if (ok)
        expected[row][TLItem::TextColumn] = html;
    QCOMPARE(rowsOf(model), expected);
    QCOMPARE(changed.size(), ok ? int(TLItem::ColumnCount) : 0);
}

void TestItemCommands::shouldDeleteOnlyWhenConfirmed_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("no") << int(QMessageBox::No);
    QTest::newRow("yes") << int(QMessageBox::Yes);
}

void TestItemCommands::shouldDeleteOnlyWhenConfirmed()
{
    QFETCH(int, answer);
    QList<QVariantList> expected = rowsOf(model);
    QVariantList asked;
    whenModalIs<QMessageBox>([&asked, answer](QMessageBox *box) {
        asked = { box->windowTitle(), box->text(), box->icon(), int(box->standardButtons()),
                  box->defaultButton() == box->button(QMessageBox::Yes) };
        box->button(QMessageBox::StandardButton(answer))->click();
    });
    window->itemDelete(1);

    QCOMPARE(asked, QVariantList({ QStringLiteral("Zelvaro"),
                                   QStringLiteral("do you real want to delete this item permanently?"),
                                   QMessageBox::Warning, int(QMessageBox::Yes | QMessageBox::No), true }));
    if (answer == QMessageBox::Yes)
        expected.removeAt(1);
    QCOMPARE(rowsOf(model), expected);
}

// However the items were filled in or taken away, the table shows a row for
// each, and a table scrolled down takes a new item and goes on.
void TestItemCommands::shouldShowOneTableRowPerItem()
{
    auto *table = window->findChild<QTableView *>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const auto shown = [table, this] { return qMakePair(table->verticalHeader()->count(), model->rowCount()); };
    QCOMPARE(shown(), qMakePair(4, 4));

    const QPoint middle = table->viewport()->rect().center();
    QWheelEvent wheel(middle, table->viewport()->mapToGlobal(middle), QPoint(), QPoint(0, -360), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(table->viewport(), &wheel);
    whenModal([](QWidget *dialog) { dialog->findChild<QPushButton *>("okButton")->click(); });
    window->newItem();
    QTest::qWait(100);
    QCOMPARE(shown(), qMakePair(5, 5));

    whenModalIs<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    window->itemDelete(0);
    QCOMPARE(shown(), qMakePair(4, 4));
    QTemporaryDir dir;
    const QString twoItems =
        writeFile(dir.filePath(QStringLiteral("two.csv")), "\"2007-03-01\";\"1\";\"a\"\n\"2007-03-02\";\"2\";\"b\"\n");
    QVERIFY(!twoItems.isEmpty());
    QVERIFY(window->loadCsv(twoItems));
    QCOMPARE(shown(), qMakePair(2, 2));
    QVERIFY(window->loadNative(QStringLiteral(":demo.vrk")));
    QCOMPARE(shown(), qMakePair(4, 4));
    ModalAnswerer answers;
    answers.style = QStringLiteral("Typ 1");
    answers.question = QMessageBox::Discard;
    window->newFile();
    QCOMPARE(shown(), qMakePair(0, 0));
}

QTEST_MAIN(TestItemCommands)
#include "tst_itemcommands.moc"
