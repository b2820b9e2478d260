#include "app/zelvaro.h"

#include <QAction>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

// Runs on a display scaled to 200 %, where every icon the window shows must
// come from a picture drawn at twice the size rather than a blown-up one.
class TestIcons : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowSharpIconsOnAScaledDisplay();
};

void TestIcons::shouldShowSharpIconsOnAScaledDisplay()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    Zelvaro window;
    QList<QAction *> actions = window.findChildren<QAction *>();
    actions.removeIf([](QAction *action) { return action->icon().isNull(); });
    QVERIFY(actions.size() > 8);
    for (const QAction *action : std::as_const(actions)) {
        const QList<QSize> sizes = action->icon().availableSizes();
        QVERIFY2(sizes.size() == 2 && sizes.at(1) == 2 * sizes.at(0), qPrintable(action->text()));
        const QPixmap sharp = action->icon().pixmap(sizes.at(0));
        QVERIFY2(sharp.devicePixelRatio() == 2.0 && sharp.size() == sizes.at(1), qPrintable(action->text()));
    }

    // Every picture, the window's and the style pictures too.
    const QDir images(QStringLiteral(":images"));
    const QStringList pictures = images.entryList({ QStringLiteral("*.png") });
    QVERIFY(pictures.size() > 10);
    for (const QString &name : pictures) {
        const QImage picture(images.filePath(name));
        const QImage sharp(images.filePath(QString(name).replace(QLatin1String(".png"), QLatin1String("@2x.png"))));
        QVERIFY2(name.contains(QLatin1Char('@')) || (!picture.isNull() && sharp.size() == 2 * picture.size()),
                 qPrintable(name));
    }
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
