#include "dialogs/tlitemdialog.h"
#include "dialogs/tlrichtextedit.h"
#include "model/tlrichtext.h"
#include "windowprobe.h"

#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QDateEdit>
#include <QFontComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QtTest>

namespace {

double largestPointSize(const QTextDocument *document)
{
    double largest = 0.0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        largest = qMax(largest, block.charFormat().fontPointSize());
        for (auto it = block.begin(); !it.atEnd(); ++it)
            largest = qMax(largest, it.fragment().charFormat().fontPointSize());
    }
    return largest;
}

const QString twoStyles = QStringLiteral(
    "<p><span style=\"font-family:'DejaVu Sans'; font-size:12pt; color:#00ff00\">green</span>"
    "<span style=\"font-family:'DejaVu Sans Mono'; font-size:20pt; color:#0000ff\">blue</span></p>");

}

class TestTLItemDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void shouldStartWithConstructionValues();
    void shouldShowTheFontAtTheStartOfTheText_data();
    void shouldShowTheFontAtTheStartOfTheText();
    void shouldTakeTheClampedPositionOnlyOnOk();
    void shouldReturnTheEditorsWholeHtmlOnOk();
    void shouldKeepTheSettersValuesOnCancel();
    void shouldKeepTheEndDateOptional_data();
    void shouldKeepTheEndDateOptional();
    void shouldApplyOnlyAcceptedChoices_data();
    void shouldApplyOnlyAcceptedChoices();
    void shouldLoadNothingFromOutsideAndClampLabels();

private:
    template <typename T> static T *child(const TLItemDialog &dialog, const char *name)
    {
        return dialog.findChild<T *>(QLatin1String(name));
    }
};

void TestTLItemDialog::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestTLItemDialog::shouldStartWithConstructionValues()
{
    TLItemDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Timeline Item"));
    QCOMPARE(dialog.itemDate(), QDate::currentDate());
    QVERIFY(dialog.itemEndDate().isNull());
    QCOMPARE(dialog.itemPos(), 0);
    QVERIFY(dialog.itemText().isEmpty());
    QVERIFY(!dialog.itemBackgroundColor().isValid());

    QCOMPARE(child<QDateEdit>(dialog, "dStart")->date(), QDate::currentDate());
    QCOMPARE(child<QDateEdit>(dialog, "dEnd")->date(), QDate(2000, 1, 1));
    QVERIFY(!child<QDateEdit>(dialog, "dEnd")->isEnabled());
    QCheckBox *cbEnd = child<QCheckBox>(dialog, "cbEnd");
    QVERIFY(!cbEnd->isChecked());
    QVERIFY(cbEnd->text().isEmpty());
    QCOMPARE(cbEnd->accessibleName(), QStringLiteral("End"));
    QSpinBox *sPos = child<QSpinBox>(dialog, "sPos");
    QCOMPARE(sPos->minimum(), 0);
    QCOMPARE(sPos->maximum(), 99);
    QSpinBox *sFontSize = child<QSpinBox>(dialog, "sFontSize");
    QCOMPARE(sFontSize->minimum(), 1);
    QCOMPARE(sFontSize->value(), 9);
    for (const char *name : { "pTextColor", "pBackgroundColor", "pFont" })
        QVERIFY2(!child<QPushButton>(dialog, name)->autoDefault(), name);
    QVERIFY(qobject_cast<TLRichText *>(child<TLRichTextEdit>(dialog, "tText")->document()));
}

void TestTLItemDialog::shouldShowTheFontAtTheStartOfTheText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("size");

    QTest::newRow("12-point Arial")
        << "<p><span style=\"font-family:Arial; font-size:12pt\">Start</span> <span style=\"font-size:30pt\">"
           "later</span></p>"
        << "Arial" << 12;
    QTest::newRow("10.5 points truncated")
        << "<p><span style=\"font-family:'DejaVu Serif'; font-size:10.5pt\">Start</span></p>" << "DejaVu Serif" << 10;
}

void TestTLItemDialog::shouldShowTheFontAtTheStartOfTheText()
{
    QFETCH(QString, html);
    QFETCH(QString, family);
    QFETCH(int, size);

    TLItemDialog dialog;
    dialog.setText(html);
    QCOMPARE(dialog.itemText(), html);
    // A family that is not installed shows as the font that stands in for it.
    QCOMPARE(QFontInfo(child<QFontComboBox>(dialog, "fcFont")->currentFont()).family(),
             QFontInfo(QFont(family)).family());
    QCOMPARE(child<QSpinBox>(dialog, "sFontSize")->value(), size);
}

void TestTLItemDialog::shouldTakeTheClampedPositionOnlyOnOk()
{
    TLItemDialog dialog;
    dialog.setPos(150);
    QCOMPARE(dialog.itemPos(), 150);
    QCOMPARE(child<QSpinBox>(dialog, "sPos")->value(), 99);
    child<QPushButton>(dialog, "okButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.itemPos(), 99);
}

void TestTLItemDialog::shouldReturnTheEditorsWholeHtmlOnOk()
{
    TLItemDialog dialog;
    dialog.setText(QStringLiteral("<p>Zwischen<b>bericht</b></p>"));
    child<QPushButton>(dialog, "okButton")->click();
    const QString html = dialog.itemText();
    QCOMPARE(html, child<TLRichTextEdit>(dialog, "tText")->document()->toHtml());
    QVERIFY(html.startsWith(QStringLiteral("<!DOCTYPE HTML")));
    QVERIFY(html.contains(QStringLiteral("font-weight:700;\">bericht</span>")));
}

void TestTLItemDialog::shouldKeepTheSettersValuesOnCancel()
{
    TLItemDialog dialog;
    dialog.setDate(QDate(2006, 10, 19));
    dialog.setPos(2);
    dialog.setText(QStringLiteral("<p>old</p>"));
    dialog.setBackgroundColor(Qt::yellow);
    dialog.setEnd(QDate());
    child<QDateEdit>(dialog, "dStart")->setDate(QDate(2007, 1, 1));
    child<QSpinBox>(dialog, "sPos")->setValue(5);
    child<TLRichTextEdit>(dialog, "tText")->setPlainText(QStringLiteral("new"));
    child<QCheckBox>(dialog, "cbEnd")->click();
    child<QPushButton>(dialog, "cancelButton")->click();

    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.itemDate(), QDate(2006, 10, 19));
    QCOMPARE(dialog.itemPos(), 2);
    QCOMPARE(dialog.itemText(), QStringLiteral("<p>old</p>"));
    QCOMPARE(dialog.itemBackgroundColor(), QColor(Qt::yellow));
    QVERIFY(dialog.itemEndDate().isNull());
}

void TestTLItemDialog::shouldKeepTheEndDateOptional_data()
{
    QTest::addColumn<bool>("callSetEnd");
    QTest::addColumn<QDate>("given");
    QTest::addColumn<bool>("clickBox");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<QDate>("result");

    const QDate end(2006, 10, 25);
    const QDate start(2006, 10, 4);
    QTest::newRow("new item left alone") << false << QDate() << false << false << QDate(2000, 1, 1) << QDate();
    QTest::newRow("new item given an end") << false << QDate() << true << true << start << start;
    QTest::newRow("item without an end") << true << QDate() << false << false << QDate(2000, 1, 1) << QDate();
    QTest::newRow("item with an end") << true << end << false << true << end << end;
    QTest::newRow("item with its end taken away") << true << end << true << false << end << QDate();
}

void TestTLItemDialog::shouldKeepTheEndDateOptional()
{
    QFETCH(bool, callSetEnd);
    QFETCH(QDate, given);
    QFETCH(bool, clickBox);
    QFETCH(bool, checked);
    QFETCH(QDate, shown);
    QFETCH(QDate, result);

    TLItemDialog dialog;
    dialog.setDate(QDate(2006, 10, 4));
    if (callSetEnd)
        dialog.setEnd(given);
    QCheckBox *cbEnd = child<QCheckBox>(dialog, "cbEnd");
    QDateEdit *dEnd = child<QDateEdit>(dialog, "dEnd");
    QCOMPARE(cbEnd->isChecked(), given.isValid());
    if (clickBox)
        cbEnd->click();
    QCOMPARE(cbEnd->isChecked(), checked);
    QCOMPARE(dEnd->isEnabled(), checked);
    QCOMPARE(dEnd->date(), shown);

    child<QPushButton>(dialog, "okButton")->click();
    QCOMPARE(dialog.itemEndDate(), result);
    QCOMPARE(dialog.itemEndDate().isNull(), result.isNull());
}

void TestTLItemDialog::shouldApplyOnlyAcceptedChoices_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("accept");

    for (const char *button : { "pTextColor", "pBackgroundColor", "pFont" }) {
        QTest::addRow("%s cancelled", button) << QString::fromLatin1(button) << false;
        QTest::addRow("%s accepted", button) << QString::fromLatin1(button) << true;
    }
}

void TestTLItemDialog::shouldApplyOnlyAcceptedChoices()
{
    QFETCH(QString, button);
    QFETCH(bool, accept);

    TLItemDialog dialog;
    dialog.setText(twoStyles);
    dialog.setBackgroundColor(Qt::yellow);
    TLRichTextEdit *tText = child<TLRichTextEdit>(dialog, "tText");
    tText->selectAll();
    const QString html = tText->document()->toHtml();
    const QVariant expectedStart = button == "pFont" ? QVariant(tText->currentFont())
        : button == "pTextColor"                     ? QVariant(tText->textColor())
                                                     : QVariant(QColor(Qt::yellow));

    QVariant start;
    whenModal([&start, accept](QWidget *modal) {
        if (auto *colors = qobject_cast<QColorDialog *>(modal)) {
            start = colors->currentColor();
            colors->setCurrentColor(Qt::red);
        } else if (auto *fonts = qobject_cast<QFontDialog *>(modal)) {
            start = fonts->currentFont();
            fonts->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 30));
        }
        if (QDialog *chooser = qobject_cast<QDialog *>(modal))
            accept ? chooser->accept() : chooser->reject();
    });
    child<QPushButton>(dialog, button.toLatin1())->click();

    if (button == "pFont") {
        // The chooser fills in the style it finds for the family.
        QCOMPARE(start.value<QFont>().family(), expectedStart.value<QFont>().family());
        QCOMPARE(start.value<QFont>().pointSizeF(), expectedStart.value<QFont>().pointSizeF());
    } else {
        QCOMPARE(start, expectedStart);
    }
    const bool textChanges = accept && button != "pBackgroundColor";
    QCOMPARE(tText->document()->toHtml() != html, textChanges);
    if (textChanges)
        QVERIFY(tText->document()->toHtml().contains(button == "pFont" ? "DejaVu Serif" : "#ff0000"));
    const bool colourChanges = accept && button == "pBackgroundColor";
    QCOMPARE(dialog.itemBackgroundColor(), colourChanges ? QColor(Qt::red) : QColor(Qt::yellow));
}

void TestTLItemDialog::shouldLoadNothingFromOutsideAndClampLabels()
{
    TLItemDialog dialog;
    // Reading the device would never end.
    dialog.setText(QStringLiteral("<p><span style=\"font-size:100000pt\">big</span><img src=\"/dev/zero\"></p>"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.grab();
    TLRichTextEdit *tText = child<TLRichTextEdit>(dialog, "tText");
    QCOMPARE(largestPointSize(tText->document()), TLRichText::MaxFontPointSize);
    QCOMPARE(child<QSpinBox>(dialog, "sFontSize")->value(), 99);
    // The clamping is no step the user can undo.
    QVERIFY(!tText->document()->isUndoAvailable());

    tText->setLabel(QStringLiteral("<p>small</p>"));
    auto *pasted = new QMimeData;
    pasted->setHtml(QStringLiteral("<p><img src=\"/dev/zero\"><span style=\"font-size:90000pt\">pasted</span></p>"));
    QApplication::clipboard()->setMimeData(pasted);
    tText->paste();
    dialog.grab();
    QVERIFY(tText->toPlainText().contains(QStringLiteral("pasted")));
    QCOMPARE(largestPointSize(tText->document()), TLRichText::MaxFontPointSize);
    tText->undo();
    QCOMPARE(tText->toPlainText(), QStringLiteral("small"));
    QVERIFY(largestPointSize(tText->document()) < 100.0);
}

QTEST_MAIN(TestTLItemDialog)
#include "tst_tlitemdialog.moc"
