#include "model/tldocument.h"
#include "testfiles.h"
#include "windowprobe.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

}

class TestChartConverter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldWriteEveryFormatWithoutADisplay_data();
    void shouldWriteEveryFormatWithoutADisplay();
    void shouldSayWhyAndLeaveNoFile_data();
    void shouldSayWhyAndLeaveNoFile();

private:
    // Runs the converter as a user would, with no display; its exit status.
    int convert(const QStringList &arguments);

    QTemporaryDir files;
    QString demo;
    QString errors;
};

void TestChartConverter::initTestCase()
{
    useFreshSettings();
    demo = files.filePath(QStringLiteral("demo.vrk"));
    QVERIFY(QFile::copy(QStringLiteral(":demo.vrk"), demo));
}

int TestChartConverter::convert(const QStringList &arguments)
{
    QProcess converter;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QLatin1String(name));
    converter.setProcessEnvironment(environment);
    converter.start(QStringLiteral(ZELVARO_CONVERT), arguments);
    if (!converter.waitForFinished(60000))
        return -1;
    errors = QString::fromUtf8(converter.readAllStandardError());
    return converter.exitStatus() == QProcess::NormalExit ? converter.exitCode() : -1;
}

void TestChartConverter::shouldWriteEveryFormatWithoutADisplay_data()
{
    QTest::addColumn<QString>("ending");
    for (const char *ending : { "svg", "pdf", "png", "csv", "vrk" })
        QTest::newRow(ending) << QString::fromLatin1(ending);
}

// Pictures of the chart hold its words as text, an image is the window's
// own, and both formats keep the items and settings.
void TestChartConverter::shouldWriteEveryFormatWithoutADisplay()
{
    QFETCH(QString, ending);
    const QString output = files.filePath(QStringLiteral("out.") + ending);
    QCOMPARE(convert({ demo, QStringLiteral("-o"), output }), 0);
    QVERIFY2(errors.isEmpty(), qPrintable(errors));

    AnsweredZelvaro window;
    if (ending == QLatin1String("svg")) {
        QVERIFY(readFile(output).contains(">Zwischen</text>"));
    } else if (ending == QLatin1String("pdf")) {
        QVERIFY(pdfText(output).contains(QLatin1String("Projekt")));
    } else if (ending == QLatin1String("png")) {
        window.imageName = files.filePath(QStringLiteral("window.png"));
        window.saveImgFile();
        QCOMPARE(QImage(output), QImage(window.imageName));
    } else {
        const QString back = files.filePath(QStringLiteral("back.vrk"));
        QVERIFY(ending == QLatin1String("csv") ? window.loadCsv(output) : window.loadNative(output));
        QVERIFY(window.saveNative(back));
        Zelvaro original;
        QVERIFY(original.saveNative(files.filePath(QStringLiteral("original.vrk"))));
        TLDocument converted, shown;
        QFile convertedFile(back), shownFile(files.filePath(QStringLiteral("original.vrk")));
        QVERIFY(convertedFile.open(QIODevice::ReadOnly) && TLDocument::read(&convertedFile, &converted));
        QVERIFY(shownFile.open(QIODevice::ReadOnly) && TLDocument::read(&shownFile, &shown));
        QCOMPARE(converted.items, shown.items);
        // A table keeps only the items; it is shown over their own range.
        if (ending == QLatin1String("vrk"))
            QVERIFY(static_cast<TLChartState &>(converted) == static_cast<TLChartState &>(shown));
    }
}

void TestChartConverter::shouldSayWhyAndLeaveNoFile_data()
{
    QTest::addColumn<QStringList>("arguments"); // {input} for the file made here
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::newRow("random bytes") << QStringList { "{random}", "-o", "{out}" } << 1 << "random.vrk: The file is not";
    QTest::newRow("a missing file") << QStringList { "{missing}", "-o", "{out}" } << 1 << "cannot be opened";
    QTest::newRow("a cut file") << QStringList { "{cut}", "-o", "{out}" } << 1 << "--partial";
    QTest::newRow("an unknown option") << QStringList { "{demo}", "--bogus", "-o", "{out}" } << 2 << "bogus";
    QTest::newRow("a bad date") << QStringList { "{demo}", "--from", "19.10.2006", "-o", "{out}" } << 2 << "bad date";
    QTest::newRow("no output") << QStringList { "{demo}" } << 2 << "no output file";
    QTest::newRow("over the pixel budget") << QStringList { "{demo}", "--scale", "40", "-o", "{out}" } << 1
                                           << "megapixels";
}

void TestChartConverter::shouldSayWhyAndLeaveNoFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, said);
    QVERIFY(!writeFile(files.filePath(QStringLiteral("random.vrk")), QByteArray(4000, '\x5a')).isEmpty());
    const QByteArray demoBytes = readFile(demo);
    QVERIFY(!writeFile(files.filePath(QStringLiteral("cut.vrk")), demoBytes.left(demoBytes.size() - 100)).isEmpty());
    const QString output = files.filePath(QStringLiteral("refused.png"));
    QFile::remove(output);
    for (QString &argument : arguments) {
        argument.replace(QLatin1String("{out}"), output);
        argument.replace(QLatin1String("{demo}"), demo);
        for (const char *name : { "random", "missing", "cut" })
            argument.replace(QStringLiteral("{%1}").arg(QLatin1String(name)), files.filePath(name + QStringLiteral(".vrk")));
    }
    QCOMPARE(convert(arguments), status);
    QVERIFY2(errors.startsWith(QLatin1String("zelvaro-convert: ")) && errors.contains(said), qPrintable(errors));
    QVERIFY(!QFile::exists(output));
    if (said == QLatin1String("--partial"))
        QCOMPARE(convert(arguments << QStringLiteral("--partial")), 0);
}

QTEST_MAIN(TestChartConverter)
#include "tst_chartconverter.moc"
