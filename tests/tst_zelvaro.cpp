#include "app/zelvaro.h"
#include "model/tldocument.h"
#include "model/tlitemmodel.h"
#include "view/tline.h"
#include "windowprobe.h"
#include "view/tldateedit.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <memory>

namespace {

TLItem item(const QDate &date, int pos, const QString &text)
{
    TLItem i;
    i.date = date;
    i.pos = pos;
    i.text = text;
    return i;
}

}

class TestZelvaro : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void shouldShowTheDemoAfterConstruction();
    void shouldArrangeDocksMenusAndToolbar();
    void shouldHandTheCheckedFlagsToTheChart();
    void shouldFollowTheItemRowsWithSpinBoxChartAndTitles();
    void shouldKeepOnlyTheLastNewTitleMarked();
    void shouldConnectEachChartSignalOnceAfterStyleChanges();
    void shouldKeepStoredRowCountWhileLoading();
    void shouldGiveTheNewChartTheCheckedFlagsOfAnOlderDocument();
    void shouldLeaveTheDocumentAloneForRefusedFiles_data();
    void shouldLeaveTheDocumentAloneForRefusedFiles();
    void shouldRoundTripThroughSaveAndLoad();
    void shouldReportASaveThatCannotBeWritten();
    void shouldSaveALoadedDocumentUnchanged_data();
    void shouldSaveALoadedDocumentUnchanged();
    void shouldLoadWhatATruncatedFileHolds();
    void shouldOpenOnlyTheFirstArgumentWithAKnownEnding_data();
    void shouldOpenOnlyTheFirstArgumentWithAKnownEnding();
    void shouldRestoreSizeAndDocksFromSettings();

private:
    QString writeDocument(const QString &name, const TLDocument &document);

    QTemporaryDir configDir;
    QTemporaryDir files;
    std::unique_ptr<Zelvaro> window;
    TLItemModel *model = nullptr;
    QStringListModel *titles = nullptr;

    template <typename T> T *control(const char *name) { return window->findChild<T *>(QLatin1String(name)); }
    TLine *chart() { return window->findChild<QScrollArea *>()->findChild<TLine *>(); }
};

void TestZelvaro::initTestCase()
{
    // Never the user's own settings.
    QVERIFY(configDir.isValid());
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    QLocale::setDefault(QLocale::c());
}

void TestZelvaro::init()
{
    QSettings(QStringLiteral("Orlevant"), QStringLiteral("Zelvaro")).clear();
    window = std::make_unique<Zelvaro>();
    model = window->findChild<TLItemModel *>();
    titles = window->findChild<QStringListModel *>();
    QVERIFY(model && titles);
}

QString TestZelvaro::writeDocument(const QString &name, const TLDocument &document)
{
    const QString path = files.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !document.write(&file))
        return QString();
    return path;
}

void TestZelvaro::shouldShowTheDemoAfterConstruction()
{
    QCOMPARE(control<TLDateEdit>("deStart")->date(), QDate(2006, 10, 4));
    QCOMPARE(control<TLDateEdit>("deEnd")->date(), QDate(2006, 11, 8));
    // The slider takes the nearest hundredth; the chart gets the stored width itself.
    QCOMPARE(control<QSlider>("slWidth")->value(), 2040);
    QCOMPARE(control<QSlider>("slHeight")->value(), 94);
    QCOMPARE(control<QSlider>("slArrow")->value(), 10);
    QCOMPARE(control<QSpinBox>("sMaxPos")->value(), 4);

    const QStringList checked = { "cbMarkEnds", "cbMarkItems", "cbMarkDays", "cbMarkWeeks", "cbMarkMonths",
                                  "cbMarkYears", "cbItemShadow", "cbArrowShadow" };
    for (const QString &name : checked)
        QVERIFY2(control<QCheckBox>(name.toLatin1())->isChecked(), qPrintable(name));
    QVERIFY(!control<QCheckBox>("cbRoundEdges")->isChecked());

    TLine *line = chart();
    QCOMPARE(line->metaObject()->className(), "TLine1");
    QCOMPARE(TLineProbe::dayWidthOf(line), 20.4);
    QCOMPARE(TLineProbe::posHeightOf(line), 94.99);
    QCOMPARE(TLineProbe::tPosOf(line), 10);
    QCOMPARE(TLineProbe::maxPosOf(line), 4);
    QCOMPARE(line->bgMode(), 3);
    QCOMPARE(TLineProbe::bgColorsOf(line), QList<QColor>({ Qt::white, Qt::white, Qt::blue }));
    QCOMPARE(TLineProbe::flagsOf(line), QSet<int>({ 0, 1, 2, 3, 4, 5, 6, 7 }));

    QCOMPARE(model->rowCount(), 4);
    const QList<QDate> dates = { QDate(2006, 10, 4), QDate(2006, 11, 3), QDate(2006, 10, 19), QDate(2006, 10, 17) };
    for (int row = 0; row < 4; ++row)
        QCOMPARE(model->index(row, TLItem::DateColumn).data().toDate(), dates.at(row));
    QCOMPARE(model->index(3, TLItem::EndDateColumn).data().toDate(), QDate(2006, 10, 25));

    QCOMPARE(titles->stringList(), QStringList({ "", "", "", "*Neu*" }));
    QVERIFY(window->windowTitle().isEmpty() || window->windowTitle() == QCoreApplication::applicationName());
}

void TestZelvaro::shouldArrangeDocksMenusAndToolbar()
{
    const QList<QPair<QString, Qt::DockWidgetArea>> docks = {
        { "regdock", Qt::RightDockWidgetArea },
        { "tabdock", Qt::BottomDockWidgetArea },
        { "titledock", Qt::LeftDockWidgetArea },
    };
    for (const auto &dock : docks) {
        QDockWidget *widget = window->findChild<QDockWidget *>(dock.first);
        QVERIFY2(widget, qPrintable(dock.first));
        QCOMPARE(window->dockWidgetArea(widget), dock.second);
    }
    QToolBar *toolBar = window->findChild<QToolBar *>(QStringLiteral("maintoolbar"));
    QVERIFY(toolBar);
    QCOMPARE(window->toolBarArea(toolBar), Qt::TopToolBarArea);

    QStringList menus;
    for (QAction *action : window->menuBar()->actions())
        menus << action->text();
    QCOMPARE(menus, QStringList({ "&File", "Da&ta", "&View" }));

    QStringList view;
    for (QAction *action : window->menuBar()->actions().at(2)->menu()->actions())
        view << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(view, QStringList({ "change Background ...", "change Typ ...", "-", "data", "Titels", "Regler", "-",
                                 "main" }));

    QStringList tools;
    for (QAction *action : toolBar->actions())
        tools << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(tools, QStringList({ "&New", "&Open ...", "&Save ...", "Save &Image ...", "-", "N&ew Item ..." }));
}

void TestZelvaro::shouldHandTheCheckedFlagsToTheChart()
{
    control<QCheckBox>("cbMarkEnds")->setChecked(false);
    QCOMPARE(TLineProbe::flagsOf(chart()), QSet<int>({ 0, 1, 2, 3, 5, 6, 7 }));
    control<QCheckBox>("cbRoundEdges")->setChecked(true);
    control<QCheckBox>("cbMarkDays")->setChecked(false);
    QCOMPARE(TLineProbe::flagsOf(chart()), QSet<int>({ 1, 2, 3, 5, 6, 7, 8 }));
    control<QCheckBox>("cbMarkEnds")->setChecked(true);
    QCOMPARE(TLineProbe::flagsOf(chart()), QSet<int>({ 1, 2, 3, 4, 5, 6, 7, 8 }));
}

void TestZelvaro::shouldFollowTheItemRowsWithSpinBoxChartAndTitles()
{
    const int row = model->rowCount();
    QVERIFY(model->insertRows(row, 1));
    model->setData(model->index(row, TLItem::PosColumn), 6);

    QCOMPARE(control<QSpinBox>("sMaxPos")->value(), 7);
    QCOMPARE(TLineProbe::maxPosOf(chart()), 7);
    QCOMPARE(titles->rowCount(), 7);
    QCOMPARE(titles->stringList().last(), QStringLiteral("*Neu*"));
}

void TestZelvaro::shouldKeepOnlyTheLastNewTitleMarked()
{
    QSpinBox *rows = control<QSpinBox>("sMaxPos");
    rows->setValue(2);
    QCOMPARE(titles->stringList(), QStringList({ "", "" }));
    titles->setData(titles->index(0), QStringLiteral("first"));
    rows->setValue(5);
    QCOMPARE(titles->stringList(), QStringList({ "first", "", "", "", "*Neu*" }));
    rows->setValue(3);
    QCOMPARE(titles->stringList(), QStringList({ "first", "", "" }));
}

void TestZelvaro::shouldConnectEachChartSignalOnceAfterStyleChanges()
{
    window->createTimeline(2);
    window->createTimeline(3);
    TLine *line = chart();
    QCOMPARE(line->metaObject()->className(), "TLine3");
    QCOMPARE(window->findChildren<TLine *>().size(), 1);

    QCOMPARE(ObjectProbe::receiversOf(line, SIGNAL(itemClicked(int))), 1);
    QCOMPARE(ObjectProbe::receiversOf(line, SIGNAL(itemDelete(int))), 1);
    QCOMPARE(ObjectProbe::receiversOf(line, SIGNAL(backgroundClicked())), 1);
    // The window also marks the document changed; the spin box also drives the title list.
    QCOMPARE(ObjectProbe::receiversOf(control<QSlider>("slWidth"), SIGNAL(valueChanged(int))), 2);
    QCOMPARE(ObjectProbe::receiversOf(control<QSpinBox>("sMaxPos"), SIGNAL(valueChanged(int))), 3);

    control<QSlider>("slWidth")->setValue(500);
    QCOMPARE(TLineProbe::dayWidthOf(line), 5.0);
}

void TestZelvaro::shouldKeepStoredRowCountWhileLoading()
{
    TLDocument document;
    document.start = QDate(2007, 1, 1);
    document.end = QDate(2007, 2, 1);
    document.dayWidth = 20;
    document.posHeight = 50;
    document.maxPos = 7;
    for (int pos : { 0, 3, 5, 4 })
        document.items << item(QDate(2007, 1, 10), pos, QStringLiteral("row %1").arg(pos));
    const QString path = writeDocument(QStringLiteral("seven.vrk"), document);
    QVERIFY(window->loadNative(path));

    QCOMPARE(control<QSpinBox>("sMaxPos")->value(), 7);
    QCOMPARE(TLineProbe::maxPosOf(chart()), 7);
    QCOMPARE(titles->rowCount(), 7);
    QCOMPARE(titles->stringList().last(), QStringLiteral("*Neu*"));

    // Items beyond the stored rows still get their rows.
    document.maxPos = 2;
    QVERIFY(window->loadNative(writeDocument(QStringLiteral("two.vrk"), document)));
    QCOMPARE(control<QSpinBox>("sMaxPos")->value(), 6);

    document.items << item(QDate(2007, 1, 12), 8, QStringLiteral("low"));
    QVERIFY(window->loadNative(writeDocument(QStringLiteral("nine.vrk"), document)));
    QCOMPARE(control<QSpinBox>("sMaxPos")->value(), 9);
    QCOMPARE(TLineProbe::maxPosOf(chart()), 9);
}

void TestZelvaro::shouldGiveTheNewChartTheCheckedFlagsOfAnOlderDocument()
{
    // The demo carries only the two mark switches, which are checked already.
    QVERIFY(window->loadNative(QStringLiteral(":demo.vrk")));
    QCOMPARE(TLineProbe::flagsOf(chart()), QSet<int>({ 0, 1, 2, 3, 4, 5, 6, 7 }));
}

void TestZelvaro::shouldLeaveTheDocumentAloneForRefusedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("error");
    const QByteArray magic = QByteArray::fromHex("FFABDEFA");
    QTest::newRow("not a chart") << QByteArray("plain text, not a chart") << int(TLFileResult::NotAChart);
    QTest::newRow("version 5") << magic + QByteArray::fromHex("05") << int(TLFileResult::UnsupportedVersion);
    QTest::newRow("version 0x80") << magic + QByteArray::fromHex("80") << int(TLFileResult::UnsupportedVersion);
    QTest::newRow("style 9") << magic + QByteArray::fromHex("0400000009") << int(TLFileResult::UnknownStyle);
}

void TestZelvaro::shouldLeaveTheDocumentAloneForRefusedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, error);
    const QString path = files.filePath(QStringLiteral("refused.vrk"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    TLine *before = chart();

    const TLFileResult result = window->loadNative(path);
    QCOMPARE(int(result.error()), error);
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(chart(), before);
    QCOMPARE(control<TLDateEdit>("deStart")->date(), QDate(2006, 10, 4));
    QCOMPARE(control<QSpinBox>("sMaxPos")->value(), 4);

    QCOMPARE(int(window->loadNative(files.filePath(QStringLiteral("missing.vrk"))).error()),
             int(TLFileResult::OpenFailed));
    QCOMPARE(model->rowCount(), 4);
}

void TestZelvaro::shouldRoundTripThroughSaveAndLoad()
{
    window->createTimeline(2);
    control<QCheckBox>("cbRoundEdges")->setChecked(true);
    control<QCheckBox>("cbMarkWeeks")->setChecked(false);
    control<QSlider>("slWidth")->setValue(1530);
    const QString path = files.filePath(QStringLiteral("round.vrk"));
    QVERIFY(window->saveNative(path));

    Zelvaro other;
    QVERIFY(other.loadNative(path));
    TLine *line = other.findChild<QScrollArea *>()->findChild<TLine *>();
    QCOMPARE(line->metaObject()->className(), "TLine2");
    QCOMPARE(TLineProbe::dayWidthOf(line), 15.3);
    // The row height is saved as loaded, not as the slider rounds it.
    QCOMPARE(TLineProbe::posHeightOf(line), 94.99);
    QCOMPARE(other.findChild<QSlider *>(QStringLiteral("slWidth"))->value(), 1530);
    QCOMPARE(TLineProbe::flagsOf(line), QSet<int>({ 0, 2, 3, 4, 5, 6, 7, 8 }));
    QVERIFY(other.findChild<QCheckBox *>(QStringLiteral("cbRoundEdges"))->isChecked());
    QVERIFY(!other.findChild<QCheckBox *>(QStringLiteral("cbMarkWeeks"))->isChecked());

    TLItemModel *loaded = other.findChild<TLItemModel *>();
    QCOMPARE(loaded->rowCount(), model->rowCount());
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < TLItem::ColumnCount; ++column)
            QCOMPARE(loaded->index(row, column).data(), model->index(row, column).data());
    }
}

void TestZelvaro::shouldReportASaveThatCannotBeWritten()
{
    const TLFileResult result = window->saveNative(files.filePath(QStringLiteral("no/such/folder/x.vrk")));
    QVERIFY(!result);
    QVERIFY(!result.detail().isEmpty());
}

void TestZelvaro::shouldSaveALoadedDocumentUnchanged_data()
{
    QTest::addColumn<double>("dayWidth");
    for (double width : { 1.16, 20.4, 0.29 })
        QTest::addRow("%g", width) << width;
}

void TestZelvaro::shouldSaveALoadedDocumentUnchanged()
{
    QFETCH(double, dayWidth);
    TLDocument document;
    document.start = QDate(2007, 1, 1);
    document.end = QDate(2007, 3, 1);
    document.dayWidth = dayWidth;
    document.posHeight = 45;
    document.maxPos = 4;
    document.displayFlags = { 0, 3, 4, 8 };
    const QString path = writeDocument(QStringLiteral("width.vrk"), document);
    const QString again = files.filePath(QStringLiteral("again.vrk"));
    QVERIFY(window->loadNative(path) && window->saveNative(again));
    QFile original(path);
    QFile saved(again);
    QVERIFY(original.open(QIODevice::ReadOnly) && saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll().toHex(' '), original.readAll().toHex(' '));
}

void TestZelvaro::shouldLoadWhatATruncatedFileHolds()
{
    TLDocument document;
    for (int pos : { 0, 1, 2, 1 })
        document.items << item(QDate(2007, 1, 10 + pos), pos, QStringLiteral("item %1").arg(pos));
    QFile file(writeDocument(QStringLiteral("cut.vrk"), document));
    // Each item takes 39 bytes; the cut falls into the third item's label.
    QVERIFY(file.resize(file.size() - 2 * 39 + 14));
    QSignalSpy inserted(model, &TLItemModel::rowsInserted);
    QSignalSpy changed(model, &TLItemModel::dataChanged);
    const TLFileResult result = window->loadNative(file.fileName());
    QCOMPARE(result.error(), TLFileResult::Truncated);
    QCOMPARE(result.count(), 3);
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->index(1, TLItem::TextColumn).data().toString(), QStringLiteral("item 1"));
    // The items arrive in one insertion, not field by field.
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(changed.size(), 0);
}

void TestZelvaro::shouldOpenOnlyTheFirstArgumentWithAKnownEnding_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("opened");
    QTest::newRow("none") << QStringList() << false;
    QTest::newRow("vrk") << QStringList({ "plan.vrk" }) << true;
    QTest::newRow("upper case VRK") << QStringList({ "plan.VRK" }) << false;
    QTest::newRow("txt") << QStringList({ "plan.txt" }) << false;
    QTest::newRow("second argument") << QStringList({ "plan.txt", "plan.vrk" }) << false;
    QTest::newRow("first of two") << QStringList({ "plan.vrk", "other.vrk" }) << true;
}

void TestZelvaro::shouldOpenOnlyTheFirstArgumentWithAKnownEnding()
{
    QFETCH(QStringList, names);
    QFETCH(bool, opened);
    TLDocument document;
    document.start = QDate(2010, 5, 1);
    document.end = QDate(2010, 6, 1);
    document.dayWidth = 10;
    document.posHeight = 40;
    document.maxPos = 1;
    document.items << item(QDate(2010, 5, 2), 0, QStringLiteral("one"));
    for (const char *name : { "plan.vrk", "plan.VRK", "plan.txt" })
        QVERIFY(!writeDocument(QLatin1String(name), document).isEmpty());
    document.items << item(QDate(2010, 5, 3), 0, QStringLiteral("two"));
    QVERIFY(!writeDocument(QStringLiteral("other.vrk"), document).isEmpty());

    QStringList arguments = { QStringLiteral("zelvaro") };
    for (const QString &name : names)
        arguments << files.filePath(name);
    window->openCommandLine(arguments);

    QCOMPARE(model->rowCount(), opened ? 1 : 4);
    QVERIFY(window->windowTitle().isEmpty());
}

void TestZelvaro::shouldRestoreSizeAndDocksFromSettings()
{
    QCOMPARE(window->size(), QSize(800, 500));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // Within the offscreen screen of 800 x 800.
    window->resize(760, 540);
    window->findChild<QDockWidget *>(QStringLiteral("titledock"))->close();
    window.reset();

    QSettings settings(QStringLiteral("Orlevant"), QStringLiteral("Zelvaro"));
    QCOMPARE(settings.value(QStringLiteral("MainWindowRect")).toRect(), QRect(0, 0, 760, 540));
    QVERIFY(!settings.value(QStringLiteral("MainWindowState")).toByteArray().isEmpty());

    window = std::make_unique<Zelvaro>();
    QCOMPARE(window->size(), QSize(760, 540));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(!window->findChild<QDockWidget *>(QStringLiteral("titledock"))->isVisible());
    QVERIFY(window->findChild<QDockWidget *>(QStringLiteral("regdock"))->isVisible());

    // A stored size no screen has opens within the screen.
    window.reset();
    settings.setValue(QStringLiteral("MainWindowRect"), QRect(0, 0, 100000, 100000));
    settings.sync();
    window = std::make_unique<Zelvaro>();
    QCOMPARE(window->size(), QApplication::primaryScreen()->availableGeometry().size());
}

QTEST_MAIN(TestZelvaro)
#include "tst_zelvaro.moc"
