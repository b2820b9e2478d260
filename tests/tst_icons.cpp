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
    void initTestCase();
    void shouldShowSharpIconsOnAScaledDisplay();
    void shouldHaveEveryPictureAtTwiceItsSize();

private:
    QTemporaryDir configDir;
};

void TestIcons::initTestCase()
{
    QVERIFY(configDir.isValid());
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
}

void TestIcons::shouldShowSharpIconsOnAScaledDisplay()
{
    Zelvaro window;
    QList<QPair<QString, QIcon>> icons = { { "window", QIcon(QStringLiteral(":images/logo.png")) } };
    for (QAction *action : window.findChildren<QAction *>()) {
        if (!action->icon().isNull())
            icons.append({ action->text(), action->icon() });
    }
    QVERIFY(icons.size() > 8);
    for (const auto &icon : std::as_const(icons)) {
        const QList<QSize> sizes = icon.second.availableSizes();
        QVERIFY2(sizes.size() == 2 && sizes.at(1) == 2 * sizes.at(0), qPrintable(icon.first));
        const QPixmap sharp = icon.second.pixmap(sizes.at(0));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        QCOMPARE(sharp.size(), sizes.at(1));
    }
}

void TestIcons::shouldHaveEveryPictureAtTwiceItsSize()
{
    QDir images(QStringLiteral(":images"));
    const QStringList pictures = images.entryList({ QStringLiteral("*.png") });
    QVERIFY(pictures.size() >= 30);
    for (const QString &name : pictures) {
        if (name.contains(QLatin1Char('@')))
            continue;
        const QImage picture(images.filePath(name));
        const QImage sharp(images.filePath(QString(name).replace(QLatin1String(".png"), QLatin1String("@2x.png"))));
        QVERIFY2(!picture.isNull() && sharp.size() == 2 * picture.size(), qPrintable(name));
    }
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
