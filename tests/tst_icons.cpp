#include "app/zelvaro.h"

#include <QAction>
#include <QDir>
#include <QIcon>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// Runs on a display scaled to 200 %, where every icon the window shows must
// come from a picture drawn at twice the size rather than a blown-up one.
class TestIcons : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowSharpIconsOnAScaledDisplay_data();
    void shouldShowSharpIconsOnAScaledDisplay();
};

void TestIcons::shouldShowSharpIconsOnAScaledDisplay_data()
{
    QTest::addColumn<QIcon>("icon");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    Zelvaro window;
    QList<QAction *> actions = window.findChildren<QAction *>();
    actions.removeIf([](QAction *action) { return action->icon().isNull(); });
    // Every picture, the window's and the style pictures too.
    const QDir images(QStringLiteral(":images"));
    const QStringList pictures = images.entryList({ QStringLiteral("*.png") }).filter(QRegularExpression("^[^@]*$"));
    QVERIFY(actions.size() > 8 && pictures.size() > 10);
    for (const QAction *action : std::as_const(actions))
        QTest::newRow(qPrintable(action->text())) << action->icon();
    for (const QString &name : pictures)
        QTest::newRow(qPrintable(name)) << QIcon(images.filePath(name));
}

void TestIcons::shouldShowSharpIconsOnAScaledDisplay()
{
    QFETCH(QIcon, icon);
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    const QList<QSize> sizes = icon.availableSizes();
    QCOMPARE(sizes.size(), 2);
    const QPixmap sharp = icon.pixmap(sizes.at(0));
    QCOMPARE(sharp.devicePixelRatio(), 2.0);
    QCOMPARE(sharp.size(), 2 * sizes.at(0));
    QCOMPARE(sizes.at(1), sharp.size());
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
