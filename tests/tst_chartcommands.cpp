#include "app/zelvaro.h"
#include "dialogs/bgdialog.h"
#include "model/tldocument.h"
#include "view/tline.h"
#include "windowprobe.h"

#include <QContextMenuEvent>
#include <QCursor>
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

#include <algorithm>
#include <memory>

namespace {

struct BgProbe : TLine
{
    static QBrush bgOf(const TLine *t) { return t->*(&BgProbe::bg); }
};

// Every parameter a chart is handed, in a form QCOMPARE can show.
QString parametersOf(const TLine *t)
{
    QList<int> flags = TLineProbe::flagsOf(t).values();
    std::sort(flags.begin(), flags.end());
    QString text;
    QDebug(&text) << t->bgMode() << TLineProbe::bgColorsOf(t) << BgProbe::bgOf(t).textureImage().size()
                  << TLineProbe::startOf(t) << TLineProbe::endOf(t) << TLineProbe::maxPosOf(t) << TLineProbe::tPosOf(t)
                  << TLineProbe::dayWidthOf(t) << TLineProbe::posHeightOf(t) << flags;
    return text;
}

}

class TestChartCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void shouldApplyTheBackgroundOnlyWhenAccepted_data();
    void shouldApplyTheBackgroundOnlyWhenAccepted();
    void shouldLeaveTheDialogColoursForAShortList();
    void shouldHandEveryParameterToTheNewStyle_data();
    void shouldHandEveryParameterToTheNewStyle();
    void shouldReplaceTheChartFromItsOwnBackgroundMenu();

private:
    TLine *chart() { return window->findChild<QScrollArea *>()->findChild<TLine *>(); }

    QTemporaryDir configDir;
    QTemporaryDir files;
    QString tilePath;
    std::unique_ptr<Zelvaro> window;
};

void TestChartCommands::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    QImage tile(3, 2, QImage::Format_RGB32);
    tile.fill(Qt::yellow);
    tilePath = files.filePath(QStringLiteral("tile.png"));
    QVERIFY(tile.save(tilePath));
}

void TestChartCommands::init()
{
    QSettings(QStringLiteral("Orlevant"), QStringLiteral("Zelvaro")).clear();
    window = std::make_unique<Zelvaro>();
}

void TestChartCommands::shouldApplyTheBackgroundOnlyWhenAccepted_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<QColor>>("colors");
    // The demo shows a vertical gradient from white to blue.
    QTest::newRow("cancel after changes") << false << 2 << QList<QColor>({ Qt::white, Qt::red, Qt::green });
    QTest::newRow("ok without changes") << true << 3 << QList<QColor>({ Qt::white, Qt::white, Qt::blue });
    QTest::newRow("ok with changes") << true << 2 << QList<QColor>({ Qt::white, Qt::red, Qt::green });
}

void TestChartCommands::shouldApplyTheBackgroundOnlyWhenAccepted()
{
    QFETCH(bool, accepted);
    QFETCH(int, mode);
    QFETCH(QList<QColor>, colors);
    const QList<QColor> demo = { Qt::white, Qt::white, Qt::blue };
    const QImage pixels = chart()->grab().toImage();
    int presetMode = -1;
    QList<QColor> presetColors;
    whenModalIs<BGDialog>([&](BGDialog *dialog) {
        presetMode = dialog->mode();
        presetColors = dialog->colors();
        dialog->setColors(colors.at(0), colors.at(1), colors.at(2));
        dialog->setMode(mode);
        accepted ? dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click() : dialog->reject();
    });
    window->changeBackground();

    QCOMPARE(presetMode, 3);
    QCOMPARE(presetColors, demo);
    QCOMPARE(chart()->bgMode(), accepted ? mode : 3);
    QCOMPARE(TLineProbe::bgColorsOf(chart()), accepted ? colors : demo);
    const bool changed = accepted && (mode != 3 || colors != demo);
    QCOMPARE(chart()->grab().toImage() != pixels, changed);
    QCOMPARE(window->isWindowModified(), changed);
}

void TestChartCommands::shouldLeaveTheDialogColoursForAShortList()
{
    TLDocument document;
    document.bgMode = 1;
    document.bgColors = { Qt::red, Qt::green };
    QFile file(files.filePath(QStringLiteral("short.vrk")));
    QVERIFY(file.open(QIODevice::WriteOnly) && document.write(&file));
    file.close();
    QVERIFY(window->loadNative(file.fileName()));
    QList<QColor> preset;
    whenModalIs<BGDialog>([&preset](BGDialog *dialog) {
        preset = dialog->colors();
        dialog->reject();
    });
    window->changeBackground();
    QCOMPARE(preset, QList<QColor>({ Qt::white, Qt::white, Qt::blue }));
    QCOMPARE(TLineProbe::bgColorsOf(chart()), document.bgColors);
}

void TestChartCommands::shouldHandEveryParameterToTheNewStyle_data()
{
    QTest::addColumn<QString>("answer"); // empty: cancelled
    QTest::addColumn<bool>("pattern");
    QTest::addColumn<QString>("style");
    QTest::newRow("Typ 3") << "Typ 3" << false << "TLine3";
    QTest::newRow("the current one again") << "Typ 1" << false << "TLine1";
    QTest::newRow("with a pattern") << "Typ 2" << true << "TLine2";
    QTest::newRow("cancelled") << "" << false << "TLine1";
}

void TestChartCommands::shouldHandEveryParameterToTheNewStyle()
{
    QFETCH(QString, answer);
    QFETCH(bool, pattern);
    QFETCH(QString, style);
    if (pattern) {
        whenModalIs<BGDialog>([this](BGDialog *dialog) {
            dialog->setColors(Qt::red, Qt::green, Qt::yellow);
            dialog->setMode(TLine::ImageBackground);
            dialog->setFileName(tilePath);
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        window->changeBackground();
    }
    window->findChild<QSpinBox *>("sMaxPos")->setValue(7);
    window->findChild<QSlider *>("slArrow")->setValue(15);
    // A new chart takes the row height through the integer overload.
    window->findChild<QSlider *>("slHeight")->setValue(60);
    window->setWindowModified(false);
    QPointer<TLine> before = chart();
    const QString parameters = parametersOf(before);
    QVERIFY(parameters.contains(QStringLiteral(" 7 15 20.4 60 ")));
    QCOMPARE(parameters.contains(QStringLiteral("QSize(3, 2)")), pattern);

    QString preselected;
    whenModalIs<QInputDialog>([&](QInputDialog *dialog) {
        preselected = dialog->textValue();
        dialog->setTextValue(answer);
        answer.isEmpty() ? dialog->reject() : dialog->accept();
    });
    window->changeTimelineTyp();

    QCOMPARE(preselected, QStringLiteral("Typ 1"));
    QCOMPARE(before.isNull(), !answer.isEmpty());
    QCOMPARE(window->findChildren<TLine *>().size(), 1);
    QCOMPARE(QLatin1String(chart()->metaObject()->className()), style);
    QCOMPARE(parametersOf(chart()), parameters);
    QCOMPARE(window->isWindowModified(), !answer.isEmpty() && answer != QLatin1String("Typ 1"));
}

// The style change deletes the chart whose context menu event is still
// running; under the address sanitizer a later touch of it would show.
void TestChartCommands::shouldReplaceTheChartFromItsOwnBackgroundMenu()
{
    QPointer<TLine> before = chart();
    before->grab();
    QCursor::setPos(200, 150);
    QStringList entries;
    QPoint shownAt;
    whenPopup([&](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        shownAt = menu->pos();
        for (QAction *action : menu->actions())
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        whenModalIs<QInputDialog>([](QInputDialog *dialog) {
            dialog->setTextValue(QStringLiteral("Typ 2"));
            dialog->accept();
        });
        menu->setActiveAction(menu->actions().at(3));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), before->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(before, &event);

    QCOMPARE(entries, QStringList({ "N&ew Item ...", "-", "change Background ...", "change Typ ..." }));
    QCOMPARE(shownAt, QPoint(200, 150));
    QVERIFY(before.isNull());
    QCOMPARE(chart()->metaObject()->className(), "TLine2");
}

QTEST_MAIN(TestChartCommands)
#include "tst_chartcommands.moc"
