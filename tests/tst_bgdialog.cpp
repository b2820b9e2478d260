#include "dialogs/bgdialog.h"
#include "windowprobe.h"

#include <QColorDialog>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

// Four distinct pixels, so that a tiling shows where every copy starts.
QImage tile()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 0));
    return image;
}

bool near(QRgb a, QRgb b)
{
    const int tolerance = 6;
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
        && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

using Samples = QList<QPair<QPoint, QColor>>;

}

class TestBGDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void shouldStartAsAWhiteSolidColour();
    void shouldCheckTheBoxesOfAMode_data();
    void shouldCheckTheBoxesOfAMode();
    void shouldTellTheModeByPrecedence_data();
    void shouldTellTheModeByPrecedence();
    void shouldKeepAGivenFileOutOfTheLineEdit();
    void shouldPreviewTheChoice_data();
    void shouldPreviewTheChoice();
    void shouldCompletePathsFromTheFileSystem();
    void shouldKeepTheColourWhenTheChooserIsCancelled_data();
    void shouldKeepTheColourWhenTheChooserIsCancelled();
    void shouldKeepTheFileWhenTheChooserIsCancelled();
    void shouldStayOpenForAPatternThatDoesNotLoad_data();
    void shouldStayOpenForAPatternThatDoesNotLoad();

private:
    template <typename T> static T *child(const BGDialog &dialog, const char *name)
    {
        return dialog.findChild<T *>(QLatin1String(name));
    }
    static QRgb iconColour(const BGDialog &dialog, const char *button)
    {
        return child<QPushButton>(dialog, button)->icon().pixmap(32, 32).toImage().pixel(16, 16);
    }

    QTemporaryDir files;
    QString tilePath;
};

void TestBGDialog::initTestCase()
{
    QVERIFY(files.isValid());
    tilePath = files.filePath(QStringLiteral("tile.png"));
    QVERIFY(tile().save(tilePath));
    QFile text(files.filePath(QStringLiteral("text.png")));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("just words") > 0);
}

void TestBGDialog::shouldStartAsAWhiteSolidColour()
{
    BGDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
    QCOMPARE(dialog.mode(), 1);
    QCOMPARE(dialog.colors(), QList<QColor>({ Qt::white, Qt::white, Qt::blue }));
    QVERIFY(dialog.fileName().isEmpty());
    QVERIFY(child<QGroupBox>(dialog, "gb0")->isChecked());
    QVERIFY(!child<QGroupBox>(dialog, "gb1")->isChecked());
    QVERIFY(!child<QGroupBox>(dialog, "gb2")->isChecked());
    QVERIFY(child<QRadioButton>(dialog, "rDiagonal")->isChecked());
    QVERIFY(!child<QPushButton>(dialog, "pFarbe1")->isEnabled());

    for (const char *button : { "pFarbe", "pFarbe1", "pFarbe2" })
        QCOMPARE(child<QPushButton>(dialog, button)->icon().availableSizes(), QList<QSize>({ QSize(32, 32) }));
    QCOMPARE(iconColour(dialog, "pFarbe"), QColor(Qt::white).rgb());
    QCOMPARE(iconColour(dialog, "pFarbe1"), QColor(Qt::white).rgb());
    QCOMPARE(iconColour(dialog, "pFarbe2"), QColor(Qt::blue).rgb());
    const QLabel *preview = child<QLabel>(dialog, "lFarbe");
    QCOMPARE(preview->pixmap().toImage().pixel(0, 0), QColor(Qt::white).rgb());

    // Laid out on show, the preview follows the label's new size.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(preview->pixmap().deviceIndependentSize().toSize(), preview->size());
}

void TestBGDialog::shouldCheckTheBoxesOfAMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<bool>>("checked"); // gb0, gb1, gb2, rSenkrecht, rDiagonal

    // Every row starts from all boxes checked and "Senkrecht" chosen.
    QTest::newRow("none") << 0 << QList<bool>({ false, false, false, false, true });
    QTest::newRow("solid") << 1 << QList<bool>({ true, false, false, false, true });
    QTest::newRow("diagonal") << 2 << QList<bool>({ false, true, false, false, true });
    QTest::newRow("vertical") << 3 << QList<bool>({ false, true, false, true, false });
    QTest::newRow("pattern keeps the radio") << 4 << QList<bool>({ false, false, true, true, false });
    QTest::newRow("unknown changes nothing") << 5 << QList<bool>({ true, true, true, true, false });
}

void TestBGDialog::shouldCheckTheBoxesOfAMode()
{
    QFETCH(int, mode);
    QFETCH(QList<bool>, checked);
    BGDialog dialog;
    for (const char *box : { "gb0", "gb1", "gb2" })
        child<QGroupBox>(dialog, box)->setChecked(true);
    child<QRadioButton>(dialog, "rSenkrecht")->setChecked(true);

    dialog.setMode(mode);
    const QList<bool> states = {
        child<QGroupBox>(dialog, "gb0")->isChecked(),      child<QGroupBox>(dialog, "gb1")->isChecked(),
        child<QGroupBox>(dialog, "gb2")->isChecked(),      child<QRadioButton>(dialog, "rSenkrecht")->isChecked(),
        child<QRadioButton>(dialog, "rDiagonal")->isChecked(),
    };
    QCOMPARE(states, checked);
    QCOMPARE(dialog.mode(), mode == 5 ? 4 : mode);
}

void TestBGDialog::shouldTellTheModeByPrecedence_data()
{
    QTest::addColumn<bool>("gb0");
    QTest::addColumn<bool>("gb1");
    QTest::addColumn<bool>("gb2");
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("mode");

    QTest::newRow("nothing") << false << false << false << "rDiagonal" << 0;
    QTest::newRow("solid") << true << false << false << "rSenkrecht" << 1;
    QTest::newRow("gradient beats solid, diagonal") << true << true << false << "rDiagonal" << 2;
    QTest::newRow("gradient beats solid, vertical") << true << true << false << "rSenkrecht" << 3;
    QTest::newRow("gradient without a radio keeps solid") << true << true << false << "" << 1;
    QTest::newRow("gradient without a radio alone") << false << true << false << "" << 0;
    QTest::newRow("pattern beats solid") << true << false << true << "rDiagonal" << 4;
    QTest::newRow("pattern beats gradient") << false << true << true << "rSenkrecht" << 4;
    QTest::newRow("pattern beats all") << true << true << true << "rDiagonal" << 4;
}

void TestBGDialog::shouldTellTheModeByPrecedence()
{
    QFETCH(bool, gb0);
    QFETCH(bool, gb1);
    QFETCH(bool, gb2);
    QFETCH(QString, radio);
    QFETCH(int, mode);
    BGDialog dialog;
    child<QGroupBox>(dialog, "gb0")->setChecked(gb0);
    child<QGroupBox>(dialog, "gb1")->setChecked(gb1);
    child<QGroupBox>(dialog, "gb2")->setChecked(gb2);
    for (QRadioButton *button : dialog.findChildren<QRadioButton *>()) {
        // Exclusive buttons cannot all be unchecked while exclusive.
        button->setAutoExclusive(false);
        button->setChecked(button->objectName() == radio);
        button->setAutoExclusive(true);
    }
    QCOMPARE(dialog.mode(), mode);
}

void TestBGDialog::shouldKeepAGivenFileOutOfTheLineEdit()
{
    BGDialog dialog;
    dialog.setMode(4);
    dialog.setFileName(tilePath);
    QVERIFY(child<QLineEdit>(dialog, "lFile")->text().isEmpty());
    QCOMPARE(dialog.fileName(), tilePath);
    QCOMPARE(dialog.pixmap().toImage().convertToFormat(QImage::Format_RGB32), tile());
    // No tile in the preview until the line edit names the file.
    const QLabel *preview = child<QLabel>(dialog, "lFarbe");
    QCOMPARE(preview->pixmap().toImage().pixel(1, 0), preview->palette().color(preview->backgroundRole()).rgb());
}

void TestBGDialog::shouldPreviewTheChoice_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("lineEdit");
    QTest::addColumn<Samples>("samples");

    const QColor red(Qt::red);
    const QColor blue(Qt::blue);
    // The preview label is 64 by 64; the diagonal's middle runs through
    // the other two corners. An invalid colour stands for the label's own.
    QTest::newRow("solid") << 1 << QString() << Samples({ { { 0, 0 }, Qt::green }, { { 63, 63 }, Qt::green } });
    QTest::newRow("diagonal") << 2 << QString()
                              << Samples({ { { 0, 0 }, red }, { { 63, 63 }, red }, { { 0, 63 }, blue },
                                           { { 63, 0 }, blue } });
    QTest::newRow("vertical") << 3 << QString()
                              << Samples({ { { 0, 0 }, red }, { { 63, 0 }, red }, { { 0, 63 }, blue },
                                           { { 63, 63 }, blue } });
    QTest::newRow("tiled image from the line edit")
        << 4 << QStringLiteral("tile") << Samples({ { { 0, 0 }, red }, { { 1, 0 }, Qt::green }, { { 2, 1 }, blue },
                                                    { { 63, 63 }, Qt::yellow } });
    QTest::newRow("nothing chosen clears") << 0 << QString()
                                           << Samples({ { { 0, 0 }, QColor() }, { { 63, 63 }, QColor() } });
    QTest::newRow("image that does not load clears")
        << 4 << QStringLiteral("missing") << Samples({ { { 0, 0 }, QColor() }, { { 40, 20 }, QColor() } });
}

void TestBGDialog::shouldPreviewTheChoice()
{
    QFETCH(int, mode);
    QFETCH(QString, lineEdit);
    QFETCH(Samples, samples);
    BGDialog dialog;
    QLabel *preview = child<QLabel>(dialog, "lFarbe");
    preview->setFixedSize(64, 64);
    const QColor background = preview->palette().color(preview->backgroundRole());

    dialog.setColors(Qt::green, Qt::red, Qt::blue);
    dialog.setMode(mode);
    if (!lineEdit.isEmpty())
        child<QLineEdit>(dialog, "lFile")->setText(lineEdit == QLatin1String("tile") ? tilePath
                                                                                      : files.filePath(lineEdit));

    const QImage image = preview->pixmap().toImage();
    QCOMPARE(image.size(), QSize(64, 64));
    for (const auto &sample : samples) {
        const QRgb expected = sample.second.isValid() ? sample.second.rgb() : background.rgb();
        const QRgb actual = image.pixel(sample.first);
        QVERIFY2(near(actual, expected), qPrintable(QStringLiteral("at %1,%2: %3 for %4")
                                                        .arg(sample.first.x())
                                                        .arg(sample.first.y())
                                                        .arg(QColor(actual).name(), QColor(expected).name())));
    }
}

void TestBGDialog::shouldCompletePathsFromTheFileSystem()
{
    BGDialog dialog;
    QCompleter *completer = child<QLineEdit>(dialog, "lFile")->completer();
    QVERIFY(completer);
    QCOMPARE(completer->parent(), &dialog);
    auto *model = qobject_cast<QFileSystemModel *>(completer->model());
    QVERIFY(model);
    QCOMPARE(model->parent(), completer);

    // The model lists a folder in the background once it is asked for it.
    model->index(files.path());
    auto complete = [completer, this] {
        completer->setCompletionPrefix(files.filePath(QStringLiteral("ti")));
        return completer->currentCompletion();
    };
    QTRY_COMPARE(complete(), tilePath);
}

void TestBGDialog::shouldKeepTheColourWhenTheChooserIsCancelled_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("answered");

    for (const char *name : { "pFarbe", "pFarbe1", "pFarbe2" }) {
        const QString button = QLatin1String(name);
        const int index = button.endsWith(QLatin1Char('1')) ? 1 : button.endsWith(QLatin1Char('2')) ? 2 : 0;
        QTest::addRow("%s chosen", qPrintable(button)) << button << index << true;
        QTest::addRow("%s cancelled", qPrintable(button)) << button << index << false;
    }
}

void TestBGDialog::shouldKeepTheColourWhenTheChooserIsCancelled()
{
    QFETCH(QString, button);
    QFETCH(int, index);
    QFETCH(bool, answered);
    BGDialog dialog;
    for (const char *box : { "gb0", "gb1", "gb2" })
        child<QGroupBox>(dialog, box)->setChecked(true);
    const QColor before = dialog.colors().at(index);

    QWidget *chooserParent = nullptr;
    QColor initial;
    whenModal([&](QWidget *widget) {
        auto *chooser = qobject_cast<QColorDialog *>(widget);
        chooserParent = widget->parentWidget();
        if (!chooser) {
            widget->close();
            return;
        }
        initial = chooser->currentColor();
        chooser->setCurrentColor(QColor(10, 200, 30));
        answered ? chooser->accept() : chooser->reject();
    });
    child<QPushButton>(dialog, qPrintable(button))->click();

    QCOMPARE(chooserParent, &dialog);
    QCOMPARE(initial, before);
    const QColor expected = answered ? QColor(10, 200, 30) : before;
    QCOMPARE(dialog.colors().at(index), expected);
    QCOMPARE(iconColour(dialog, qPrintable(button)), expected.rgb());
}

void TestBGDialog::shouldKeepTheFileWhenTheChooserIsCancelled()
{
    BGDialog dialog;
    dialog.setMode(4);
    dialog.setFileName(QStringLiteral("/somewhere/else.png"));
    auto answer = [&dialog](bool choose, const QString &path) {
        whenModal([&dialog, choose, path](QWidget *widget) {
            auto *chooser = qobject_cast<QFileDialog *>(widget);
            if (!chooser || chooser->parentWidget() != &dialog) {
                widget->close();
                return;
            }
            if (!choose) {
                chooser->reject();
                return;
            }
            // A focused name field would keep its own text.
            if (QWidget *focused = chooser->focusWidget())
                focused->clearFocus();
            chooser->selectFile(path);
            QMetaObject::invokeMethod(chooser, "accept");
        });
    };

    answer(true, tilePath);
    child<QToolButton>(dialog, "tbFile")->click();
    QCOMPARE(dialog.fileName(), tilePath);
    QCOMPARE(child<QLineEdit>(dialog, "lFile")->text(), tilePath);

    answer(false, QString());
    child<QToolButton>(dialog, "tbFile")->click();
    QCOMPARE(dialog.fileName(), tilePath);
    QCOMPARE(child<QLineEdit>(dialog, "lFile")->text(), tilePath);
}

void TestBGDialog::shouldStayOpenForAPatternThatDoesNotLoad_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message"); // empty: accepted without one

    QTest::newRow("missing") << 4 << "missing.png" << "missing.png";
    QTest::newRow("not an image") << 4 << "text.png" << "text.png";
    QTest::newRow("no file") << 4 << "" << "No image file";
    QTest::newRow("an image") << 4 << "tile.png" << "";
    QTest::newRow("no pattern asked for") << 1 << "missing.png" << "";
}

void TestBGDialog::shouldStayOpenForAPatternThatDoesNotLoad()
{
    QFETCH(int, mode);
    QFETCH(QString, file);
    QFETCH(QString, message);
    BGDialog dialog;
    dialog.setMode(mode);
    dialog.setFileName(file.isEmpty() ? QString() : files.filePath(file));
    dialog.show();
    QString shown;
    if (!message.isEmpty()) {
        whenModal([&shown](QWidget *widget) {
            if (auto *box = qobject_cast<QMessageBox *>(widget))
                shown = box->text();
            widget->close();
        });
    }
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();

    if (message.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    } else {
        QVERIFY2(shown.contains(message), qPrintable(shown));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
}

QTEST_MAIN(TestBGDialog)
#include "tst_bgdialog.moc"
