#include "app/zelvaro.h"
#include "model/tlcsv.h"
#include "model/tldocument.h"
#include "model/tlitemmodel.h"
#include "view/tline.h"
#include "windowprobe.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QBuffer>
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
#include <unistd.h>

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
        asked << QStringLiteral("open|%1|%2").arg(caption, filter);
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }

    QString askSaveFileName(const QString &caption, const QString &filter, QString *selectedFilter) override
    {
        asked << QStringLiteral("save|%1|%2").arg(caption, filter);
        if (saveAnswers.isEmpty())
            return QString();
        const auto answer = saveAnswers.takeFirst();
        *selectedFilter = answer.second;
        return answer.first;
    }
};

// Answers every modal widget that comes up while it lives: the style
// question with `style` (cancelled when empty), the unsaved-changes question
// with `question`, warnings with OK, any other dialog (the background dialog)
// with Cancel. What came up is noted in `seen`.
class ModalAnswerer
{
public:
    QString style;
    QMessageBox::StandardButton question = QMessageBox::Cancel;
    QStringList seen;

    ModalAnswerer()
    {
        timer.callOnTimeout([this] { answer(); });
        timer.start(10);
    }

    QStringList warnings() const { return seen.filter(QStringLiteral("warning|")); }

private:
    void answer()
    {
        QWidget *widget = QApplication::activeModalWidget();
        if (!widget || widget == last)
            return;
        last = widget;
        if (auto *input = qobject_cast<QInputDialog *>(widget)) {
            seen << QStringLiteral("style|%1|%2|%3|%4")
                        .arg(input->windowTitle(), input->labelText(), input->comboBoxItems().join(QLatin1Char(',')))
                        .arg(input->isComboBoxEditable());
            if (style.isEmpty()) {
                input->reject();
            } else {
                input->setTextValue(style);
                input->accept();
            }
        } else if (auto *box = qobject_cast<QMessageBox *>(widget)) {
            if (box->icon() == QMessageBox::Question) {
                seen << QStringLiteral("question");
                box->button(question)->click();
            } else {
                seen << QStringLiteral("warning|") + box->text();
                box->button(QMessageBox::Ok)->click();
            }
        } else if (auto *dialog = qobject_cast<QDialog *>(widget)) {
            seen << QStringLiteral("dialog");
            dialog->reject();
        }
    }

    QTimer timer;
    QPointer<QWidget> last;
};

const QString openCaption = QStringLiteral("open|Choose a file|Timeline (*.vrk);;Tables (*.csv);;All (*.*)");
const QString saveCaption = QStringLiteral("save|Choose a file|Timeline (*.vrk);;Tables (*.csv)");
const QString nativeFilter = QStringLiteral("Timeline (*.vrk)");
const QString tableFilter = QStringLiteral("Tables (*.csv)");

TLItem item(const QDate &date, int pos, const QString &text)
{
    return TLItem { date, pos, text, Qt::white, QDate() };
}

}

class TestDocumentCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void shouldLeaveEverythingWhenNewIsCancelled();
    void shouldStartAnEmptyChartOfTheChosenStyle();
    void shouldKeepChartAndControlsInAgreementAfterASecondNew();
    void shouldOpenChartsAndTables_data();
    void shouldOpenChartsAndTables();
    void shouldRefuseWhatItCannotOpen_data();
    void shouldRefuseWhatItCannotOpen();
    void shouldTellWhereATableStopped();
    void shouldSaveAsInTheFormatOfTheFilter_data();
    void shouldSaveAsInTheFormatOfTheFilter();
    void shouldSaveAnOpenedTableWithoutADialog();
    void shouldKeepTheOldFileWhenASaveFails_data();
    void shouldKeepTheOldFileWhenASaveFails();
    void shouldAskBeforeDroppingChanges_data();
    void shouldAskBeforeDroppingChanges();
    void shouldMarkChangesFromItemsAndControls();
    void shouldReportWhatTheCommandLineCannotOpen();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    QString writeChart(const QString &name);
    void editAnItem() { model->setData(model->index(0, TLItem::TextColumn), QStringLiteral("edited")); }

    QTemporaryDir configDir;
    QTemporaryDir files;
    std::unique_ptr<ProbedZelvaro> window;
    TLItemModel *model = nullptr;

    template <typename T> T *control(const char *name) { return window->findChild<T *>(QLatin1String(name)); }
    TLine *chart() { return window->findChild<QScrollArea *>()->findChild<TLine *>(); }
};

void TestDocumentCommands::initTestCase()
{
    QVERIFY(configDir.isValid() && files.isValid());
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestDocumentCommands::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("setWindowModified")));
    QSettings(QStringLiteral("Orlevant"), QStringLiteral("Zelvaro")).clear();
    window = std::make_unique<ProbedZelvaro>();
    model = window->findChild<TLItemModel *>();
    QVERIFY(model);
    QVERIFY(!window->isWindowModified());
    // Shown, as the program shows it before any change: a change then must
    // not make Qt warn about the title.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

QString TestDocumentCommands::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = files.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

QString TestDocumentCommands::writeChart(const QString &name)
{
    TLDocument document;
    document.style = 3;
    document.start = QDate(2010, 5, 1);
    document.end = QDate(2010, 6, 1);
    document.dayWidth = 10;
    document.posHeight = 40;
    document.maxPos = 2;
    document.items << item(QDate(2010, 5, 2), 0, QStringLiteral("one"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return document.write(&buffer) ? writeFile(name, buffer.data()) : QString();
}

void TestDocumentCommands::shouldLeaveEverythingWhenNewIsCancelled()
{
    window->setWindowTitle(QStringLiteral("Zelvaro - before"));
    TLine *before = chart();
    const int width = control<QSlider>("slWidth")->value();
    ModalAnswerer answers;
    window->newFile();

    QCOMPARE(answers.seen, QStringList({ "style|||Typ 1,Typ 2,Typ 3|0" }));
    QCOMPARE(chart(), before);
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(control<QDateEdit>("deStart")->date(), QDate(2006, 10, 4));
    QCOMPARE(control<QSlider>("slWidth")->value(), width);
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - before"));
    QVERIFY(!window->isWindowModified());
}

void TestDocumentCommands::shouldStartAnEmptyChartOfTheChosenStyle()
{
    const QString path = writeChart(QStringLiteral("before.vrk"));
    window->openAnswers << path;
    window->openFile();
    window->resize(1000, 700);

    ModalAnswerer answers;
    answers.style = QStringLiteral("Typ 2");
    window->newFile();

    QCOMPARE(answers.seen.first(), QStringLiteral("style|||Typ 1,Typ 2,Typ 3|0"));
    QCOMPARE(answers.warnings(), QStringList());
    QCOMPARE(chart()->metaObject()->className(), "TLine2");
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(control<QSlider>("slWidth")->value(), 1100);
    QCOMPARE(control<QSlider>("slHeight")->value(), 140);
    QCOMPARE(control<QSpinBox>("sMaxPos")->value(), 4);
    QCOMPARE(control<QSlider>("slArrow")->value(), 0);
    QCOMPARE(control<QDateEdit>("deStart")->date(), QDate::currentDate());
    QCOMPARE(control<QDateEdit>("deEnd")->date(), QDate::currentDate().addDays(90));
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - %1").arg(path));
    QVERIFY(!window->isWindowModified());

    // The new chart has no name yet, so Save asks for one.
    window->asked.clear();
    window->saveFile();
    QCOMPARE(window->asked, QStringList({ saveCaption }));
}

void TestDocumentCommands::shouldKeepChartAndControlsInAgreementAfterASecondNew()
{
    ModalAnswerer answers;
    answers.style = QStringLiteral("Typ 3");
    window->newFile();
    window->newFile();

    TLine *line = chart();
    QCOMPARE(answers.seen.filter(QStringLiteral("style")).size(), 2);
    QCOMPARE(line->metaObject()->className(), "TLine3");
    QCOMPARE(TLineProbe::startOf(line), control<QDateEdit>("deStart")->date());
    QCOMPARE(TLineProbe::endOf(line), control<QDateEdit>("deEnd")->date());
    QCOMPARE(TLineProbe::dayWidthOf(line), control<QSlider>("slWidth")->value() / 100.0);
    QCOMPARE(TLineProbe::posHeightOf(line), double(control<QSlider>("slHeight")->value()));
    QCOMPARE(TLineProbe::maxPosOf(line), control<QSpinBox>("sMaxPos")->value());
    QCOMPARE(TLineProbe::tPosOf(line), control<QSlider>("slArrow")->value());
}

void TestDocumentCommands::shouldOpenChartsAndTables_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("rows");
    QTest::newRow("chart") << writeChart(QStringLiteral("plan.vrk")) << "TLine3" << QStringList({ "one" })
                           << QDate(2010, 5, 1) << QDate(2010, 6, 1) << 2;
    const QByteArray table = "\"2007-03-01\";\"1\";\"a;b\";\"#ff0000\";\"\"\n"
                             "\"\";\"12\";\"ohne Datum\"\n"
                             "\"2007-02-20\";\"0\";\"c\";\"#00ff00\";\"2007-02-22\"\n";
    QTest::newRow("table") << writeFile(QStringLiteral("plan.csv"), table) << "TLine1"
                           << QStringList({ "a;b", "ohne Datum", "c" }) << QDate(2007, 2, 20) << QDate(2007, 3, 6)
                           << 13;
}

void TestDocumentCommands::shouldOpenChartsAndTables()
{
    QFETCH(QString, path);
    QFETCH(QString, style);
    QFETCH(QStringList, texts);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(int, rows);
    editAnItem();
    window->openAnswers << path;
    ModalAnswerer answers;
    answers.question = QMessageBox::Discard;
    window->openFile();

    QCOMPARE(answers.seen, QStringList({ "question" }));
    QCOMPARE(window->asked, QStringList({ openCaption }));
    QCOMPARE(chart()->metaObject()->className(), style.toLatin1());
    QCOMPARE(model->rowCount(), texts.size());
    for (int row = 0; row < texts.size(); ++row)
        QCOMPARE(model->index(row, TLItem::TextColumn).data().toString(), texts.at(row));
    QCOMPARE(control<QDateEdit>("deStart")->date(), start);
    QCOMPARE(control<QDateEdit>("deEnd")->date(), end);
    QCOMPARE(control<QSpinBox>("sMaxPos")->value(), rows);
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - %1").arg(path));
    QVERIFY(!window->isWindowModified());
}

void TestDocumentCommands::shouldRefuseWhatItCannotOpen_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    const QString unknown = QStringLiteral("not a timeline or table file");
    QTest::newRow("notes.txt") << writeFile(QStringLiteral("notes.txt"), "\"2006-10-04\";\"0\";\"x\"\n") << unknown;
    QTest::newRow("ending in capitals") << writeFile(QStringLiteral("PLAN.CSV"), "\"2006-10-04\";\"0\";\"x\"\n")
                                        << unknown;
    QTest::newRow("missing chart") << files.filePath(QStringLiteral("missing.vrk")) << "cannot be opened";
    QTest::newRow("folder named as a table") << files.filePath(QStringLiteral("folder.csv")) << "cannot be opened";
    QTest::newRow("not a chart") << writeFile(QStringLiteral("text.vrk"), "plain text") << "not a timeline chart";
    QVERIFY(QDir(files.path()).mkpath(QStringLiteral("folder.csv")));
}

void TestDocumentCommands::shouldRefuseWhatItCannotOpen()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    window->setWindowTitle(QStringLiteral("Zelvaro - before"));
    TLine *before = chart();
    window->openAnswers << path;
    ModalAnswerer answers;
    window->openFile();

    QCOMPARE(answers.warnings().size(), 1);
    QVERIFY2(answers.warnings().first().contains(path), qPrintable(answers.warnings().first()));
    QVERIFY2(answers.warnings().first().contains(reason), qPrintable(answers.warnings().first()));
    QCOMPARE(chart(), before);
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(control<QDateEdit>("deStart")->date(), QDate(2006, 10, 4));
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - before"));
    QVERIFY(!window->isWindowModified());
}

void TestDocumentCommands::shouldTellWhereATableStopped()
{
    const QString path = writeFile(QStringLiteral("short.csv"), "\"2007-03-01\";\"1\";\"a\"\n\n\"2007-03-02\"\n");
    window->openAnswers << path;
    ModalAnswerer answers;
    window->openFile();

    QCOMPARE(answers.warnings().size(), 1);
    QVERIFY2(answers.warnings().first().contains(QLatin1String("line 3")), qPrintable(answers.warnings().first()));
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - %1").arg(path));
    // What the window shows is not what the file holds.
    QVERIFY(window->isWindowModified());
}

void TestDocumentCommands::shouldSaveAsInTheFormatOfTheFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("saved");
    QTest::newRow("table filter adds .csv") << "plan" << tableFilter << "plan.csv";
    QTest::newRow("table filter keeps .csv") << "plan.csv" << tableFilter << "plan.csv";
    QTest::newRow("chart filter adds .vrk to .csv") << "plan.csv" << nativeFilter << "plan.csv.vrk";
    QTest::newRow("chart filter keeps .vrk") << "plan.vrk" << nativeFilter << "plan.vrk";
}

void TestDocumentCommands::shouldSaveAsInTheFormatOfTheFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, filter);
    QFETCH(QString, saved);
    QTemporaryDir dir;
    editAnItem();
    window->saveAnswers << qMakePair(dir.filePath(typed), filter);
    window->saveFileAs();

    QCOMPARE(window->asked, QStringList({ saveCaption }));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({ saved }));
    QFile file(dir.filePath(saved));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (filter == tableFilter) {
        QList<TLItem> items;
        QVERIFY(TLCsv::read(bytes, &items));
        QCOMPARE(items.size(), 4);
        QCOMPARE(items.first().text, QStringLiteral("edited"));
    } else {
        QVERIFY(bytes.startsWith(QByteArray::fromHex("FFABDEFA04")));
    }
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - %1").arg(dir.filePath(saved)));
    QVERIFY(!window->isWindowModified());
}

void TestDocumentCommands::shouldSaveAnOpenedTableWithoutADialog()
{
    const QString path = writeFile(QStringLiteral("x.csv"), "\"2007-03-01\";\"1\";\"a\"\n");
    window->openAnswers << path;
    window->openFile();
    editAnItem();
    window->asked.clear();
    window->saveFile();

    QCOMPARE(window->asked, QStringList());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\"2007-03-01\";\"1\";\"edited\";\"#ffffff\";\"\"\n"));
    QVERIFY(!window->isWindowModified());
}

void TestDocumentCommands::shouldKeepTheOldFileWhenASaveFails_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("saveAsTo");
    // No room beside the file for the temporary file the save writes first.
    QTest::newRow("name too long for the temporary file") << "long" << QString(249, QLatin1Char('p')) + ".vrk"
                                                         << false << QString();
    QTest::newRow("read-only folder and file") << "locked" << "plan.csv" << true << QString();
    QTest::newRow("save as into a missing folder") << "open" << "plan.vrk" << false << "no/such/folder/plan";
}

void TestDocumentCommands::shouldKeepTheOldFileWhenASaveFails()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(bool, readOnly);
    QFETCH(QString, saveAsTo);
    if (readOnly && geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QVERIFY(QDir(files.path()).mkpath(folder));
    const QString path = files.filePath(folder + QLatin1Char('/') + name);
    QFile source(writeChart(QStringLiteral("source.vrk")));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray original = name.endsWith(QLatin1String(".csv")) ? TLCsv::write({ item(QDate(2007, 3, 1), 1,
                                                                                           QStringLiteral("a")) })
                                                                     : source.readAll();
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(original) == original.size());
    file.close();
    window->openAnswers << path;
    window->openFile();
    editAnItem();
    const QString folderPath = files.filePath(folder);
    const QFileDevice::Permissions folderPermissions = QFile::permissions(folderPath);
    const QFileDevice::Permissions filePermissions = QFile::permissions(path);
    if (readOnly) {
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        QFile::setPermissions(folderPath, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }

    ModalAnswerer answers;
    if (saveAsTo.isEmpty()) {
        window->saveFile();
    } else {
        window->saveAnswers << qMakePair(files.filePath(saveAsTo), nativeFilter);
        window->saveFileAs();
    }
    QFile::setPermissions(folderPath, folderPermissions);
    QFile::setPermissions(path, filePermissions);

    QCOMPARE(answers.warnings().size(), 1);
    QVERIFY(answers.warnings().first().contains(saveAsTo.isEmpty() ? name : saveAsTo));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), original);
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelvaro - %1").arg(path));
    QVERIFY(window->isWindowModified());
}

void TestDocumentCommands::shouldAskBeforeDroppingChanges_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("new, unchanged") << "new" << false << int(QMessageBox::Cancel) << true;
    QTest::newRow("new, cancel") << "new" << true << int(QMessageBox::Cancel) << false;
    QTest::newRow("new, discard") << "new" << true << int(QMessageBox::Discard) << true;
    QTest::newRow("open, cancel") << "open" << true << int(QMessageBox::Cancel) << false;
    QTest::newRow("close, unchanged") << "close" << false << int(QMessageBox::Cancel) << true;
    QTest::newRow("close, cancel") << "close" << true << int(QMessageBox::Cancel) << false;
    QTest::newRow("close, discard") << "close" << true << int(QMessageBox::Discard) << true;
    QTest::newRow("close, save") << "close" << true << int(QMessageBox::Save) << true;
    QTest::newRow("close, save cancelled") << "close" << true << int(QMessageBox::Save) << false;
}

void TestDocumentCommands::shouldAskBeforeDroppingChanges()
{
    QFETCH(QString, command);
    QFETCH(bool, edited);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    const QString saved = files.filePath(QStringLiteral("asked.csv"));
    QFile::remove(saved);
    const bool saves = answer == QMessageBox::Save;
    if (saves && goesOn)
        window->saveAnswers << qMakePair(saved, tableFilter);
    if (edited)
        editAnItem();

    ModalAnswerer answers;
    answers.question = QMessageBox::StandardButton(answer);
    bool closed = false;
    if (command == QLatin1String("new"))
        window->newFile();
    else if (command == QLatin1String("open"))
        window->openFile();
    else
        closed = window->close();

    QCOMPARE(answers.seen.contains(QLatin1String("question")), edited);
    if (command == QLatin1String("new"))
        QCOMPARE(!answers.seen.filter(QStringLiteral("style")).isEmpty(), goesOn);
    else if (command == QLatin1String("open"))
        QCOMPARE(window->asked.contains(openCaption), goesOn);
    else
        QCOMPARE(closed, goesOn);
    QCOMPARE(window->isVisible(), !closed);
    QCOMPARE(QFile::exists(saved), saves && goesOn);
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
    QCOMPARE(changes.size(), 3 + 2 + 3 + 1 + 9);
    for (int i = 0; i < changes.size(); ++i) {
        window->setWindowModified(false);
        changes.at(i)();
        QVERIFY2(window->isWindowModified(), qPrintable(QString::number(i)));
    }
}

void TestDocumentCommands::shouldReportWhatTheCommandLineCannotOpen()
{
    ModalAnswerer answers;
    const QString missing = files.filePath(QStringLiteral("missing.csv"));
    window->openCommandLine({ QStringLiteral("zelvaro"), missing });
    QCOMPARE(answers.warnings().size(), 1);
    QVERIFY(answers.warnings().first().contains(missing));
    QCOMPARE(model->rowCount(), 4);

    const QString table = writeFile(QStringLiteral("args.csv"), "\"2007-03-01\";\"1\";\"a\"\n");
    window->openCommandLine({ QStringLiteral("zelvaro"), table });
    QCOMPARE(answers.warnings().size(), 1);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(control<QDateEdit>("deEnd")->date(), QDate(2007, 3, 6));
    QVERIFY(window->windowTitle().isEmpty());
    QVERIFY(!window->isWindowModified());
}

QTEST_MAIN(TestDocumentCommands)
#include "tst_documentcommands.moc"
