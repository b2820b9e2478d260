#include "app/translationloader.h"
#include "app/zelvaro.h"
#include "model/tlitemmodel.h"
#include "view/tline.h"
#include "windowprobe.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFontComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSet>
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
    QString context;
    QString source;
    QString translation;
    QString type;
};

// The messages of a .ts file, in file order.
QList<Message> readTs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> messages;
    QString context;
    QXmlStreamReader xml(&file);
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("TS"))
            continue;
        if (xml.name() != QLatin1String("context")) {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (xml.name() == QLatin1String("message")) {
                Message message { context, QString(), QString(), QStringLiteral("missing") };
                while (xml.readNextStartElement()) {
                    if (xml.name() == QLatin1String("source")) {
                        message.source = xml.readElementText();
                    } else if (xml.name() == QLatin1String("translation")) {
                        message.type = xml.attributes().value(QLatin1String("type")).toString();
                        message.translation = xml.readElementText();
                    } else {
                        xml.skipCurrentElement();
                    }
                }
                messages << message;
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    return xml.hasError() ? QList<Message>() : messages;
}

QString tsPath(const QString &language)
{
    return QStringLiteral(ZELVARO_SOURCE_DIR "/translations/zelvaro_%1.ts").arg(language);
}

QSet<QString> keysOf(const QList<Message> &messages)
{
    QSet<QString> keys;
    for (const Message &message : messages)
        keys << message.context + QLatin1String(" | ") + message.source;
    return keys;
}

QStringList placeholdersOf(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    QStringList found;
    for (auto it = placeholder.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

int mnemonicsOf(QString text)
{
    return int(text.remove(QLatin1String("&&")).count(QLatin1Char('&')));
}

// The texts the program writes in German; the translations into English
// replace them all.
const QSet<QString> germanSources = { "Regler",      "Titels", "*Neu*",  "Typ 1",  "Typ 2",  "Typ 3",
                                      "Einfarbig",   "Farbe",  "Farbe1", "Farbe2", "Senkrecht",
                                      "Farbverlauf", "Muster", "Datei" };
// Texts that read the same in both languages, and the program's name.
const QSet<QString> sameInBoth = { "OK", "Text", "Diagonal", "...", "Zelvaro", "Zelvaro - %1", "%1\n\n%2" };
// The English texts of the toolkit's own buttons, which its German
// translation replaces.
const QSet<QString> toolkitEnglish = { "Cancel", "&Yes", "&No", "Save", "Discard" };

// A combo box's list, whose entries the combo box itself gives.
bool insideComboBox(QWidget *widget)
{
    for (QWidget *parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (qobject_cast<QComboBox *>(parent))
            return true;
    }
    return false;
}

// The texts a user reads in a window or dialog: titles, labels, buttons,
// group boxes, docks, menus, actions, list entries and column headers.
// The standard buttons of a button box are the toolkit's texts.
QStringList textsOf(QWidget *root, bool withToolkit)
{
    QStringList texts;
    auto add = [&texts](const QString &text) {
        if (!text.isEmpty())
            texts << text;
    };
    add(root->windowTitle());
    for (QLabel *label : root->findChildren<QLabel *>())
        add(label->text());
    for (QAbstractButton *button : root->findChildren<QAbstractButton *>()) {
        auto *tool = qobject_cast<QToolButton *>(button);
        auto *box = qobject_cast<QDialogButtonBox *>(button->parentWidget());
        // A tool bar button shows its action, which is read below.
        if ((tool && tool->defaultAction()) || (box && box->standardButton(button) && !withToolkit))
            continue;
        add(button->text());
    }
    for (QGroupBox *group : root->findChildren<QGroupBox *>())
        add(group->title());
    for (QDockWidget *dock : root->findChildren<QDockWidget *>())
        add(dock->windowTitle());
    for (QMenu *menu : root->findChildren<QMenu *>())
        add(menu->title());
    for (QAction *action : root->findChildren<QAction *>())
        add(action->text());
    for (QComboBox *combo : root->findChildren<QComboBox *>()) {
        if (!qobject_cast<QFontComboBox *>(combo)) {
            for (int i = 0; i < combo->count(); ++i)
                add(combo->itemText(i));
        }
    }
    for (QListView *list : root->findChildren<QListView *>()) {
        if (!insideComboBox(list)) {
            for (int row = 0; row < list->model()->rowCount(); ++row)
                add(list->model()->index(row, 0).data().toString());
        }
    }
    for (QTableView *table : root->findChildren<QTableView *>()) {
        for (int column = 0; column < table->model()->columnCount(); ++column)
            add(table->model()->headerData(column, Qt::Horizontal).toString());
    }
    return texts;
}

// The file dialogs answered at once, their captions and filters kept.
class ProbedZelvaro : public Zelvaro
{
public:
    QStringList asked;

protected:
    QString askOpenFileName(const QString &caption, const QString &filter) override
    {
        asked << caption << filter;
        return QString();
    }
    QString askSaveFileName(const QString &caption, const QString &filter, QString *) override
    {
        asked << caption << filter;
        return QString();
    }
};

}

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void shouldLookBesideTheProgramFirst_data();
    void shouldLookBesideTheProgramFirst();
    void shouldFindTheToolkitTextsWhereTheToolkitKeepsThem();
    void shouldShowOneLanguage_data();
    void shouldShowOneLanguage();
    void shouldTranslateEveryText_data();
    void shouldTranslateEveryText();
    void shouldKeepTheTranslationsUpToDate();

private:
    QStringList collectWindowTexts(bool withToolkit);

    QTemporaryDir configDir;
};

void TestTranslations::initTestCase()
{
    QVERIFY(configDir.isValid());
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    QVERIFY2(QFile::exists(QStringLiteral(ZELVARO_QM_DIR "/zelvaro_de.qm")), "the translations are not built");
}

void TestTranslations::shouldLookBesideTheProgramFirst_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("expected");

    const QString installed = QDir::cleanPath(QStringLiteral("bin/" ZELVARO_INSTALLED_TRANSLATIONS "/zelvaro_de.qm"));
    QTest::newRow("beside the program") << "de_DE" << QStringList { "bin/zelvaro_de.qm" } << "bin/zelvaro_de.qm";
    QTest::newRow("installed") << "de_DE" << QStringList { installed } << installed;
    QTest::newRow("beside the program wins") << "de_DE" << QStringList { installed, "bin/zelvaro_de.qm" }
                                             << "bin/zelvaro_de.qm";
    QTest::newRow("whole locale name first") << "de_AT" << QStringList { "bin/zelvaro_de.qm", "bin/zelvaro_de_AT.qm" }
                                             << "bin/zelvaro_de_AT.qm";
    QTest::newRow("no file for the locale") << "fr_FR" << QStringList { "bin/zelvaro_de.qm", installed } << "";
}

void TestTranslations::shouldLookBesideTheProgramFirst()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, files);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("bin")));
    for (const QString &file : files) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(file).path()));
        QVERIFY(QFile::copy(QStringLiteral(ZELVARO_QM_DIR "/zelvaro_de.qm"), root.filePath(file)));
    }

    QTranslator translator;
    const QStringList folders = TranslationLoader::programFolders(root.filePath(QStringLiteral("bin")));
    const bool loaded = TranslationLoader::load(&translator, QStringLiteral("zelvaro_"), locale, folders);

    QCOMPARE(loaded, !expected.isEmpty());
    QCOMPARE(QDir::cleanPath(translator.filePath()), expected.isEmpty() ? QString() : root.filePath(expected));
    QCOMPARE(translator.isEmpty(), expected.isEmpty());
}

void TestTranslations::shouldFindTheToolkitTextsWhereTheToolkitKeepsThem()
{
    const QString toolkit = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(toolkit + QLatin1String("/qt_de.qm")))
        QSKIP("The toolkit's translations are not installed (Debian package qt6-translations-l10n).");
    QTemporaryDir program;

    QTranslator translator;
    QVERIFY(TranslationLoader::load(&translator, QStringLiteral("qt_"), QStringLiteral("de_DE"),
                                    TranslationLoader::toolkitFolders(program.path())));
    QCOMPARE(QFileInfo(translator.filePath()).absolutePath(), QFileInfo(toolkit).absoluteFilePath());
    QCOMPARE(translator.translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

    // A toolkit file beside the program is taken before the toolkit's own.
    QVERIFY(QFile::copy(QStringLiteral(ZELVARO_QM_DIR "/zelvaro_de.qm"), program.filePath(QStringLiteral("qt_de.qm"))));
    QVERIFY(TranslationLoader::load(&translator, QStringLiteral("qt_"), QStringLiteral("de_DE"),
                                    TranslationLoader::toolkitFolders(program.path())));
    QCOMPARE(translator.filePath(), program.filePath(QStringLiteral("qt_de.qm")));
}

// Every text of the window, its menus, the chart's item menu, the item
// and background dialogs, the style question, the delete and unsaved-changes
// questions, and the file choosers' captions and filters.
QStringList TestTranslations::collectWindowTexts(bool withToolkit)
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

    TLine *chart = window.findChild<QScrollArea *>()->findChild<TLine *>();
    chart->grab();
    const QList<QRect> boxes = TLineProbe::itemRectsOf(chart);
    if (boxes.isEmpty())
        return {};
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, boxes.first().center(),
                                chart->mapToGlobal(boxes.first().center()));
    whenPopup(collect);
    QApplication::sendEvent(chart, &menuEvent);

    for (const auto &command : std::initializer_list<std::function<void()>> {
             [&] { window.newItem(); }, [&] { window.changeBackground(); }, [&] { window.changeTimelineTyp(); },
             [&] { window.itemDelete(0); } }) {
        whenModal(collect);
        command();
    }

    window.openFile();
    window.saveFileAs();
    texts << window.asked;

    window.findChild<QSlider *>()->setValue(window.findChild<QSlider *>()->value() + 10);
    whenModal(collect);
    window.newFile();
    // The question comes again on closing the window.
    whenModal([](QWidget *widget) {
        if (auto *box = widget->findChild<QDialogButtonBox *>())
            box->button(QDialogButtonBox::Discard)->click();
    });
    window.close();
    return texts;
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

    const QString language = locale.left(2);
    QTranslator program;
    const bool translated = TranslationLoader::load(&program, QStringLiteral("zelvaro_"), locale,
                                                    TranslationLoader::programFolders(ZELVARO_QM_DIR));
    QTranslator toolkit;
    const bool withToolkit = TranslationLoader::load(&toolkit, QStringLiteral("qt_"), locale,
                                                     TranslationLoader::toolkitFolders(ZELVARO_QM_DIR))
                             && translated;
    QCoreApplication::installTranslator(&program);
    QCoreApplication::installTranslator(&toolkit);
    const QStringList texts = collectWindowTexts(withToolkit);
    // Only the table shows the headers translated; the model keeps its own.
    const QString modelHeader = TLItemModel().headerData(TLItem::BackgroundColorColumn, Qt::Horizontal).toString();
    QCoreApplication::removeTranslator(&toolkit);
    QCoreApplication::removeTranslator(&program);
    QVERIFY(!texts.isEmpty());
    if (language == QLatin1String("de") && !withToolkit)
        qWarning("The toolkit's German translation is missing (qt6-translations-l10n); its buttons are not checked.");

    QCOMPARE(modelHeader, QStringLiteral("BackgroundColor"));
    QVERIFY2(texts.contains(controls), qPrintable(texts.join(", ")));
    QSet<QString> sources;
    QSet<QString> translations;
    QSet<QString> foreign;
    for (const Message &message : readTs(tsPath(translated ? language : QStringLiteral("en")))) {
        sources << message.source;
        translations << message.translation;
        if (message.translation != message.source)
            foreign << message.source;
    }
    if (!translated) {
        for (const QString &text : texts)
            QVERIFY2(sources.contains(text) || toolkitEnglish.contains(text), qPrintable(text));
        return;
    }
    // A text left as written, or written in the other language.
    if (language == QLatin1String("en"))
        foreign += germanSources;
    else
        foreign += (sources - germanSources - sameInBoth) + toolkitEnglish;
    foreign -= translations;
    for (const QString &text : texts)
        QVERIFY2(!foreign.contains(text), qPrintable(text));
}

void TestTranslations::shouldTranslateEveryText_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "en";
    QTest::newRow("German") << "de";
}

void TestTranslations::shouldTranslateEveryText()
{
    QFETCH(QString, language);

    const QList<Message> messages = readTs(tsPath(language));
    QVERIFY(!messages.isEmpty());
    for (const Message &message : messages) {
        const QByteArray where = (message.context + QLatin1String(": ") + message.source).toUtf8();
        QVERIFY2(message.type.isEmpty(), where + " is " + message.type.toUtf8());
        QVERIFY2(!message.translation.isEmpty(), where);
        QVERIFY2(placeholdersOf(message.translation) == placeholdersOf(message.source), where);
        QVERIFY2(mnemonicsOf(message.translation) == mnemonicsOf(message.source), where);
    }
}

void TestTranslations::shouldKeepTheTranslationsUpToDate()
{
    QTemporaryDir work;
    const QString fresh = work.filePath(QStringLiteral("fresh.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(ZELVARO_LUPDATE),
                  { QStringLiteral("@" ZELVARO_TRANSLATED_SOURCES), QStringLiteral("-ts"), fresh });
    QVERIFY(lupdate.waitForFinished(60000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
    const QSet<QString> inCode = keysOf(readTs(fresh));
    QVERIFY(!inCode.isEmpty());

    for (const QString &language : { QStringLiteral("en"), QStringLiteral("de") }) {
        const QSet<QString> inFile = keysOf(readTs(tsPath(language)));
        const QStringList untranslated = QStringList((inCode - inFile).values());
        const QStringList stale = QStringList((inFile - inCode).values());
        QVERIFY2(untranslated.isEmpty(), qPrintable(language + QLatin1String(" lacks: ") + untranslated.join(", ")));
        QVERIFY2(stale.isEmpty(), qPrintable(language + QLatin1String(" still has: ") + stale.join(", ")));
    }
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
