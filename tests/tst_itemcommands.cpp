#include "app/zelvaro.h"
#include "dialogs/tlitemdialog.h"
#include "model/tlitemmodel.h"
#include "model/tlrichtext.h"
#include "view/tline.h"
#include "windowprobe.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

struct Row
{
    QDate date;
    int pos;
    QString text;
    QColor backgroundColor;
    QDate endDate;

    bool operator==(const Row &other) const
    {
        return date == other.date && pos == other.pos && text == other.text
            && backgroundColor == other.backgroundColor && endDate == other.endDate
            && endDate.isNull() == other.endDate.isNull();
    }
};

Row rowOf(const TLItemModel *model, int row)
{
    auto cell = [model, row](int column) { return model->index(row, column).data(); };
    return { cell(TLItem::DateColumn).toDate(), cell(TLItem::PosColumn).toInt(), cell(TLItem::TextColumn).toString(),
             cell(TLItem::BackgroundColorColumn).value<QColor>(), cell(TLItem::EndDateColumn).toDate() };
}

QList<Row> rowsOf(const TLItemModel *model)
{
    QList<Row> rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(rowOf(model, row));
    return rows;
}

void pressDialogButton(QWidget *modal, const char *name)
{
    if (QPushButton *button = modal->findChild<QPushButton *>(QLatin1String(name)))
        button->click();
}

}

class TestItemCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void shouldAppendANewItemOnlyWhenAccepted_data();
    void shouldAppendANewItemOnlyWhenAccepted();
    void shouldWriteAnEditedItemBackOnlyOnOk_data();
    void shouldWriteAnEditedItemBackOnlyOnOk();
    void shouldDeleteOnlyWhenConfirmed_data();
    void shouldDeleteOnlyWhenConfirmed();

private:
    QTemporaryDir configDir;
    std::unique_ptr<Zelvaro> window;
    TLItemModel *model = nullptr;
};

void TestItemCommands::initTestCase()
{
    QVERIFY(configDir.isValid());
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    QLocale::setDefault(QLocale::c());
}

void TestItemCommands::init()
{
    QSettings(QStringLiteral("Orlevant"), QStringLiteral("Zelvaro")).clear();
    window = std::make_unique<Zelvaro>();
    model = window->findChild<TLItemModel *>();
    QVERIFY(model);
    QCOMPARE(model->rowCount(), 4);
}

void TestItemCommands::shouldAppendANewItemOnlyWhenAccepted_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::newRow("cancelled") << QByteArray("cancelButton");
    QTest::newRow("accepted") << QByteArray("okButton");
}

void TestItemCommands::shouldAppendANewItemOnlyWhenAccepted()
{
    QFETCH(QByteArray, button);

    const QList<Row> before = rowsOf(model);
    QString html;
    whenModal([&html, button](QWidget *modal) {
        if (auto *text = modal->findChild<QTextEdit *>(QStringLiteral("tText"))) {
            text->setPlainText(QStringLiteral("Neu"));
            html = text->document()->toHtml();
        }
        pressDialogButton(modal, button);
    });
    window->newItem();

    const QList<Row> after = rowsOf(model);
    if (button == "cancelButton") {
        QCOMPARE(after, before);
        return;
    }
    QCOMPARE(after.size(), 5);
    QCOMPARE(after.mid(0, 4), before);
    const Row added = { QDate::currentDate(), 0, html, QColor(Qt::white), QDate() };
    QCOMPARE(after.last(), added);
}

void TestItemCommands::shouldWriteAnEditedItemBackOnlyOnOk_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::newRow("cancelled") << QByteArray("cancelButton");
    QTest::newRow("accepted") << QByteArray("okButton");
}

void TestItemCommands::shouldWriteAnEditedItemBackOnlyOnOk()
{
    QFETCH(QByteArray, button);

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    TLine *chart = window->findChild<QScrollArea *>()->findChild<TLine *>();
    chart->grab();
    const QList<QRect> boxes = TLineProbe::itemRectsOf(chart);
    QCOMPARE(boxes.size(), 4);
    const QList<Row> before = rowsOf(model);
    QVERIFY(TLRichText::plainText(before.at(2).text).contains(QStringLiteral("Zwischenbericht")));
    QVERIFY(before.at(2).endDate.isNull());

    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QDate shownDate;
    int shownPos = -1;
    QString shownText;
    bool shownEnd = true;
    QString html;
    whenModal([&, button](QWidget *modal) {
        auto *text = modal->findChild<QTextEdit *>(QStringLiteral("tText"));
        if (!text)
            return;
        shownDate = modal->findChild<QDateEdit *>(QStringLiteral("dStart"))->date();
        shownPos = modal->findChild<QSpinBox *>(QStringLiteral("sPos"))->value();
        shownText = text->toPlainText();
        shownEnd = modal->findChild<QCheckBox *>(QStringLiteral("cbEnd"))->isChecked();
        text->setPlainText(QStringLiteral("Abschlussbericht"));
        html = text->document()->toHtml();
        pressDialogButton(modal, button);
    });
    QTest::mouseDClick(chart, Qt::LeftButton, Qt::NoModifier, boxes.at(2).center());

    QCOMPARE(shownDate, QDate(2006, 10, 19));
    QCOMPARE(shownPos, 2);
    QCOMPARE(shownText, QStringLiteral("Zwischenbericht"));
    QVERIFY(!shownEnd);
    if (button == "cancelButton") {
        QCOMPARE(changed.size(), 0);
        QCOMPARE(rowsOf(model), before);
        return;
    }
    QCOMPARE(changed.size(), 5);
    for (const QList<QVariant> &signal : std::as_const(changed))
        QCOMPARE(signal.at(1).value<QModelIndex>().row(), 2);
    QList<Row> expected = before;
    expected[2].text = html;
    QCOMPARE(rowsOf(model), expected);
}

void TestItemCommands::shouldDeleteOnlyWhenConfirmed_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("removed");

    QTest::newRow("no") << int(QMessageBox::No) << false;
    QTest::newRow("closed") << int(QMessageBox::NoButton) << false;
    QTest::newRow("yes") << int(QMessageBox::Yes) << true;
}

void TestItemCommands::shouldDeleteOnlyWhenConfirmed()
{
    QFETCH(int, answer);
    QFETCH(bool, removed);

    const QList<Row> before = rowsOf(model);
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QAbstractButton *defaultButton = nullptr;
    QAbstractButton *yes = nullptr;
    whenModal([&, answer](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        defaultButton = box->defaultButton();
        yes = box->button(QMessageBox::Yes);
        if (answer == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(QMessageBox::StandardButton(answer))->click();
    });
    window->itemDelete(1);

    QCOMPARE(title, QStringLiteral("Zelvaro"));
    QCOMPARE(text, QStringLiteral("do you real want to delete this item permanently?"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(defaultButton && defaultButton == yes);
    QList<Row> expected = before;
    if (removed)
        expected.removeAt(1);
    QCOMPARE(rowsOf(model), expected);
}

QTEST_MAIN(TestItemCommands)
#include "tst_itemcommands.moc"
