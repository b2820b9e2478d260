#include "dialogs/bgdialog.h"
#include "model/tldocument.h"
#include "view/tline.h"
#include "windowprobe.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

// The demo's vertical gradient, and the background dialog's own colours.
const QList<QColor> demoColors = { Qt::white, Qt::white, Qt::blue };

// Every parameter a chart is handed, in a form QCOMPARE can show.
QString parametersOf(const TLine *t)
{
    QList<int> flags = TLineProbe::flagsOf(t).values();
    std::sort(flags.begin(), flags.end());
    QString text;
    QDebug(&text) << t->bgMode() << TLineProbe::bgColorsOf(t) << TLineProbe::bgOf(t).textureImage().size()
                  << TLineProbe::startOf(t) << TLineProbe::endOf(t) << TLineProbe::maxPosOf(t) << TLineProbe::tPosOf(t)
                  << TLineProbe::dayWidthOf(t) << TLineProbe::posHeightOf(t) << flags;
    return text;
}

}

class TestChartCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldApplyTheBackgroundOnlyWhenAccepted_data();
    void shouldApplyTheBackgroundOnlyWhenAccepted();
    void shouldHandEveryParameterToTheNewStyle_data();
    void shouldHandEveryParameterToTheNewStyle();
    void shouldReplaceTheChartFromItsOwnBackgroundMenu();

private:
    TLine *chart() { return window->findChild<QScrollArea *>()->findChild<TLine *>(); }

    std::unique_ptr<Zelvaro> window;
};

void TestChartCommands::init()
{
    useFreshSettings();
    window = std::make_unique<Zelvaro>();
}

void TestChartCommands::shouldApplyTheBackgroundOnlyWhenAccepted_data()
{
    QTest::addColumn<QList<QColor>>("loaded"); // empty: the demo's gradient
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<QColor>>("colors");
    const QList<QColor> changes = { Qt::white, Qt::red, Qt::green };
    QTest::newRow("cancel after changes") << QList<QColor>() << false << 2 << changes;
    QTest::newRow("ok without changes") << QList<QColor>() << true << 3 << demoColors;
    QTest::newRow("ok with changes") << QList<QColor>() << true << 2 << changes;
    QTest::newRow("a short list leaves the dialog's colours") << QList<QColor>({ Qt::red, Qt::green }) << false << 2
                                                              << changes;
}

void TestChartCommands::shouldApplyTheBackgroundOnlyWhenAccepted()
{
    QFETCH(QList<QColor>, loaded);
    QFETCH(bool, accepted);
    QFETCH(int, mode);
    QFETCH(QList<QColor>, colors);
    int startMode = 3;
    QList<QColor> start = demoColors;
    if (!loaded.isEmpty()) {
        TLDocument document;
        document.bgMode = startMode = 1;
        document.bgColors = start = loaded;
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("short.vrk")));
        QVERIFY(file.open(QIODevice::WriteOnly) && document.write(&file));
        file.close();
        QVERIFY(window->loadNative(file.fileName()));
        window->setWindowModified(false);
    }
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

    QCOMPARE(presetMode, startMode);
    QCOMPARE(presetColors, demoColors);
    QCOMPARE(chart()->bgMode(), accepted ? mode : startMode);
    QCOMPARE(TLineProbe::bgColorsOf(chart()), accepted ? colors : start);
    const bool changed = accepted && (mode != startMode || colors != start);
    QCOMPARE(chart()->grab().toImage() != pixels, changed);
    QCOMPARE(window->isWindowModified(), changed);
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
        whenModalIs<BGDialog>([](BGDialog *dialog) {
            dialog->setColors(Qt::red, Qt::green, Qt::yellow);
            dialog->setMode(TLine::ImageBackground);
            dialog->setFileName(QStringLiteral(ZELVARO_TEST_DATA "/style1.png"));
            dialog->accept();
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
    QCOMPARE(TLineProbe::bgOf(before).textureImage().size(), pattern ? QSize(744, 379) : QSize(0, 0));

    QString preselected;
    whenModalIs<QInputDialog>([&](QInputDialog *dialog) {
        preselected = dialog->textValue();
        dialog->setTextValue(answer);
        answer.isEmpty() ? dialog->reject() : dialog->accept();
    });
    window->changeTimelineTyp();

    QCOMPARE(preselected, QStringLiteral("Typ 1"));
    QCOMPARE(before.isNull(), !answer.isEmpty());
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
