#include "app/zelvaro.h"
#include "model/tldocument.h"
#include "model/tlitemmodel.h"
#include "view/tline.h"
#include "windowprobe.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

namespace {

// The file dialogs answered from lists; every question is noted.
class ProbedZelvaro : public Zelvaro
{
public:
    QStringList openAnswers;
    QList<QPair<QString, QString>> saveAnswers;
    QStringList asked;

protected:
    QString askOpenFileName(const QString &caption, const QString &filter) override
    {
        asked << caption + '|' + filter;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString askSaveFileName(const QString &caption, const QString &filter, QString *selectedFilter) override
    {
        asked << caption + '|' + filter;
        const auto answer = saveAnswers.isEmpty() ? QPair<QString, QString>() : saveAnswers.takeFirst();
        *selectedFilter = answer.second;
        return answer.first;
    }
};

// Answers every modal widget while it lives: the style question with `style`
// (cancelled when empty), the unsaved-changes question with `question`,
// warnings with OK, other dialogs with Cancel. What came up is in `seen`.
struct ModalAnswerer
{
    QString style;
    QMessageBox::StandardButton question = QMessageBox::Cancel;
    QStringList seen;
    QTimer timer;
    QPointer<QWidget> last;

    ModalAnswerer()
    {
        timer.callOnTimeout([this] {
            QWidget *widget = QApplication::activeModalWidget();
            if (!widget || widget == last)
                return;
            last = widget;
            if (auto *input = qobject_cast<QInputDialog *>(widget)) {
                seen << QStringLiteral("style|%1|%2|%3|%4")
                            .arg(input->windowTitle(), input->labelText(), input->comboBoxItems().join(','))
                            .arg(input->isComboBoxEditable());
                input->setTextValue(style);
                style.isEmpty() ? input->reject() : input->accept();
            } else if (auto *box = qobject_cast<QMessageBox *>(widget)) {
                const bool asks = box->icon() == QMessageBox::Question;
                seen << (asks ? QStringLiteral("question") : "warning|" + box->text());
                box->button(asks ? question : QMessageBox::Ok)->click();
            } else if (auto *dialog = qobject_cast<QDialog *>(widget)) {
                seen << QStringLiteral("dialog");
                dialog->reject();
            }
        });
        timer.start(10);
    }

    QStringList warnings() const { return seen.filter(QStringLiteral("warning|")); }
};

const QString openCaption = QStringLiteral("Choose a file|Timeline (*.vrk);;Tables (*.csv);;All (*.*)");
const QString saveCaption = QStringLiteral("Choose a file|Timeline (*.vrk);;Tables (*.csv)");
const QString nativeFilter = QStringLiteral("Timeline (*.vrk)");
const QString tableFilter = QStringLiteral("Tables (*.csv)");
const QByteArray oneRecord = "\"2007-03-01\";\"1\";\"a\"\n";

}

class TestDocumentCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void shouldStartAnEmptyChartOfTheChosenStyle();
    void shouldOpenChartsAndTables_data();
    void shouldOpenChartsAndTables();
    void shouldSaveInTheFormatOfTheFilterOrKeepTheOldFile_data();
    void shouldSaveInTheFormatOfTheFilterOrKeepTheOldFile();
    void shouldAskBeforeDroppingChanges_data();
    void shouldAskBeforeDroppingChanges();
    void shouldMarkChangesFromItemsAndControls();
    void shouldOpenATableFromTheCommandLine();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    QByteArray readFile(const QString &path);
    QByteArray snapshot();
    void editAnItem() { model->setData(model->index(0, TLItem::TextColumn), QStringLiteral("edited")); }
    template <typename T> T *control(const char *name) { return window->findChild<T *>(QLatin1String(name)); }
    TLine *chart() { return window->findChild<QScrollArea *>()->findChild<TLine *>(); }

    QTemporaryDir configDir;
    QTemporaryDir files;
    std::unique_ptr<ProbedZelvaro> window;
    std::unique_ptr<ModalAnswerer> answers;
    TLItemModel *model = nullptr;
};

void TestDocumentCommands::initTestCase()
{
    QVERIFY(configDir.isValid() && files.isValid());
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestDocumentCommands::init()
{
    // A change must not make Qt warn that the title has no modified mark.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("setWindowModified")));
    QSettings(QStringLiteral("Orlevant"), QStringLiteral("Zelvaro")).clear();
    answers = std::make_unique<ModalAnswerer>();
    window = std::make_unique<ProbedZelvaro>();
    model = window->findChild<TLItemModel *>();
    QVERIFY(!window->isWindowModified());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

QString TestDocumentCommands::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(files.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
}

QByteArray TestDocumentCommands::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The whole document as the window would save it.
QByteArray TestDocumentCommands::snapshot()
{
    const QString path = files.filePath(QStringLiteral("snapshot.vrk"));
    return window->saveNative(path) ? readFile(path) : QByteArray();
}

void TestDocumentCommands::shouldStartAnEmptyChartOfTheChosenStyle()
{
    const QString path = writeFile(QStringLiteral("before.csv"), oneRecord);
    window->openAnswers << path;
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
        QCOMPARE(QVariantList({ control<QSlider>("slWidth")->value(), control<QSlider>("slHeight")->value(),
                                control<QSpinBox>("sMaxPos")->value(), control<QSlider>("slArrow")->value(),
                                control<QDateEdit>("deStart")->date(), control<QDateEdit>("deEnd")->date() }),
                 QVariantList({ 1100, 140, 4, 0, today, today.addDays(90) }));
        QCOMPARE(QVariantList({ TLineProbe::dayWidthOf(line), TLineProbe::posHeightOf(line), TLineProbe::maxPosOf(line),
                                TLineProbe::tPosOf(line), TLineProbe::startOf(line), TLineProbe::endOf(line) }),
                 QVariantList({ 11.0, 140.0, 4, 0, today, today.addDays(90) }));
        QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - %1").arg(path));
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
    QTest::addColumn<QString>("style");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("rows");
    TLDocument document;
    document.style = 3;
    document.start = QDate(2010, 5, 1);
    document.end = QDate(2010, 6, 1);
    document.dayWidth = 10;
    document.posHeight = 40;
    document.maxPos = 2;
    document.items << TLItem { QDate(2010, 5, 2), 0, QStringLiteral("one"), Qt::white, QDate() };
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly) && document.write(&buffer));
    QTest::newRow("chart") << writeFile(QStringLiteral("plan.vrk"), buffer.data()) << QString() << "TLine3"
                           << QStringList({ "one" }) << QDate(2010, 5, 1) << QDate(2010, 6, 1) << 2;
    const QByteArray table = "\"2007-03-01\";\"1\";\"a;b\";\"#ff0000\";\"\"\n\"\";\"12\";\"ohne Datum\"\n"
                             "\"2007-02-20\";\"0\";\"c\";\"#00ff00\";\"2007-02-22\"\n";
    QTest::newRow("table") << writeFile(QStringLiteral("plan.csv"), table) << QString() << "TLine1"
                           << QStringList({ "a;b", "ohne Datum", "c" }) << QDate(2007, 2, 20) << QDate(2007, 3, 6)
                           << 13;
    QTest::newRow("table stopped by a short record")
        << writeFile(QStringLiteral("short.csv"), oneRecord + "\n\"2007-03-02\"\n") << "line 3" << "TLine1"
        << QStringList({ "a" }) << QDate(2007, 3, 1) << QDate(2007, 3, 6) << 4;
    const auto refused = [](const char *tag, const QString &path, const char *reason) {
        QTest::newRow(tag) << path << QString::fromLatin1(reason) << QString() << QStringList() << QDate() << QDate()
                           << 0;
    };
    QVERIFY(QDir(files.path()).mkpath(QStringLiteral("folder.csv")));
    refused("notes.txt", writeFile(QStringLiteral("notes.txt"), oneRecord), "not a timeline or table file");
    refused("ending in capitals", writeFile(QStringLiteral("PLAN.CSV"), oneRecord), "not a timeline or table file");
    refused("missing chart", files.filePath(QStringLiteral("missing.vrk")), "cannot be opened");
    refused("folder named as a table", files.filePath(QStringLiteral("folder.csv")), "cannot be opened");
    refused("not a chart", writeFile(QStringLiteral("text.vrk"), "plain text"), "not a timeline chart");
    const QString zero = files.filePath(QStringLiteral("zero.csv"));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
    refused("table linked to an endless device", zero, "Not a regular file");
    const QString pipe = files.filePath(QStringLiteral("pipe.vrk"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    refused("pipe that nothing writes to", pipe, "Not a regular file");
}

void TestDocumentCommands::shouldOpenChartsAndTables()
{
    QFETCH(QString, path);
    QFETCH(QString, warning);
    QFETCH(QString, style);
    QFETCH(QStringList, texts);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(int, rows);
    editAnItem();
    window->setWindowTitle(QStringLiteral("Zelvaro - before"));
    const QByteArray before = snapshot();
    window->openAnswers << path;
    answers->question = QMessageBox::Discard;
    window->openFile();

    QCOMPARE(window->asked, QStringList({ openCaption }));
    QCOMPARE(answers->seen.value(0), QStringLiteral("question"));
    QCOMPARE(answers->warnings().size(), warning.isEmpty() ? 0 : 1);
    if (!warning.isEmpty()) {
        const QString shown = answers->warnings().first();
        QVERIFY2(shown.contains(path) && shown.contains(warning), qPrintable(shown));
    }
    // A table read in part is not what its file holds.
    QCOMPARE(window->isWindowModified(), !warning.isEmpty());
    if (style.isEmpty()) {
        QCOMPARE(snapshot(), before);
        QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - before"));
        return;
    }
    QCOMPARE(chart()->metaObject()->className(), style.toLatin1());
    QCOMPARE(model->rowCount(), texts.size());
    for (int row = 0; row < texts.size(); ++row)
        QCOMPARE(model->index(row, TLItem::TextColumn).data().toString(), texts.at(row));
    QCOMPARE(control<QDateEdit>("deStart")->date(), start);
    QCOMPARE(control<QDateEdit>("deEnd")->date(), end);
    QCOMPARE(control<QSpinBox>("sMaxPos")->value(), rows);
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - %1").arg(path));
}

void TestDocumentCommands::shouldSaveInTheFormatOfTheFilterOrKeepTheOldFile_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("saved");
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
        QFile file(current);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(oneRecord) == oneRecord.size());
        file.close();
        window->openAnswers << current;
        window->openFile();
        window->asked.clear();
    }
    editAnItem();
    if (typed.isEmpty()) {
        window->saveFile();
    } else {
        window->saveAnswers << qMakePair(dir.filePath(typed), filter);
        window->saveFileAs();
    }

    QCOMPARE(window->asked, typed.isEmpty() ? QStringList() : QStringList({ saveCaption }));
    if (saved.isEmpty()) {
        QCOMPARE(answers->warnings().size(), 1);
        QVERIFY(answers->warnings().first().contains(typed.isEmpty() ? current : dir.filePath(typed)));
        QCOMPARE(readFile(current), oneRecord);
        QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - %1").arg(current));
        QVERIFY(window->isWindowModified());
        return;
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({ saved }));
    const QByteArray bytes = readFile(dir.filePath(saved));
    QVERIFY(saved.endsWith(QLatin1String(".csv")) ? bytes.contains("\";\"edited\";\"")
                                                   : bytes.startsWith("\xff\xab\xde\xfa\x04"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - %1").arg(dir.filePath(saved)));
    QVERIFY(!window->isWindowModified());
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
    const QString saved = files.filePath(QStringLiteral("asked.csv"));
    QFile::remove(saved);
    const bool saves = answer == QMessageBox::Save && goesOn;
    if (saves)
        window->saveAnswers << qMakePair(saved, tableFilter);
    editAnItem();
    answers->question = QMessageBox::StandardButton(answer);
    bool wentOn = false;
    if (command == QLatin1String("new")) {
        window->newFile();
        wentOn = !answers->seen.filter(QStringLiteral("style")).isEmpty();
    } else if (command == QLatin1String("open")) {
        window->openFile();
        wentOn = window->asked.contains(openCaption);
    } else {
        wentOn = window->close();
        QCOMPARE(window->isVisible(), !wentOn);
    }

    QCOMPARE(answers->seen.value(0), QStringLiteral("question"));
    QCOMPARE(wentOn, goesOn);
    QCOMPARE(QFile::exists(saved), saves);
    if (!goesOn)
        QCOMPARE(model->index(0, TLItem::TextColumn).data().toString(), QStringLiteral("edited"));
}

void TestDocumentCommands::shouldMarkChangesFromItemsAndControls()
{
    QList<std::function<void()>> changes = {
        [this] { editAnItem(); },
        [this] { model->insertRows(model->rowCount(), 1); },
        [this] { model->removeRows(0, 1); },
    };
    for (QDateEdit *date : window->findChildren<QDateEdit *>())
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

void TestDocumentCommands::shouldOpenATableFromTheCommandLine()
{
    const QString missing = files.filePath(QStringLiteral("missing.csv"));
    window->openCommandLine({ QStringLiteral("zelvaro"), missing });
    QCOMPARE(answers->warnings().size(), 1);
    QVERIFY(answers->warnings().first().contains(missing));
    QCOMPARE(model->rowCount(), 4);

    window->openCommandLine({ QStringLiteral("zelvaro"), writeFile(QStringLiteral("args.csv"), oneRecord) });
    QCOMPARE(answers->warnings().size(), 1);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(control<QDateEdit>("deEnd")->date(), QDate(2007, 3, 6));
    QVERIFY(window->windowTitle().isEmpty());
    QVERIFY(!window->isWindowModified());
}

QTEST_MAIN(TestDocumentCommands)
#include "tst_documentcommands.moc"
