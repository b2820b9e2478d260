#include "model/tlitemmodel.h"
#include "model/tlrichtext.h"
#include "view/tlitemdelegate.h"
#include "windowprobe.h"

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

#include <climits>

namespace {

// Keeps what a painter is asked to draw as text and pixmaps, so that a test
// can say what a cell shows whatever the fonts look like.
class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &, const QTextItem &item) override { text += item.text(); }
    void drawPixmap(const QRectF &, const QPixmap &pixmap, const QRectF &) override
    {
        const QImage image = pixmap.toImage();
        pixmapCentres << image.pixelColor(image.width() / 2, image.height() / 2);
    }
    Type type() const override { return QPaintEngine::User; }

    QString text;
    QList<QColor> pixmapCentres;
};

class RecordingDevice : public QPaintDevice
{
public:
    QPaintEngine *paintEngine() const override { return &engine; }

    mutable RecordingEngine engine;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return 600;
        case PdmHeight:
            return 100;
        case PdmWidthMM:
            return 159;
        case PdmHeightMM:
            return 26;
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 96;
        }
    }
};

QStyleOptionViewItem cellOption(int width)
{
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, width, 30);
    option.state = QStyle::State_Enabled | QStyle::State_Active;
    option.font = QApplication::font();
    option.fontMetrics = QFontMetrics(option.font);
    option.palette = QApplication::palette();
    option.decorationSize = QSize(16, 16);
    return option;
}

}

class TestTLItemDelegate : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void shouldPaintCellsAsPeopleReadThem_data();
    void shouldPaintCellsAsPeopleReadThem();
    void shouldLeaveTheModelValuesAndFitTheHeaders();
    void shouldWriteEditedRichTextBackAsHtml();
    void shouldTakeTypedColourNames_data();
    void shouldTakeTypedColourNames();
    void shouldOfferTheColourChooser();

private:
    QModelIndex cell(int column) { return model.index(0, column); }

    TLItemModel model;
    TLItemDelegate delegate;
};

void TestTLItemDelegate::init()
{
    model.clear();
    model.insertRows(0, 1);
    model.setData(cell(TLItem::DateColumn), QDate(2006, 10, 4));
    model.setData(cell(TLItem::BackgroundColorColumn), QColor("#a3a3a3"));
}

void TestTLItemDelegate::shouldPaintCellsAsPeopleReadThem_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("elided");

    const QString document = QStringLiteral(
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" \"http://www.w3.org/TR/REC-html40/strict.dtd\">"
        "<html><head><meta name=\"qrichtext\" content=\"1\" /></head>"
        "<body style=\" font-family:'tahoma'; font-size:9pt;\"><p>Projekt<br />Start</p></body></html>");
    QTest::newRow("document with a line break") << int(TLItem::TextColumn) << document << 400 << "Projekt Start" << false;
    QTest::newRow("paragraphs in several formats")
        << int(TLItem::TextColumn) << "<p><b>Ein</b> anderer <u>Bericht</u></p><p></p><p>Ist aber</p>" << 400
        << "Ein anderer Bericht Ist aber" << false;
    QTest::newRow("plain label") << int(TLItem::TextColumn) << "Zwischenbericht" << 400 << "Zwischenbericht" << false;
    QTest::newRow("narrow cell") << int(TLItem::TextColumn) << "<p>Ein anderer Bericht</p><p>Ist aber auch</p>" << 80
                                 << "Ein anderer Bericht Ist aber auch" << true;
    QTest::newRow("colour") << int(TLItem::BackgroundColorColumn) << QString() << 200 << "#a3a3a3" << false;
}

void TestTLItemDelegate::shouldPaintCellsAsPeopleReadThem()
{
    QFETCH(int, column);
    QFETCH(QString, label);
    QFETCH(int, width);
    QFETCH(QString, shown);
    QFETCH(bool, elided);
    model.setData(cell(TLItem::TextColumn), label);

    RecordingDevice device;
    QPainter painter(&device);
    delegate.paint(&painter, cellOption(width), cell(column));
    painter.end();

    const QString painted = device.engine.text;
    QVERIFY2(!painted.contains(QLatin1Char('<')), qPrintable(painted));
    if (elided) {
        QVERIFY2(painted.endsWith(QChar(0x2026)), qPrintable(painted));
        QVERIFY2(painted.size() > 1 && shown.startsWith(painted.chopped(1)), qPrintable(painted));
    } else {
        QCOMPARE(painted, shown);
    }
    if (column == TLItem::BackgroundColorColumn)
        QVERIFY(device.engine.pixmapCentres.contains(QColor("#a3a3a3")));
    else
        QVERIFY(device.engine.pixmapCentres.isEmpty());
}

void TestTLItemDelegate::shouldLeaveTheModelValuesAndFitTheHeaders()
{
    const QString label = QStringLiteral("<p>Projekt<br/>Start</p>");
    model.setData(cell(TLItem::TextColumn), label);
    QTableView table;
    table.setModel(&model);
    TLItemDelegate::applyTo(&table);
    table.resize(900, 200);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    QVERIFY(qobject_cast<TLItemDelegate *>(table.itemDelegate()));
    QCOMPARE(table.model(), &model);
    QCOMPARE(model.data(cell(TLItem::TextColumn), Qt::DisplayRole).toString(), label);
    QCOMPARE(model.data(cell(TLItem::BackgroundColorColumn), Qt::DisplayRole).value<QColor>(), QColor("#a3a3a3"));

    QHeaderView *header = table.horizontalHeader();
    const int margin = 2 * table.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int column = 0; column < TLItem::ColumnCount; ++column) {
        const QString title = model.headerData(column, Qt::Horizontal).toString();
        QVERIFY2(header->sectionSize(column) >= header->fontMetrics().horizontalAdvance(title) + margin,
                 qPrintable(title));
    }
}

void TestTLItemDelegate::shouldWriteEditedRichTextBackAsHtml()
{
    model.setData(cell(TLItem::TextColumn), QStringLiteral("<p><b>Bericht</b> heute</p>"));
    QTableView table;
    table.setModel(&model);
    table.setItemDelegate(&delegate);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

    // Opening and finishing without a change writes nothing.
    table.edit(cell(TLItem::TextColumn));
    QPointer<QTextEdit> editor = table.viewport()->findChild<QTextEdit *>();
    QVERIFY(editor);
    QVERIFY(qobject_cast<TLRichText *>(editor->document()));
    QCOMPARE(editor->toPlainText(), QStringLiteral("Bericht heute"));
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QTRY_VERIFY(!editor);
    QCOMPARE(changes.count(), 0);

    table.edit(cell(TLItem::TextColumn));
    editor = table.viewport()->findChild<QTextEdit *>();
    QVERIFY(editor);
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral(" und morgen"));
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QTRY_VERIFY(!editor);

    QCOMPARE(changes.count(), 1);
    const QString html = model.data(cell(TLItem::TextColumn), Qt::EditRole).toString();
    QVERIFY2(html.startsWith(QLatin1String("<!DOCTYPE HTML")), qPrintable(html));
    QCOMPARE(TLRichText::plainText(html), QStringLiteral("Bericht heute und morgen"));
    TLRichText written;
    written.setLabel(html);
    QTextCursor first(&written);
    first.setPosition(1);
    QCOMPARE(first.charFormat().fontWeight(), int(QFont::Bold));
}

void TestTLItemDelegate::shouldTakeTypedColourNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QColor>("stored");
    QTest::newRow("hex") << "#ff0000" << QColor(255, 0, 0);
    QTest::newRow("name with spaces") << " green " << QColor(0, 128, 0);
    QTest::newRow("not a colour") << "nonsense" << QColor("#a3a3a3");
    QTest::newRow("empty") << "" << QColor("#a3a3a3");
}

void TestTLItemDelegate::shouldTakeTypedColourNames()
{
    QFETCH(QString, typed);
    QFETCH(QColor, stored);
    QWidget parent;
    const QModelIndex index = cell(TLItem::BackgroundColorColumn);
    std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, cellOption(200), index));
    QLineEdit *edit = qobject_cast<QLineEdit *>(editor.get());
    QVERIFY(edit);
    delegate.setEditorData(edit, index);
    QCOMPARE(edit->text(), QStringLiteral("#a3a3a3"));
    edit->setText(typed);
    delegate.setModelData(edit, &model, index);
    QCOMPARE(model.data(index).value<QColor>(), stored);
}

void TestTLItemDelegate::shouldOfferTheColourChooser()
{
    QTableView table;
    table.setModel(&model);
    table.setItemDelegate(&delegate);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    table.edit(cell(TLItem::BackgroundColorColumn));
    QPointer<QLineEdit> editor = table.viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    QAction *choose = editor->findChild<QAction *>(QStringLiteral("chooseColour"));
    QVERIFY(choose);
    QColor offered;
    whenModal([&offered](QWidget *widget) {
        QColorDialog *dialog = qobject_cast<QColorDialog *>(widget);
        QVERIFY(dialog);
        offered = dialog->currentColor();
        dialog->setCurrentColor(QColor(0, 85, 127));
        dialog->accept();
    });
    choose->trigger();

    QCOMPARE(offered, QColor("#a3a3a3"));
    QCOMPARE(model.data(cell(TLItem::BackgroundColorColumn)).value<QColor>(), QColor(0, 85, 127));
    QTRY_VERIFY(!editor);
}

QTEST_MAIN(TestTLItemDelegate)
#include "tst_tlitemdelegate.moc"
