#include "dialogs/bgdialog.h"
#include "modalanswers.h"

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

#include <sys/stat.h>

namespace {

// Checks exactly the named group boxes, and the named radio button.
void check(const BGDialog &dialog, const QString &names)
{
    for (QGroupBox *box : dialog.findChildren<QGroupBox *>())
        box->setChecked(names.contains(box->objectName()));
    for (QRadioButton *button : dialog.findChildren<QRadioButton *>())
        if (names.contains(button->objectName()))
            button->setChecked(true);
}

const char *const colourButtons[] = { "pFarbe", "pFarbe1", "pFarbe2" };

// Everything the choosers may change: each colour with the one its button
// shows, the file and the line edit.
QStringList choices(const BGDialog &dialog)
{
    QStringList state;
    for (int i = 0; i < 3; ++i) {
        const QImage icon = dialog.findChild<QPushButton *>(colourButtons[i])->icon().pixmap(32).toImage();
        state << dialog.colors().at(i).name() + QLatin1Char(' ') + QColor(icon.pixel(16, 16)).name();
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
    void shouldTellPreviewAndAcceptTheMode_data();
    void shouldTellPreviewAndAcceptTheMode();
    void shouldCompletePathsFromTheFileSystem();
    void shouldKeepTheChoiceWhenTheChooserIsCancelled_data();
    void shouldKeepTheChoiceWhenTheChooserIsCancelled();

private:
    QTemporaryDir files;
    QString tilePath;
};

void TestBGDialog::initTestCase()
{
    // Four distinct pixels, so that a tiling shows where every copy starts.
    static const QRgb pixels[] = { 0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00 };
    tilePath = files.filePath(QStringLiteral("tile.png"));
    QVERIFY(QImage(reinterpret_cast<const uchar *>(pixels), 2, 2, QImage::Format_RGB32).save(tilePath));
    QFile text(files.filePath(QStringLiteral("text.png")));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("just words") > 0);
    // Read for a preview or a check, it would wait for a writer for ever.
    QCOMPARE(mkfifo(QFile::encodeName(files.filePath(QStringLiteral("pipe.png"))).constData(), 0600), 0);
}

void TestBGDialog::shouldStartAsAWhiteSolidColour()
{
    BGDialog dialog;
    QCOMPARE(dialog.mode(), 1);
    QCOMPARE(dialog.colors().first(), QColor(Qt::white));
    // Laid out on show, the preview follows the label's new size.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QLabel *preview = dialog.findChild<QLabel *>("lFarbe");
    QCOMPARE(preview->pixmap().deviceIndependentSize().toSize(), preview->size());
}

void TestBGDialog::shouldTellPreviewAndAcceptTheMode_data()
{
    QTest::addColumn<QString>("boxes");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<QColor>>("corners"); // invalid: the label's own colour
    QTest::addColumn<QString>("message"); // on OK; empty: accepted without one

    const QColor red(Qt::red), green(Qt::green), blue(Qt::blue);
    const QList<QColor> cleared(4);
    QTest::newRow("none") << "rDiagonal" << 0 << "" << cleared << "";
    QTest::newRow("solid") << "gb0 rDiagonal" << 1 << "missing.png" << QList<QColor>({ green, green, green, green })
                           << "";
    QTest::newRow("diagonal") << "gb1 rDiagonal" << 2 << "" << QList<QColor>({ red, blue, blue, red }) << "";
    QTest::newRow("vertical beats solid")
        << "gb0 gb1 rSenkrecht" << 3 << "" << QList<QColor>({ red, red, blue, blue }) << "";
    QTest::newRow("tiled pattern beats all")
        << "gb0 gb1 gb2 rDiagonal" << 4 << "tile.png" << QList<QColor>({ red, green, blue, Qt::yellow }) << "";
    QTest::newRow("pattern that does not load") << "gb0 gb2" << 4 << "missing.png" << cleared << "missing.png";
    QTest::newRow("pattern not an image") << "gb2" << 4 << "text.png" << cleared << "text.png";
    QTest::newRow("pattern without a file") << "gb2" << 4 << "" << cleared << "No image file";
    QTest::newRow("pattern that is a pipe") << "gb2" << 4 << "pipe.png" << cleared << "Not a regular file";
}

void TestBGDialog::shouldTellPreviewAndAcceptTheMode()
{
    QFETCH(QString, boxes);
    QFETCH(int, mode);
    QFETCH(QString, file);
    QFETCH(QList<QColor>, corners);
    QFETCH(QString, message);
    BGDialog dialog;
    QLabel *preview = dialog.findChild<QLabel *>("lFarbe");
    preview->setFixedSize(64, 64);
    dialog.setColors(Qt::green, Qt::red, Qt::blue);
    check(dialog, QStringLiteral("gb0 gb1 gb2 rSenkrecht"));
    dialog.setMode(mode);
    QCOMPARE(dialog.mode(), mode);
    dialog.setMode(5); // unknown: changes nothing
    QCOMPARE(dialog.mode(), mode);
    check(dialog, boxes);
    QCOMPARE(dialog.mode(), mode);

    const QString path = file.isEmpty() ? file : files.filePath(file);
    dialog.setFileName(path);
    dialog.findChild<QLineEdit *>("lFile")->setText(path);
    const QImage image = preview->pixmap().toImage();
    QCOMPARE(image.size(), QSize(64, 64));
    for (int i = 0; i < 4; ++i) {
        const QColor actual = image.pixel(i % 2 * 63, i / 2 * 63);
        const QColor expected = corners.at(i).isValid() ? corners.at(i) : preview->palette().window().color();
        const int distance = qAbs(actual.red() - expected.red()) + qAbs(actual.green() - expected.green())
            + qAbs(actual.blue() - expected.blue());
        QVERIFY2(distance <= 12, qPrintable(QStringLiteral("corner %1: %2").arg(i).arg(actual.name())));
    }

    // A pattern that does not load would leave the chart bare.
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
    check(dialog, QStringLiteral("gb0 gb1 gb2")); // an unchecked box disables its buttons
    dialog.setColors(Qt::red, Qt::green, Qt::blue);
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

QTEST_MAIN(TestBGDialog)
#include "tst_bgdialog.moc"
