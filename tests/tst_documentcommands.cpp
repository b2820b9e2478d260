#include "dialogs/tlitemdialog.h"
#include "model/tldocument.h"
#include "model/tlitemmodel.h"
#include "view/tldateedit.h"
#include "view/tline.h"
#include "testfiles.h"
#include "windowprobe.h"

#include <QCheckBox>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

namespace {

const QString openCaption = QStringLiteral("Choose a file|Timeline (*.vrk);;Tables (*.csv);;All (*.*)");
const QString saveCaption = QStringLiteral("Choose a file|Timeline (*.vrk);;Tables (*.csv)");
const QString nativeFilter = QStringLiteral("Timeline (*.vrk)");
const QString tableFilter = QStringLiteral("Tables (*.csv)");
const QByteArray oneRecord = "\"2007-03-01\";\"1\";\"a\"\n";

// A chart written field by field, as another program would: from date to
// 50 days later, an item on date and one 10 days later lasting a month.
QByteArray chartOfItsAge(const QDate &date)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    const auto day = [&out](const QDate &d) { out << quint32(d.toJulianDay()); };
    out << quint32(0xFFABDEFA) << quint8(4) << qint32(1);
    day(date);
    day(date.addDays(50));
    out << 20.0 << 60.0 << qint32(2) << qint32(3) << qint32(1) << quint32(1) << quint8(1) << quint16(0xffff)
        << quint16(0xffff) << quint16(0xffff) << quint16(0xffff) << quint16(0) << quint32(0xffffffff) << quint32(0);
    out << quint32(2);
    day(date);
    out << qint32(0) << quint32(0) << quint8(0) << quint16(0) << quint16(0) << quint16(0) << quint16(0) << quint16(0);
    out << quint32(0);
    day(date.addDays(10));
    out << qint32(1) << quint32(0) << quint8(0) << quint16(0) << quint16(0) << quint16(0) << quint16(0) << quint16(0);
    day(date.addMonths(1).addDays(10));
    return data;
}

}

class TestDocumentCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldStartAnEmptyChartOfTheChosenStyle();
    void shouldOpenChartsAndTables_data();
    void shouldOpenChartsAndTables();
    void shouldSaveInTheFormatOfTheFilterOrKeepTheOldFile_data();
    void shouldSaveInTheFormatOfTheFilterOrKeepTheOldFile();
    void shouldAskBeforeDroppingChanges_data();
    void shouldAskBeforeDroppingChanges();
    void shouldMarkChangesFromItemsAndControls();
    void shouldCountAnEditStillOpenInTheTable();
    void shouldAskBeforeReplacingAFileTheEndingNames_data();
    void shouldAskBeforeReplacingAFileTheEndingNames();
    void shouldNotWaitForAPipeNamedAsTheBackground();
    void shouldKeepDatesOfEveryAge_data();
    void shouldKeepDatesOfEveryAge();
    void shouldLeaveAFileAloneWhereItsFolderTakesNoNewFile_data();
    void shouldLeaveAFileAloneWhereItsFolderTakesNoNewFile();

private:
    QString shown();
    QByteArray snapshot();
    void editAnItem() { model->setData(model->index(0, TLItem::TextColumn), QStringLiteral("edited")); }
    QString inFiles(const char *name) { return files.filePath(QLatin1String(name)); }
    TLine *chart() { return window->findChild<QScrollArea *>()->findChild<TLine *>(); }

    QTemporaryDir files;
    std::unique_ptr<AnsweredZelvaro> window;
    std::unique_ptr<ModalAnswerer> answers;
    TLItemModel *model = nullptr;
};

void TestDocumentCommands::init()
{
    // A change must not make Qt warn that the title has no modified mark.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("setWindowModified")));
    useFreshSettings();
    QApplication::setQuitOnLastWindowClosed(false);
    answers = std::make_unique<ModalAnswerer>();
    window = std::make_unique<AnsweredZelvaro>();
    model = window->findChild<TLItemModel *>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

// The chart's style, the item texts, the range and the row count.
QString TestDocumentCommands::shown()
{
    QStringList parts = { QLatin1String(chart()->metaObject()->className()) };
    for (int row = 0; row < model->rowCount(); ++row)
        parts << model->index(row, TLItem::TextColumn).data().toString();
    for (const char *name : { "deStart", "deEnd" })
        parts << window->findChild<TLDateEdit *>(QLatin1String(name))->date().toString(Qt::ISODate);
    return parts.join('|') + '|' + QString::number(window->findChild<QSpinBox *>(QStringLiteral("sMaxPos"))->value());
}

// The whole document as the window would save it.
QByteArray TestDocumentCommands::snapshot()
{
    return window->saveNative(inFiles("snapshot.vrk")) ? readFile(inFiles("snapshot.vrk")) : QByteArray();
}

void TestDocumentCommands::shouldStartAnEmptyChartOfTheChosenStyle()
{
    window->openAnswers << writeFile(inFiles("before.csv"), oneRecord);
    window->openFile();
    window->resize(1000, 700);
    const QByteArray before = snapshot();
    window->newFile();
    QCOMPARE(answers->seen, QStringList({ "style|||Typ 1,Typ 2,Typ 3|0" }));
    QCOMPARE(snapshot(), before);

    // The second New finds every control at its value already.
    answers->style = QStringLiteral("Typ 2");
    const QDate today = QDate::currentDate();
    for (int round = 0; round < 2; ++round) {
        window->newFile();
        TLine *line = chart();
        QCOMPARE(line->metaObject()->className(), "TLine2");
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(QVariantList({ TLineProbe::dayWidthOf(line), TLineProbe::posHeightOf(line), TLineProbe::maxPosOf(line),
                                TLineProbe::tPosOf(line), TLineProbe::startOf(line), TLineProbe::endOf(line) }),
                 QVariantList({ 11.0, 140.0, 4, 0, today, today.addDays(90) }));
        QVERIFY(!window->isWindowModified());
    }
    window->asked.clear();
    window->saveFile();
    QCOMPARE(window->asked, QStringList({ saveCaption }));
}

void TestDocumentCommands::shouldOpenChartsAndTables_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("shows"); // empty: the open document stays
    QTest::addColumn<bool>("commandLine");
    TLDocument document;
    document.style = 3;
    document.start = QDate(2010, 5, 1);
    document.end = QDate(2010, 6, 1);
    document.maxPos = 2;
    document.items << TLItem { QDate(2010, 5, 2), 0, QStringLiteral("one"), Qt::white, QDate() };
    QFile chartFile(inFiles("plan.vrk"));
    QVERIFY(chartFile.open(QIODevice::WriteOnly) && document.write(&chartFile));
    const QByteArray table = "\"2007-03-01\";\"1\";\"a;b\";\"#ff0000\";\"\"\n\"\";\"12\";\"ohne Datum\"\n"
                             "\"2007-02-20\";\"0\";\"c\";\"#00ff00\";\"2007-02-22\"\n";
    QVERIFY(QDir(files.path()).mkpath(QStringLiteral("folder.csv")));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), inFiles("zero.csv")));
    QCOMPARE(mkfifo(QFile::encodeName(inFiles("pipe.vrk")).constData(), 0600), 0);
    const auto row = [](const char *tag, const QString &path, const char *warning, const char *shows,
                        bool commandLine = false) {
        QTest::newRow(tag) << path << QString::fromUtf8(warning) << QString::fromUtf8(shows) << commandLine;
    };
    const char *tableShows = "TLine1|a;b|ohne Datum|c|2007-02-20|2007-03-06|13";
    row("chart", chartFile.fileName(), "", "TLine3|one|2010-05-01|2010-06-01|2");
    row("table", writeFile(inFiles("plan.csv"), table), "", tableShows);
    row("table from the command line", inFiles("plan.csv"), "", tableShows, true);
    row("table stopped by a short record", writeFile(inFiles("short.csv"), oneRecord + "\n\"2007-03-02\"\n"), "line 3",
        "TLine1|a|2007-03-01|2007-03-06|4");
    row("notes.txt", writeFile(inFiles("notes.txt"), oneRecord), "not a timeline or table file", "");
    row("ending in capitals", writeFile(inFiles("PLAN.CSV"), oneRecord), "not a timeline or table file", "");
    row("missing chart", inFiles("missing.vrk"), "cannot be opened", "");
    row("missing table from the command line", inFiles("missing.csv"), "cannot be opened", "", true);
    row("folder named as a table", inFiles("folder.csv"), "cannot be opened", "");
    row("not a chart", writeFile(inFiles("text.vrk"), "plain text"), "not a timeline chart", "");
    row("not a table", writeFile(inFiles("commas.csv"), "a,b,c\n1,2,3\n"), "not a timeline chart", "");
    row("table linked to an endless device", inFiles("zero.csv"), "Not a regular file", "");
    row("pipe that nothing writes to", inFiles("pipe.vrk"), "Not a regular file", "");
}

void TestDocumentCommands::shouldOpenChartsAndTables()
{
    QFETCH(QString, path);
    QFETCH(QString, warning);
    QFETCH(QString, shows);
    QFETCH(bool, commandLine);
    editAnItem();
    window->setWindowTitle(QStringLiteral("Zelvaro - before"));
    const QByteArray before = snapshot();
    window->openAnswers << path;
    answers->question = QMessageBox::Discard;
    commandLine ? window->openCommandLine({ QStringLiteral("zelvaro"), path }) : window->openFile();

    QCOMPARE(window->asked, commandLine ? QStringList() : QStringList({ openCaption }));
    QCOMPARE(answers->seen.value(0) == QLatin1String("question"), !commandLine);
    const QStringList warnings = answers->warnings();
    QCOMPARE(warnings.size(), warning.isEmpty() ? 0 : 1);
    QVERIFY2(warning.isEmpty() || (warnings.first().contains(path) && warnings.first().contains(warning)),
             qPrintable(warnings.value(0)));
    // A table read in part is not what its file holds.
    QCOMPARE(window->isWindowModified(), !warning.isEmpty());
    // A document named on the command line does not become the current file.
    QCOMPARE(window->windowTitle(),
             shows.isEmpty() || commandLine ? QStringLiteral("Zelvaro - before") : "Zelvaro - " + path + "[*]");
    if (shows.isEmpty())
        QCOMPARE(snapshot(), before);
    else
        QCOMPARE(shown(), shows);
    // Save does not write what was read of a damaged file over it.
    window->asked.clear();
    window->saveFile();
    QCOMPARE(window->asked.contains(saveCaption), shows.isEmpty() || !warning.isEmpty() || commandLine);
}

void TestDocumentCommands::shouldSaveInTheFormatOfTheFilterOrKeepTheOldFile_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("typed"); // empty: Save
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("saved"); // empty: refused
    QTest::newRow("table filter adds .csv") << QString() << "plan" << tableFilter << "plan.csv";
    QTest::newRow("table filter keeps .csv") << QString() << "plan.csv" << tableFilter << "plan.csv";
    QTest::newRow("chart filter adds .vrk to .csv") << QString() << "plan.csv" << nativeFilter << "plan.csv.vrk";
    QTest::newRow("chart filter keeps .vrk") << QString() << "plan.vrk" << nativeFilter << "plan.vrk";
    QTest::newRow("save of an opened table") << "plan.csv" << QString() << QString() << "plan.csv";
    // The folder takes no temporary file of a name this long beside the file.
    const QString longName = QString(249, QLatin1Char('p')) + QStringLiteral(".csv");
    QTest::newRow("failed save") << longName << QString() << QString() << QString();
    QTest::newRow("save as into a missing folder") << longName << "no/such/plan" << nativeFilter << QString();
}

void TestDocumentCommands::shouldSaveInTheFormatOfTheFilterOrKeepTheOldFile()
{
    QFETCH(QString, opened);
    QFETCH(QString, typed);
    QFETCH(QString, filter);
    QFETCH(QString, saved);
    QTemporaryDir dir;
    const QString current = dir.filePath(opened);
    if (!opened.isEmpty()) {
        window->openAnswers << writeFile(current, oneRecord);
        window->openFile();
        window->asked.clear();
    }
    editAnItem();
    window->saveAnswers << qMakePair(dir.filePath(typed), filter);
    typed.isEmpty() ? window->saveFile() : window->saveFileAs();

    QCOMPARE(window->asked, typed.isEmpty() ? QStringList() : QStringList({ saveCaption }));
    QCOMPARE(window->windowTitle(), "Zelvaro - " + (saved.isEmpty() ? current : dir.filePath(saved)) + "[*]");
    QCOMPARE(window->isWindowModified(), saved.isEmpty());
    if (saved.isEmpty()) {
        QCOMPARE(answers->warnings().size(), 1);
        QVERIFY(answers->warnings().first().contains(typed.isEmpty() ? current : dir.filePath(typed)));
        QCOMPARE(readFile(current), oneRecord);
        return;
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({ saved }));
    const QByteArray bytes = readFile(dir.filePath(saved));
    QVERIFY(saved.endsWith(QLatin1String(".csv")) ? bytes.contains("\";\"edited\";\"")
                                                   : bytes.startsWith("\xff\xab\xde\xfa\x04"));
}

void TestDocumentCommands::shouldAskBeforeDroppingChanges_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("new, cancel") << "new" << int(QMessageBox::Cancel) << false;
    QTest::newRow("new, discard") << "new" << int(QMessageBox::Discard) << true;
    QTest::newRow("open, cancel") << "open" << int(QMessageBox::Cancel) << false;
    QTest::newRow("close, cancel") << "close" << int(QMessageBox::Cancel) << false;
    QTest::newRow("close, save") << "close" << int(QMessageBox::Save) << true;
    QTest::newRow("close, save cancelled") << "close" << int(QMessageBox::Save) << false;
}

void TestDocumentCommands::shouldAskBeforeDroppingChanges()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    const QString saved = inFiles("asked.csv");
    QFile::remove(saved);
    const bool saves = answer == QMessageBox::Save && goesOn;
    if (saves)
        window->saveAnswers << qMakePair(saved, tableFilter);
    editAnItem();
    answers->question = QMessageBox::StandardButton(answer);
    if (command == QLatin1String("new"))
        window->newFile();
    else if (command == QLatin1String("open"))
        window->openFile();
    else
        window->close();

    QCOMPARE(answers->seen.value(0), QStringLiteral("question"));
    // Going on asks for the style or the file, or closes the window.
    QCOMPARE(answers->seen.size() > 1 || window->asked.contains(openCaption) || !window->isVisible(), goesOn);
    QCOMPARE(QFile::exists(saved), saves);
    if (!goesOn)
        QCOMPARE(model->index(0, TLItem::TextColumn).data().toString(), QStringLiteral("edited"));
}

void TestDocumentCommands::shouldMarkChangesFromItemsAndControls()
{
    QList<std::function<void()>> changes = { [this] { editAnItem(); },
                                             [this] { model->insertRows(model->rowCount(), 1); },
                                             [this] { model->removeRows(0, 1); } };
    for (TLDateEdit *date : window->findChildren<TLDateEdit *>())
        changes << [date] { date->setDate(date->date().addDays(1)); };
    for (QSlider *slider : window->findChildren<QSlider *>())
        changes << [slider] { slider->setValue(slider->value() + 1); };
    for (QSpinBox *spin : window->findChildren<QSpinBox *>())
        changes << [spin] { spin->setValue(spin->value() + 1); };
    for (QCheckBox *box : window->findChildren<QCheckBox *>())
        changes << [box] { box->toggle(); };
    QCOMPARE(changes.size(), 18);
    for (int i = 0; i < changes.size(); ++i) {
        window->setWindowModified(false);
        changes.at(i)();
        QVERIFY2(window->isWindowModified(), qPrintable(QString::number(i)));
    }
}

void TestDocumentCommands::shouldAskBeforeReplacingAFileTheEndingNames_data()
{
    QTest::addColumn<bool>("image");
    QTest::addColumn<int>("answer");
    QTest::newRow("chart, kept") << false << int(QMessageBox::No);
    QTest::newRow("chart, replaced") << false << int(QMessageBox::Yes);
    QTest::newRow("image, kept") << true << int(QMessageBox::No);
    QTest::newRow("image, replaced") << true << int(QMessageBox::Yes);
}

// The file dialog asks about the name typed in it, "plan"; the ending added
// to it names a file that exists.
void TestDocumentCommands::shouldAskBeforeReplacingAFileTheEndingNames()
{
    QFETCH(bool, image);
    QFETCH(int, answer);
    const QString existing = writeFile(inFiles(image ? "plan.png" : "plan.vrk"), "precious");
    answers->question = QMessageBox::StandardButton(answer);
    if (image) {
        window->imageName = inFiles("plan");
        window->saveImgFile();
    } else {
        window->saveAnswers << qMakePair(inFiles("plan"), nativeFilter);
        window->saveFileAs();
    }
    QCOMPARE(answers->seen, QStringList({ QStringLiteral("question") }));
    QCOMPARE(readFile(existing) == "precious", answer == QMessageBox::No);
}

void TestDocumentCommands::shouldCountAnEditStillOpenInTheTable()
{
    auto *table = window->findChild<QTableView *>();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    const QModelIndex text = table->model()->index(1, TLItem::TextColumn);
    table->setCurrentIndex(text);
    table->edit(text);
    QTextEdit *editor = qobject_cast<QTextEdit *>(table->indexWidget(text));
    QVERIFY(editor);
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("Neu "));
    QVERIFY(!window->isWindowModified());

    window->close();
    QCOMPARE(answers->seen, QStringList({ QStringLiteral("question") }));
    QVERIFY(window->isVisible());
    QVERIFY(model->index(1, TLItem::TextColumn).data().toString().contains(QLatin1String("Neu ")));
}

void TestDocumentCommands::shouldNotWaitForAPipeNamedAsTheBackground()
{
    const QString pipe = inFiles("pattern.png");
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    TLDocument document;
    document.bgMode = TLine::ImageBackground;
    document.bgFileName = pipe;
    QFile file(inFiles("pattern.vrk"));
    QVERIFY(file.open(QIODevice::WriteOnly) && document.write(&file));
    file.close();
    // Should the pipe be opened for reading, this lets it go, and says so.
    std::atomic<bool> opened = false;
    std::thread writer([&pipe, &opened] {
        for (int i = 0; i < 40 && !opened; ++i) {
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                opened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    const TLFileResult result = window->loadNative(file.fileName());
    writer.join();
    QVERIFY(result);
    QVERIFY(!opened);
}

void TestDocumentCommands::shouldKeepDatesOfEveryAge_data()
{
    QTest::addColumn<QDate>("date");
    QTest::newRow("the first day the chart format holds") << QDate::fromJulianDay(1);
    QTest::newRow("44 BC") << QDate(-44, 3, 1);
    QTest::newRow("1 BC") << QDate(-1, 12, 1);
    QTest::newRow("1 AD") << QDate(1, 1, 1);
    QTest::newRow("1600") << QDate(1600, 2, 1);
    QTest::newRow("the first Gregorian day") << QDate(1582, 10, 15);
    QTest::newRow("9999") << QDate(9999, 12, 31);
}

// Opening, showing, editing without a change and saving, in both formats,
// move no date of any age.
void TestDocumentCommands::shouldKeepDatesOfEveryAge()
{
    QFETCH(QDate, date);
    const QByteArray written = chartOfItsAge(date);
    const QString path = writeFile(inFiles("age.vrk"), written);
    const QList<QDate> dates = { date, QDate(), date.addDays(10), date.addMonths(1).addDays(10) };
    const auto itemDates = [this] {
        QList<QDate> found;
        for (int row = 0; row < model->rowCount(); ++row)
            found << model->index(row, TLItem::DateColumn).data().toDate()
                  << model->index(row, TLItem::EndDateColumn).data().toDate();
        return found;
    };
    window->openAnswers << path;
    window->openFile();
    QCOMPARE(window->findChild<TLDateEdit *>("deStart")->date(), date);
    QCOMPARE(window->findChild<TLDateEdit *>("deEnd")->date(), date.addDays(50));
    QCOMPARE(itemDates(), dates);
    window->saveFile();
    QCOMPARE(readFile(path), written);

    answers.reset();
    for (int row = 0; row < 2; ++row) {
        whenModalIs<TLItemDialog>([](TLItemDialog *dialog) { dialog->findChild<QPushButton *>("okButton")->click(); });
        emit chart()->itemClicked(row);
        auto *table = window->findChild<QTableView *>();
        table->edit(table->model()->index(row, TLItem::DateColumn));
        QPointer<TLDateEdit> editor = table->viewport()->findChild<TLDateEdit *>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!editor);
    }
    QCOMPARE(itemDates(), dates);

    window->saveAnswers << qMakePair(inFiles("age.csv"), tableFilter);
    window->saveFileAs();
    window->openAnswers << inFiles("age.csv");
    window->openFile();
    QCOMPARE(itemDates(), dates);
    QCOMPARE(window->findChild<TLDateEdit *>("deStart")->date(), date);
}

void TestDocumentCommands::shouldLeaveAFileAloneWhereItsFolderTakesNoNewFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filter"); // empty: the image
    QTest::newRow("chart") << "locked.vrk" << nativeFilter;
    QTest::newRow("table") << "locked.csv" << tableFilter;
    QTest::newRow("image") << "locked.png" << QString();
}

// A save writes the new file beside the old one and replaces it only when
// it is complete; where the folder takes no new file, the old one is never
// written over in place, and the message names the folder.
void TestDocumentCommands::shouldLeaveAFileAloneWhereItsFolderTakesNoNewFile()
{
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QTemporaryDir dir;
    const QString path = writeFile(dir.filePath(name), "precious");
    const auto inode = [&path] {
        struct stat status {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : ino_t(0);
    };
    const ino_t before = inode();
    const QByteArray folder = QFile::encodeName(dir.path());
    // The superuser may write anywhere, so the save runs as nobody.
    QVERIFY(::chmod(folder.constData(), 0555) == 0 && ::chmod(QFile::encodeName(path).constData(), 0666) == 0);
    const bool root = ::geteuid() == 0;
    QVERIFY(!root || ::seteuid(65534) == 0);
    if (filter.isEmpty()) {
        window->imageName = path;
        window->saveImgFile();
    } else {
        window->saveAnswers << qMakePair(path, filter);
        window->saveFileAs();
    }
    QVERIFY(!root || ::seteuid(0) == 0);
    QVERIFY(::chmod(folder.constData(), 0700) == 0);

    QCOMPARE(answers->warnings().size(), 1);
    QVERIFY2(answers->warnings().first().contains(dir.path() + QStringLiteral(" takes no new file")),
             qPrintable(answers->warnings().first()));
    QCOMPARE(readFile(path), QByteArray("precious"));
    QCOMPARE(inode(), before);
}

QTEST_MAIN(TestDocumentCommands)
#include "tst_documentcommands.moc"
