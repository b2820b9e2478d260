#include "app/zelvaro.h"
#include "dialogs/bgdialog.h"
#include "model/tldocument.h"
#include "view/tline.h"
#include "windowprobe.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFile>
#include <QInputDialog>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

struct BgProbe : TLine
{
    static QBrush bgOf(const TLine *t) { return t->*(&BgProbe::bg); }
};

struct Background
{
    int mode = -1;
    QList<QColor> colors;
    QString fileName;
    bool operator==(const Background &o) const
    {
        return mode == o.mode && colors == o.colors && fileName == o.fileName;
    }
};

void pressOk(QDialog *dialog)
{
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
}

}

class TestChartCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void shouldOfferTheBackgroundMenuAtTheCursor();
    void shouldApplyTheBackgroundOnlyWhenAccepted_data();
    void shouldApplyTheBackgroundOnlyWhenAccepted();
    void shouldLeaveTheDialogColoursForAShortList();
    void shouldHandEveryParameterToTheNewStyle_data();
    void shouldHandEveryParameterToTheNewStyle();
    void shouldHandThePatternToTheNewStyle();
    void shouldReplaceTheChartFromItsOwnBackgroundMenu();

private:
    Background savedBackground();
    TLine *chart() { return window->findChild<QScrollArea *>()->findChild<TLine *>(); }
    template <typename T> T *control(const char *name) { return window->findChild<T *>(QLatin1String(name)); }

    QTemporaryDir configDir;
    QTemporaryDir files;
    QString tilePath;
    QImage tile;
    std::unique_ptr<Zelvaro> window;
};

void TestChartCommands::initTestCase()
{
    QVERIFY(configDir.isValid() && files.isValid());
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    tile = QImage(3, 2, QImage::Format_RGB32);
    tile.fill(Qt::yellow);
    tile.setPixel(1, 1, qRgb(200, 0, 100));
    tilePath = files.filePath(QStringLiteral("tile.png"));
    QVERIFY(tile.save(tilePath));
}

void TestChartCommands::init()
{
    QSettings(QStringLiteral("Orlevant"), QStringLiteral("Zelvaro")).clear();
    window = std::make_unique<Zelvaro>();
    QVERIFY(!window->isWindowModified());
}

// The window's background record, as a saved document carries it.
Background TestChartCommands::savedBackground()
{
    const QString path = files.filePath(QStringLiteral("record.vrk"));
    if (!window->saveNative(path))
        return {};
    QFile file(path);
    TLDocument document;
    if (!file.open(QIODevice::ReadOnly) || !TLDocument::read(&file, &document))
        return {};
    return { document.bgMode, document.bgColors, document.bgFileName };
}

void TestChartCommands::shouldOfferTheBackgroundMenuAtTheCursor()
{
    QCursor::setPos(200, 150);
    QStringList entries;
    QPoint shownAt;
    QObject *menuParent = window.get();
    QString modal;
    whenPopup([&](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        if (!menu) {
            popup->close();
            return;
        }
        menuParent = menu->parent();
        shownAt = menu->pos();
        for (QAction *action : menu->actions())
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        whenModal([&modal](QWidget *widget) {
            modal = QLatin1String(widget->metaObject()->className());
            widget->close();
        });
        menu->setActiveAction(menu->actions().at(2));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    window->showBackgroundMenu();

    QCOMPARE(entries, QStringList({ "N&ew Item ...", "-", "change Background ...", "change Typ ..." }));
    QCOMPARE(menuParent, nullptr);
    QCOMPARE(shownAt, QPoint(200, 150));
    // The chosen entry runs its command.
    QCOMPARE(modal, QStringLiteral("BGDialog"));
}

void TestChartCommands::shouldApplyTheBackgroundOnlyWhenAccepted_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<QColor>>("colors");

    // The demo shows a vertical gradient from white to blue.
    const QList<QColor> demo = { Qt::white, Qt::white, Qt::blue };
    const QList<QColor> other = { Qt::white, Qt::red, Qt::green };
    QTest::newRow("cancel after changes") << false << 1 << other;
    QTest::newRow("ok without changes") << true << 3 << demo;
    QTest::newRow("ok with new colours") << true << 3 << other;
    QTest::newRow("ok with another mode") << true << 2 << demo;
}

void TestChartCommands::shouldApplyTheBackgroundOnlyWhenAccepted()
{
    QFETCH(bool, accepted);
    QFETCH(int, mode);
    QFETCH(QList<QColor>, colors);
    const Background before = savedBackground();
    QCOMPARE(before, Background({ 3, { Qt::white, Qt::white, Qt::blue }, QString() }));
    const QImage pixels = chart()->grab().toImage();

    Background preset;
    QWidget *parent = nullptr;
    whenModal([&](QWidget *widget) {
        auto *dialog = qobject_cast<BGDialog *>(widget);
        if (!dialog) {
            widget->close();
            return;
        }
        parent = dialog->parentWidget();
        preset = { dialog->mode(), dialog->colors(), dialog->fileName() };
        dialog->setColors(colors.at(0), colors.at(1), colors.at(2));
        dialog->setMode(mode);
        accepted ? pressOk(dialog) : dialog->reject();
    });
    window->changeBackground();

    QCOMPARE(parent, window.get());
    QCOMPARE(preset, before);
    const Background expected = accepted ? Background({ mode, colors, QString() }) : before;
    const bool changed = !(expected == before);
    QCOMPARE(savedBackground(), expected);
    QCOMPARE(chart()->bgMode(), expected.mode);
    QCOMPARE(TLineProbe::bgColorsOf(chart()), expected.colors);
    QCOMPARE(chart()->grab().toImage() != pixels, changed);
    QCOMPARE(window->isWindowModified(), changed);
}

void TestChartCommands::shouldLeaveTheDialogColoursForAShortList()
{
    TLDocument document;
    document.start = QDate(2007, 1, 1);
    document.end = QDate(2007, 1, 20);
    document.dayWidth = 10;
    document.posHeight = 40;
    document.maxPos = 2;
    document.bgMode = 1;
    document.bgColors = { Qt::red, Qt::green };
    const QString path = files.filePath(QStringLiteral("short.vrk"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && document.write(&file));
    file.close();
    QVERIFY(window->loadNative(path));

    QList<QColor> preset;
    whenModal([&preset](QWidget *widget) {
        if (auto *dialog = qobject_cast<BGDialog *>(widget))
            preset = dialog->colors();
        widget->close();
    });
    window->changeBackground();

    QCOMPARE(preset, QList<QColor>({ Qt::white, Qt::white, Qt::blue }));
    // Cancelled: the chart is handed the window's own list again.
    QCOMPARE(TLineProbe::bgColorsOf(chart()), QList<QColor>({ Qt::red, Qt::green }));
    QCOMPARE(chart()->grab().toImage().pixel(0, 0), QColor(Qt::red).rgb());
}

void TestChartCommands::shouldHandEveryParameterToTheNewStyle_data()
{
    QTest::addColumn<QString>("answer"); // empty: cancelled
    QTest::addColumn<QString>("style");

    QTest::newRow("Typ 3") << "Typ 3" << "TLine3";
    QTest::newRow("Typ 2") << "Typ 2" << "TLine2";
    QTest::newRow("the current one again") << "Typ 1" << "TLine1";
    QTest::newRow("cancelled") << "" << "TLine1";
}

void TestChartCommands::shouldHandEveryParameterToTheNewStyle()
{
    QFETCH(QString, answer);
    QFETCH(QString, style);
    control<QDateEdit>("deStart")->setDate(QDate(2007, 1, 1));
    control<QDateEdit>("deEnd")->setDate(QDate(2007, 3, 1));
    control<QSpinBox>("sMaxPos")->setValue(7);
    control<QSlider>("slArrow")->setValue(15);
    control<QSlider>("slWidth")->setValue(1530);
    control<QSlider>("slHeight")->setValue(60);
    control<QCheckBox>("cbRoundEdges")->setChecked(true);
    control<QCheckBox>("cbMarkWeeks")->setChecked(false);
    window->setWindowModified(false);
    QPointer<TLine> before = chart();
    const QSet<int> flags = TLineProbe::flagsOf(before);
    QCOMPARE(flags, QSet<int>({ 0, 2, 3, 4, 5, 6, 7, 8 }));

    QStringList question;
    QWidget *parent = nullptr;
    whenModal([&](QWidget *widget) {
        auto *dialog = qobject_cast<QInputDialog *>(widget);
        if (!dialog) {
            widget->close();
            return;
        }
        parent = dialog->parentWidget();
        question << dialog->windowTitle() << dialog->labelText() << dialog->comboBoxItems() << dialog->textValue()
                 << (dialog->isComboBoxEditable() ? "editable" : "fixed");
        if (answer.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setTextValue(answer);
        dialog->accept();
    });
    window->changeTimelineTyp();

    QCOMPARE(parent, window.get());
    QCOMPARE(question, QStringList({ "", "", "Typ 1", "Typ 2", "Typ 3", "Typ 1", "fixed" }));
    TLine *line = chart();
    QCOMPARE(line->metaObject()->className(), qPrintable(style));
    if (answer.isEmpty()) {
        QCOMPARE(line, before.data());
        QVERIFY(!window->isWindowModified());
        return;
    }
    QVERIFY(before.isNull());
    QCOMPARE(window->findChildren<TLine *>().size(), 1);
    QCOMPARE(window->isWindowModified(), answer != QLatin1String("Typ 1"));

    QCOMPARE(TLineProbe::startOf(line), QDate(2007, 1, 1));
    QCOMPARE(TLineProbe::endOf(line), QDate(2007, 3, 1));
    QCOMPARE(TLineProbe::maxPosOf(line), 7);
    QCOMPARE(TLineProbe::tPosOf(line), 15);
    QCOMPARE(TLineProbe::dayWidthOf(line), 15.3);
    QCOMPARE(TLineProbe::posHeightOf(line), 60.0);
    QCOMPARE(TLineProbe::flagsOf(line), flags);
    QCOMPARE(line->bgMode(), 3);
    QCOMPARE(TLineProbe::bgColorsOf(line), QList<QColor>({ Qt::white, Qt::white, Qt::blue }));
}

void TestChartCommands::shouldHandThePatternToTheNewStyle()
{
    whenModal([this](QWidget *widget) {
        auto *dialog = qobject_cast<BGDialog *>(widget);
        if (!dialog) {
            widget->close();
            return;
        }
        dialog->setMode(4);
        dialog->setFileName(tilePath);
        pressOk(dialog);
    });
    window->changeBackground();
    QCOMPARE(savedBackground(), Background({ 4, { Qt::white, Qt::white, Qt::blue }, tilePath }));
    QCOMPARE(BgProbe::bgOf(chart()).textureImage().convertToFormat(QImage::Format_RGB32), tile);
    QVERIFY(window->isWindowModified());

    whenModal([](QWidget *widget) {
        auto *dialog = qobject_cast<QInputDialog *>(widget);
        if (!dialog) {
            widget->close();
            return;
        }
        dialog->setTextValue(QStringLiteral("Typ 2"));
        dialog->accept();
    });
    window->changeTimelineTyp();
    TLine *line = chart();
    QCOMPARE(line->metaObject()->className(), "TLine2");
    QCOMPARE(line->bgMode(), 4);
    QCOMPARE(BgProbe::bgOf(line).textureImage().convertToFormat(QImage::Format_RGB32), tile);
}

QTEST_MAIN(TestChartCommands)
// The style change deletes the chart whose context menu event is still
// running; under the address sanitizer a later touch of it would show.
void TestChartCommands::shouldReplaceTheChartFromItsOwnBackgroundMenu()
{
    QPointer<TLine> before = chart();
    before->grab();
    whenPopup([](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        whenModal([](QWidget *widget) {
            auto *dialog = qobject_cast<QInputDialog *>(widget);
            dialog->setTextValue(QStringLiteral("Typ 2"));
            dialog->accept();
        });
        menu->setActiveAction(menu->actions().at(3));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), before->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(before, &event);

    QVERIFY(before.isNull());
    QCOMPARE(chart()->metaObject()->className(), "TLine2");
}

#include "tst_chartcommands.moc"
