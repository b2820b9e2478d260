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
    static const QRgb pixels[] = { 0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00 };
    return QImage(reinterpret_cast<const uchar *>(pixels), 2, 2, QImage::Format_RGB32).copy();
}

// Checks exactly the named group boxes and radio button.
void check(const BGDialog &dialog, const QString &names)
{
    for (QGroupBox *box : dialog.findChildren<QGroupBox *>())
        box->setChecked(names.contains(box->objectName()));
    for (QRadioButton *button : dialog.findChildren<QRadioButton *>())
        if (names.contains(button->objectName()))
            button->setChecked(true);
}

QString checked(const BGDialog &dialog)
{
    QStringList on;
    for (const char *name : { "gb0", "gb1", "gb2", "rSenkrecht", "rDiagonal" })
        if (dialog.findChild<QWidget *>(name)->property("checked").toBool())
            on << QLatin1String(name);
    return on.join(QLatin1Char(' '));
}

const char *const colourButtons[] = { "pFarbe", "pFarbe1", "pFarbe2" };

// Everything the choosers may change: each colour with its button's icon
// (one 32 by 32 square), the file and the line edit.
QStringList choices(const BGDialog &dialog)
{
    QStringList state;
    for (int i = 0; i < 3; ++i) {
        const QIcon icon = dialog.findChild<QPushButton *>(colourButtons[i])->icon();
        const bool square = icon.availableSizes() == QList<QSize>({ QSize(32, 32) });
        state << dialog.colors().at(i).name() + QLatin1Char(' ')
                + (square ? QColor(icon.pixmap(32).toImage().pixel(16, 16)).name() : QStringLiteral("not 32 by 32"));
    }
    return state << dialog.fileName() << dialog.findChild<QLineEdit *>("lFile")->text();
}

}

class TestBGDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldStartAsAWhiteSolidColour();
    void shouldSetAndTellTheMode_data();
    void shouldSetAndTellTheMode();
    void shouldPreviewTheChoice_data();
    void shouldPreviewTheChoice();
    void shouldCompletePathsFromTheFileSystem();
    void shouldKeepTheChoiceWhenTheChooserIsCancelled_data();
    void shouldKeepTheChoiceWhenTheChooserIsCancelled();
    void shouldStayOpenForAPatternThatDoesNotLoad_data();
    void shouldStayOpenForAPatternThatDoesNotLoad();

private:
    QTemporaryDir files;
    QString tilePath;
};

void TestBGDialog::initTestCase()
{
    tilePath = files.filePath(QStringLiteral("tile.png"));
    QVERIFY(tile().save(tilePath));
    QFile text(files.filePath(QStringLiteral("text.png")));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("just words") > 0);
}

void TestBGDialog::shouldStartAsAWhiteSolidColour()
{
    BGDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
    QCOMPARE(checked(dialog), QStringLiteral("gb0 rDiagonal"));
    QCOMPARE(choices(dialog), QStringList({ "#ffffff #ffffff", "#ffffff #ffffff", "#0000ff #0000ff", "", "" }));
    dialog.setFileName(tilePath);
    QCOMPARE(choices(dialog).mid(3), QStringList({ tilePath, "" }));
    QCOMPARE(dialog.pixmap().toImage().convertToFormat(QImage::Format_RGB32), tile());
    // Laid out on show, the preview follows the label's new size.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QLabel *preview = dialog.findChild<QLabel *>("lFarbe");
    QCOMPARE(preview->pixmap().deviceIndependentSize().toSize(), preview->size());
}

void TestBGDialog::shouldSetAndTellTheMode_data()
{
    QTest::addColumn<QString>("boxes");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("set"); // setMode turns all boxes checked and "Senkrecht" into these
    QTest::newRow("none") << "rDiagonal" << 0 << true;
    QTest::newRow("solid") << "gb0 rDiagonal" << 1 << true;
    QTest::newRow("diagonal") << "gb1 rDiagonal" << 2 << true;
    QTest::newRow("vertical") << "gb1 rSenkrecht" << 3 << true;
    QTest::newRow("pattern keeps the radio") << "gb2 rSenkrecht" << 4 << true;
    QTest::newRow("gradient beats solid") << "gb0 gb1 rSenkrecht" << 3 << false;
    QTest::newRow("pattern beats all") << "gb0 gb1 gb2 rDiagonal" << 4 << false;
}

void TestBGDialog::shouldSetAndTellTheMode()
{
    QFETCH(QString, boxes);
    QFETCH(int, mode);
    QFETCH(bool, set);
    BGDialog dialog;
    check(dialog, set ? QStringLiteral("gb0 gb1 gb2 rSenkrecht") : boxes);
    if (set)
        dialog.setMode(mode);
    QCOMPARE(checked(dialog), boxes);
    QCOMPARE(dialog.mode(), mode);
    // An unknown mode changes nothing.
    dialog.setMode(5);
    QCOMPARE(checked(dialog), boxes);
}

void TestBGDialog::shouldPreviewTheChoice_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<QColor>>("corners"); // invalid: the label's own colour

    const QColor red(Qt::red), green(Qt::green), blue(Qt::blue);
    QTest::newRow("solid") << 1 << "" << QList<QColor>({ green, green, green, green });
    QTest::newRow("diagonal") << 2 << "" << QList<QColor>({ red, blue, blue, red });
    QTest::newRow("vertical") << 3 << "" << QList<QColor>({ red, red, blue, blue });
    QTest::newRow("tiled image") << 4 << "tile.png" << QList<QColor>({ red, green, blue, Qt::yellow });
    QTest::newRow("image that does not load clears") << 4 << "missing.png" << QList<QColor>(4);
}

void TestBGDialog::shouldPreviewTheChoice()
{
    QFETCH(int, mode);
    QFETCH(QString, file);
    QFETCH(QList<QColor>, corners);
    BGDialog dialog;
    QLabel *preview = dialog.findChild<QLabel *>("lFarbe");
    preview->setFixedSize(64, 64);
    dialog.setColors(Qt::green, Qt::red, Qt::blue);
    dialog.setMode(mode);
    dialog.findChild<QLineEdit *>("lFile")->setText(file.isEmpty() ? file : files.filePath(file));

    const QImage image = preview->pixmap().toImage();
    QCOMPARE(image.size(), QSize(64, 64));
    for (int i = 0; i < 4; ++i) {
        const QColor actual = image.pixel(i % 2 * 63, i / 2 * 63);
        const QColor expected = corners.at(i).isValid() ? corners.at(i) : preview->palette().window().color();
        const int distance = qAbs(actual.red() - expected.red()) + qAbs(actual.green() - expected.green())
            + qAbs(actual.blue() - expected.blue());
        QVERIFY2(distance <= 12, qPrintable(QStringLiteral("corner %1: %2").arg(i).arg(actual.name())));
    }
}

void TestBGDialog::shouldCompletePathsFromTheFileSystem()
{
    BGDialog dialog;
    QCompleter *completer = dialog.findChild<QLineEdit *>("lFile")->completer();
    // The model lists a folder in the background once it is asked for it.
    qobject_cast<QFileSystemModel *>(completer->model())->index(files.path());
    completer->setCompletionPrefix(files.filePath(QStringLiteral("ti")));
    QTRY_COMPARE(completer->currentCompletion(), tilePath);
}

void TestBGDialog::shouldKeepTheChoiceWhenTheChooserIsCancelled_data()
{
    QTest::addColumn<int>("index"); // of the colour; 3: the file
    QTest::addColumn<bool>("answered");
    for (int index = 0; index < 4; ++index) {
        QTest::addRow("%d chosen", index) << index << true;
        QTest::addRow("%d cancelled", index) << index << false;
    }
}

void TestBGDialog::shouldKeepTheChoiceWhenTheChooserIsCancelled()
{
    QFETCH(int, index);
    QFETCH(bool, answered);
    BGDialog dialog;
    check(dialog, QStringLiteral("gb0 gb1 gb2"));
    dialog.setFileName(QStringLiteral("/somewhere/else.png"));
    dialog.findChild<QLineEdit *>("lFile")->setText(dialog.fileName());
    const QList<QColor> before = dialog.colors();
    QStringList expected = choices(dialog);

    QWidget *parent = nullptr;
    QColor initial;
    whenModal([&](QWidget *modal) {
        parent = modal->parentWidget();
        if (auto *colours = qobject_cast<QColorDialog *>(modal)) {
            initial = colours->currentColor();
            colours->setCurrentColor(QColor(10, 200, 30));
        } else if (auto *chooser = qobject_cast<QFileDialog *>(modal)) {
            // A focused name field would keep its own text.
            if (QWidget *focused = chooser->focusWidget())
                focused->clearFocus();
            chooser->selectFile(tilePath);
        }
        QMetaObject::invokeMethod(modal, answered ? "accept" : "reject");
    });
    if (index < 3)
        dialog.findChild<QPushButton *>(colourButtons[index])->click();
    else
        dialog.findChild<QToolButton *>("tbFile")->click();

    QCOMPARE(parent, &dialog);
    QCOMPARE(initial, before.value(index));
    if (answered && index < 3)
        expected[index] = QStringLiteral("#0ac81e #0ac81e");
    else if (answered)
        expected[3] = expected[4] = tilePath;
    QCOMPARE(choices(dialog), expected);
}

void TestBGDialog::shouldStayOpenForAPatternThatDoesNotLoad_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message"); // empty: accepted without one
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
    dialog.setFileName(file.isEmpty() ? file : files.filePath(file));
    dialog.show();
    QString shown;
    if (!message.isEmpty())
        whenModalIs<QMessageBox>([&shown](QMessageBox *box) {
            shown = box->text();
            box->close();
        });
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();

    QVERIFY2(shown.contains(message), qPrintable(shown));
    QCOMPARE(dialog.isVisible(), !message.isEmpty());
    QCOMPARE(dialog.result(), int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
}

QTEST_MAIN(TestBGDialog)
#include "tst_bgdialog.moc"
