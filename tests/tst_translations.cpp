#include "app/translationloader.h"
#include "app/zelvaro.h"
#include "model/tlitemmodel.h"
#include "windowprobe.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFontComboBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QListView>
#include <QProcess>
#include <QRegularExpression>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString context, source, translation; // no translation where unfinished or vanished
    QString key() const { return context + QLatin1String(" | ") + source; }
};

QList<Message> readTs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"message")
            messages.append({ context, QString(), QString() });
        else if (xml.name() == u"source")
            messages.last().source = xml.readElementText();
        else if (xml.name() == u"translation" && xml.attributes().value(QLatin1String("type")).isEmpty())
            messages.last().translation = xml.readElementText();
    }
    return xml.hasError() ? QList<Message>() : messages;
}

QList<Message> messagesOf(const QString &language)
{
    return readTs(QStringLiteral(ZELVARO_SOURCE_DIR "/translations/zelvaro_%1.ts").arg(language));
}

const QSet<QString> sameInBoth = { "OK", "Text", "Diagonal", "...", "Zelvaro", "Zelvaro - %1", "%1\n\n%2" };

// What a window in the language must not show: the other language's texts
// and the sources it replaces.
QSet<QString> foreignTo(const QString &language)
{
    QSet<QString> own, replaced, other;
    for (const Message &message : messagesOf(language)) {
        own << message.translation;
        if (message.translation != message.source)
            replaced << message.source;
    }
    for (const Message &message : messagesOf(language == QLatin1String("en") ? "de" : "en"))
        other << message.translation;
    if (language == QLatin1String("de"))
        other += { "Cancel", "&Yes", "&No", "Save", "Discard" }; // the toolkit's
    return other + (replaced - own) - sameInBoth;
}

// What a translation keeps of its source: the placeholders and the number
// of shortcut marks.
QString shapeOf(QString text)
{
    static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    QStringList shape;
    for (auto it = placeholder.globalMatch(text); it.hasNext();)
        shape << it.next().captured();
    shape.sort();
    return shape.join(QLatin1Char(' ')) + QString(text.remove(QLatin1String("&&")).count(QLatin1Char('&')), '&');
}

// The texts a user reads in a window, dialog or menu; the standard buttons
// of a button box only where the toolkit's texts are translated too.
QStringList textsOf(QWidget *root, bool withToolkit)
{
    QStringList texts { root->windowTitle() };
    for (QObject *object : root->findChildren<QObject *>()) {
        auto *button = qobject_cast<QAbstractButton *>(object);
        auto *box = qobject_cast<QDialogButtonBox *>(object->parent());
        auto *tool = qobject_cast<QToolButton *>(object);
        // A tool bar button shows its action's text, shortened.
        if ((tool && tool->defaultAction()) || (box && box->standardButton(button) && !withToolkit))
            continue;
        if (button || qobject_cast<QLabel *>(object) || qobject_cast<QAction *>(object))
            texts << object->property("text").toString();
        texts << object->property("title").toString() << object->property("windowTitle").toString();
        auto *combo = qobject_cast<QComboBox *>(object);
        for (int i = 0; combo && !qobject_cast<QFontComboBox *>(combo) && i < combo->count(); ++i)
            texts << combo->itemText(i);
        auto *view = qobject_cast<QAbstractItemView *>(object);
        const QAbstractItemModel *model = view && view->window() == root ? view->model() : nullptr;
        for (int row = 0; model && qobject_cast<QListView *>(view) && row < model->rowCount(); ++row)
            texts << model->index(row, 0).data().toString();
        for (int column = 0; model && qobject_cast<QTableView *>(view) && column < model->columnCount(); ++column)
            texts << model->headerData(column, Qt::Horizontal).toString();
    }
    texts.removeAll(QString());
    return texts;
}

// Answers the file choosers at once and keeps their captions and filters.
struct ProbedZelvaro : Zelvaro
{
    QStringList asked;
    QString askOpenFileName(const QString &caption, const QString &filter) override
    {
        asked << caption << filter;
        return QString();
    }
    QString askSaveFileName(const QString &caption, const QString &filter, QString *) override
    {
        return askOpenFileName(caption, filter);
    }
};

// Every text of the window, the item menu, the item, background and style
// dialogs, the delete and unsaved-changes questions and the file choosers.
QStringList windowTexts(bool withToolkit)
{
    QStringList texts;
    auto collect = [&texts, withToolkit](QWidget *widget) {
        texts << textsOf(widget, withToolkit);
        widget->close();
    };
    ProbedZelvaro window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return {};
    texts << textsOf(&window, withToolkit);

    TLine *chart = window.findChild<TLine *>();
    chart->grab();
    const QPoint item = TLineProbe::itemRectsOf(chart).value(0).center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, item, chart->mapToGlobal(item));
    whenPopup(collect);
    QApplication::sendEvent(chart, &menuEvent);
    window.openFile();
    window.saveFileAs();
    QSlider *slider = window.findChild<QSlider *>();
    for (const auto &command : std::initializer_list<std::function<void()>> {
             [&] { window.newItem(); }, [&] { window.changeBackground(); }, [&] { window.changeTimelineTyp(); },
             [&] { window.itemDelete(0); }, [&] { slider->setValue(slider->value() + 10); window.newFile(); } }) {
        whenModal(collect);
        command();
    }
    return texts << window.asked;
}

}

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldFindTheTranslationFiles_data();
    void shouldFindTheTranslationFiles();
    void shouldShowOneLanguage_data();
    void shouldShowOneLanguage();

private:
    QTemporaryDir configDir;
    QSet<QString> codeKeys;
};

void TestTranslations::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    const QString fresh = configDir.filePath(QStringLiteral("fresh.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(ZELVARO_LUPDATE), { QStringLiteral("@" ZELVARO_TRANSLATED_SOURCES), "-ts", fresh });
    QVERIFY(lupdate.waitForFinished(60000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
    for (const Message &message : readTs(fresh))
        codeKeys << message.key();
}

void TestTranslations::shouldFindTheTranslationFiles_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("expected");
    const QString installed = QDir::cleanPath(QStringLiteral("bin/" ZELVARO_INSTALLED_TRANSLATIONS "/zelvaro_de.qm"));
    const QString beside = QStringLiteral("bin/zelvaro_de.qm");
    QTest::newRow("installed") << "zelvaro_" << QStringList { installed } << installed;
    QTest::newRow("beside the program first") << "zelvaro_" << QStringList { installed, beside } << beside;
    QTest::newRow("the toolkit's own") << "qt_" << QStringList()
                                       << QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qt_de.qm";
}

void TestTranslations::shouldFindTheTranslationFiles()
{
    QFETCH(QString, prefix);
    QFETCH(QStringList, files);
    QFETCH(QString, expected);
    const bool toolkit = prefix == QLatin1String("qt_");
    if (toolkit && !QFile::exists(expected))
        QSKIP("The toolkit's translations are not installed (Debian package qt6-translations-l10n).");
    QTemporaryDir root;
    const QDir dir(root.path());
    for (const QString &file : files) {
        QVERIFY(dir.mkpath(QFileInfo(file).path()));
        QVERIFY(QFile::copy(QStringLiteral(ZELVARO_QM_DIR "/zelvaro_de.qm"), root.filePath(file)));
    }
    const QString bin = root.filePath(QStringLiteral("bin"));
    QTranslator translator;
    QVERIFY(TranslationLoader::load(&translator, prefix, QStringLiteral("de_DE"),
                                    toolkit ? TranslationLoader::toolkitFolders(bin)
                                            : TranslationLoader::programFolders(bin)));
    QCOMPARE(QDir::cleanPath(translator.filePath()), dir.absoluteFilePath(expected));
}

void TestTranslations::shouldShowOneLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("controls");
    QTest::newRow("no translation") << "fr_FR" << "Regler";
    QTest::newRow("English") << "en_GB" << "Controls";
    QTest::newRow("German") << "de_DE" << "Regler";
}

void TestTranslations::shouldShowOneLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QString, controls);
    QTranslator program;
    QTranslator toolkit;
    const bool translated = TranslationLoader::load(&program, QStringLiteral("zelvaro_"), locale,
                                                    TranslationLoader::programFolders(ZELVARO_QM_DIR));
    const bool withToolkit = translated && TranslationLoader::load(&toolkit, QStringLiteral("qt_"), locale,
                                                                   TranslationLoader::toolkitFolders(ZELVARO_QM_DIR));
    QCoreApplication::installTranslator(&program);
    QCoreApplication::installTranslator(&toolkit);
    const QStringList texts = windowTexts(withToolkit);
    // The table translates its headers; the model, which the table codec writes, keeps its own.
    const QString modelHeader = TLItemModel().headerData(TLItem::BackgroundColorColumn, Qt::Horizontal).toString();
    QCoreApplication::removeTranslator(&toolkit);
    QCoreApplication::removeTranslator(&program);
    if (locale.startsWith(QLatin1String("de")) && !withToolkit)
        qWarning("The toolkit's German translation is missing (qt6-translations-l10n); its buttons are not checked.");

    QVERIFY2(texts.contains(controls), qPrintable(texts.join(", ")));
    QCOMPARE(modelHeader, QStringLiteral("BackgroundColor"));
    if (!translated) {
        QSet<QString> sources;
        for (const Message &message : messagesOf(QStringLiteral("en")))
            sources << message.source;
        for (const QString &text : texts)
            QVERIFY2(sources.contains(text), qPrintable(text));
        return;
    }
    const QSet<QString> foreign = foreignTo(locale.left(2));
    for (const QString &text : texts)
        QVERIFY2(!foreign.contains(text), qPrintable(text));

    // Every text of the code is translated, with its placeholders and shortcut marks, and none is stale.
    QSet<QString> keys;
    for (const Message &message : messagesOf(locale.left(2))) {
        keys << message.key();
        QVERIFY2(!message.translation.isEmpty(), qPrintable(message.key()));
        QVERIFY2(shapeOf(message.translation) == shapeOf(message.source), qPrintable(message.key()));
    }
    QVERIFY2(keys == codeKeys, qPrintable("lacks " + QStringList((codeKeys - keys).values()).join(", ")
                                          + "; has stale " + QStringList((keys - codeKeys).values()).join(", ")));
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
