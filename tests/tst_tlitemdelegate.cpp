#include "model/tlitemmodel.h"
#include "model/tlrichtext.h"
#include "view/tldateedit.h"
#include "view/tlitemdelegate.h"
#include "modalanswers.h"

#include <QAction>
#include <QColorDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPainter>
#include <QPointer>
#include <QTableView>
#include <QTextEdit>
#include <QtTest>

namespace {

// Keeps the text a painter draws and the colour amid each pixmap, so that a
// test can say what a cell shows whatever the fonts look like.
struct RecordingEngine : QPaintEngine
{
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &, const QTextItem &item) override { text += item.text(); }
    void drawPixmap(const QRectF &, const QPixmap &pixmap, const QRectF &) override
    {
        swatches << pixmap.toImage().pixelColor(pixmap.width() / 2, pixmap.height() / 2);
    }
    Type type() const override { return QPaintEngine::User; }

    QString text;
    QList<QColor> swatches;
};

struct RecordingImage : QImage
{
    RecordingImage() : QImage(600, 100, QImage::Format_RGB32) {}
    QPaintEngine *paintEngine() const override { return &engine; }
    mutable RecordingEngine engine;
};

}

class TestTLItemDelegate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldPaintCellsAsPeopleReadThem_data();
    void shouldPaintCellsAsPeopleReadThem();
    void shouldFitTheColumnsToTheirHeaders();
    void shouldWriteEditedRichTextBackAsHtml();
    void shouldEditColoursByNameOrChooser_data();
    void shouldEditColoursByNameOrChooser();
    void shouldWriteBackOnlyWhatWasChanged_data();
    void shouldWriteBackOnlyWhatWasChanged();

private:
    QModelIndex cell(int column) { return model.index(0, column); }

    TLItemModel model;
    std::unique_ptr<QTableView> table;
};

void TestTLItemDelegate::init()
{
    model.clear();
    model.insertRows(0, 1);
    model.setData(cell(TLItem::BackgroundColorColumn), QColor("#a3a3a3"));
    table = std::make_unique<QTableView>();
    table->setModel(&model);
    TLItemDelegate::applyTo(table.get());
    table->resize(900, 200);
    table->show();
    QVERIFY(QTest::qWaitForWindowExposed(table.get()));
}

void TestTLItemDelegate::shouldPaintCellsAsPeopleReadThem_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("shown"); // ending in an ellipsis: its beginning, then an ellipsis
    QTest::newRow("label") << int(TLItem::TextColumn) << 400 << "Projekt Start Ist aber";
    QTest::newRow("narrow cell") << int(TLItem::TextColumn) << 60 << "Projekt Start Ist aber\u2026";
    QTest::newRow("colour") << int(TLItem::BackgroundColorColumn) << 200 << "#a3a3a3";
}

void TestTLItemDelegate::shouldPaintCellsAsPeopleReadThem()
{
    QFETCH(int, column);
    QFETCH(int, width);
    QFETCH(QString, shown);
    model.setData(cell(TLItem::TextColumn),
                  QStringLiteral("<html><head><meta name=\"qrichtext\" content=\"1\" /></head><body style=\" "
                                 "font-family:'tahoma';\"><p><b>Projekt</b><br />Start</p><p></p><p>Ist <u>aber</u>"
                                 "</p></body></html>"));
    QStyleOptionViewItem option;
    option.initFrom(table.get());
    option.rect = QRect(0, 0, width, 30);
    option.decorationSize = QSize(16, 16);
    RecordingImage image;
    QPainter painter(&image);
    table->itemDelegate()->paint(&painter, option, cell(column));
    painter.end();

    const QString painted = image.engine.text;
    if (shown.endsWith(QChar(0x2026)))
        QVERIFY2(painted.endsWith(QChar(0x2026)) && shown.startsWith(painted.chopped(1)), qPrintable(painted));
    else
        QCOMPARE(painted, shown);
    QCOMPARE(image.engine.swatches, column == TLItem::TextColumn ? QList<QColor>() : QList<QColor> { "#a3a3a3" });
}

void TestTLItemDelegate::shouldFitTheColumnsToTheirHeaders()
{
    QHeaderView *header = table->horizontalHeader();
    const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int column = 0; column < TLItem::ColumnCount; ++column) {
        const QString title = model.headerData(column, Qt::Horizontal).toString();
        QVERIFY2(header->sectionSize(column) >= header->fontMetrics().horizontalAdvance(title) + margin,
                 qPrintable(title));
    }
}

void TestTLItemDelegate::shouldWriteEditedRichTextBackAsHtml()
{
    model.setData(cell(TLItem::TextColumn), QStringLiteral("<p><b>Bericht</b> heute</p>"));
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    // Opened and finished without a change, it writes nothing.
    for (const QString &typed : { QString(), QStringLiteral(" und morgen") }) {
        table->edit(cell(TLItem::TextColumn));
        QPointer<QTextEdit> editor = table->viewport()->findChild<QTextEdit *>();
        // The editor clamps what is pasted into it.
        QVERIFY(editor && qobject_cast<TLRichText *>(editor->document()));
        QCOMPARE(editor->toPlainText(), QStringLiteral("Bericht heute"));
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
        QTRY_VERIFY(!editor);
        QCOMPARE(changes.count(), typed.isEmpty() ? 0 : 1);
    }
    const QString html = model.data(cell(TLItem::TextColumn), Qt::EditRole).toString();
    QVERIFY2(html.startsWith(QLatin1String("<!DOCTYPE HTML")) && html.contains(QLatin1String("font-weight:700")),
             qPrintable(html));
    QCOMPARE(TLRichText::plainText(html), QStringLiteral("Bericht heute und morgen"));
}

void TestTLItemDelegate::shouldEditColoursByNameOrChooser_data()
{
    QTest::addColumn<QString>("typed"); // none: the chooser
    QTest::addColumn<QColor>("stored");
    QTest::newRow("name with spaces") << " green " << QColor(0, 128, 0);
    QTest::newRow("not a colour") << "nonsense" << QColor("#a3a3a3");
    QTest::newRow("chooser") << QString() << QColor(0, 85, 127);
}

void TestTLItemDelegate::shouldEditColoursByNameOrChooser()
{
    QFETCH(QString, typed);
    QFETCH(QColor, stored);
    table->edit(cell(TLItem::BackgroundColorColumn));
    QPointer<QLineEdit> editor = table->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("#a3a3a3"));
    if (typed.isNull()) {
        QColor offered;
        whenModal([&offered](QWidget *widget) {
            auto *dialog = qobject_cast<QColorDialog *>(widget);
            offered = dialog->currentColor();
            dialog->setCurrentColor(QColor(0, 85, 127));
            dialog->accept();
        });
        editor->findChild<QAction *>(QStringLiteral("chooseColour"))->trigger();
        QCOMPARE(offered, QColor("#a3a3a3"));
    } else {
        editor->setText(typed);
        QTest::keyClick(editor, Qt::Key_Return);
    }
    QTRY_VERIFY(!editor);
    QCOMPARE(model.data(cell(TLItem::BackgroundColorColumn)).value<QColor>(), stored);
}

void TestTLItemDelegate::shouldWriteBackOnlyWhatWasChanged_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("key"); // 0: none
    QTest::addColumn<QDate>("stored"); // the end date after the edit
    const QDate end(2006, 10, 25);
    QTest::newRow("date") << int(TLItem::DateColumn) << QDate() << 0 << QDate();
    QTest::newRow("row") << int(TLItem::PosColumn) << QDate() << 0 << QDate();
    QTest::newRow("colour") << int(TLItem::BackgroundColorColumn) << QDate() << 0 << QDate();
    QTest::newRow("empty end date") << int(TLItem::EndDateColumn) << QDate() << 0 << QDate();
    // An empty end date steps from the item's date, as in the dialog.
    QTest::newRow("empty end date, stepped") << int(TLItem::EndDateColumn) << QDate() << int(Qt::Key_Up)
                                             << QDate(2006, 10, 4);
    QTest::newRow("end date, emptied") << int(TLItem::EndDateColumn) << end << int(Qt::Key_Delete) << QDate();
    QTest::newRow("end date, stepped") << int(TLItem::EndDateColumn) << end << int(Qt::Key_Down) << end.addDays(-1);
}

void TestTLItemDelegate::shouldWriteBackOnlyWhatWasChanged()
{
    QFETCH(int, column);
    QFETCH(QDate, end);
    QFETCH(int, key);
    QFETCH(QDate, stored);
    model.setData(cell(TLItem::DateColumn), QDate(2006, 10, 4));
    model.setData(cell(TLItem::EndDateColumn), end);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    table->edit(cell(column));
    QPointer<QWidget> editor = table->indexWidget(cell(column));
    QVERIFY(editor);
    if (auto *date = qobject_cast<TLDateEdit *>(editor)) {
        // Its text takes the room it needs beside the arrows.
        QLineEdit *text = date->findChild<QLineEdit *>();
        QVERIFY(text->width() >= text->fontMetrics().horizontalAdvance(text->text()));
        text->setCursorPosition(0);
        if (key == Qt::Key_Delete)
            text->selectAll();
    }
    if (key != 0)
        QTest::keyClick(editor, Qt::Key(key));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!editor);
    QCOMPARE(changes.count(), key != 0 ? 1 : 0);
    QCOMPARE(model.data(cell(TLItem::EndDateColumn)).toDate(), stored);
}

QTEST_MAIN(TestTLItemDelegate)
#include "tst_tlitemdelegate.moc"
