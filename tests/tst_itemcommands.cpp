#include "model/tlitemmodel.h"
#include "view/tline.h"
#include "windowprobe.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTextEdit>
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
        shown = { modal->findChild<QDateEdit *>("dStart")->date(), modal->findChild<QSpinBox *>("sPos")->value(),
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

QTEST_MAIN(TestItemCommands)
#include "tst_itemcommands.moc"
