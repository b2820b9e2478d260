#include "dialogs/tlitemdialog.h"
#include "view/tlrichtextedit.h"
#include "model/tlrichtext.h"
#include "modalanswers.h"
#include "view/tldateedit.h"

#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QFontComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QMimeData>
#include <QTextFrame>
#include <QTextTable>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

class TestTLItemDialog : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowTheFontAtTheStartOfTheText();
    void shouldTakeTheFormOnlyOnOk_data();
    void shouldTakeTheFormOnlyOnOk();
    void shouldApplyOnlyAcceptedChoices_data();
    void shouldApplyOnlyAcceptedChoices();
    void shouldLoadNothingFromOutsideAndClampLabels();
};

void TestTLItemDialog::shouldShowTheFontAtTheStartOfTheText()
{
    TLItemDialog dialog;
    dialog.setText(QStringLiteral("<p><span style=\"font-size:30pt\">before</span></p>"));
    dialog.setText(QStringLiteral("<p><span style=\"font-family:Arial; font-size:12pt\">Start</span>"
                                  "<span style=\"font-size:30pt\">later</span></p>"));
    // A family that is not installed shows as the font that stands in for it.
    QCOMPARE(QFontInfo(dialog.findChild<QFontComboBox *>("fcFont")->currentFont()).family(),
             QFontInfo(QFont(QStringLiteral("Arial"))).family());
    QCOMPARE(dialog.findChild<QSpinBox *>("sFontSize")->value(), 12);

    // Text typed into a label without a size of its own comes out readable.
    TLItemDialog plain;
    plain.setText(QStringLiteral("Projekt Start"));
    auto *tText = plain.findChild<QTextEdit *>("tText");
    QCOMPARE(plain.findChild<QSpinBox *>("sFontSize")->value(), int(tText->font().pointSizeF()));
    QTest::keyClicks(tText, QStringLiteral("x"));
    QCOMPARE(int(tText->currentFont().pointSizeF()), int(tText->font().pointSizeF()));

    // A label sized in pixels, as Qt writes them, shows and takes points.
    TLItemDialog pixels;
    pixels.setText(QStringLiteral("<p style='font-size:20px'>Pixel</p>"));
    auto *pixelText = pixels.findChild<QTextEdit *>("tText");
    const int points = qRound(20 * 72.0 / pixelText->logicalDpiY());
    QCOMPARE(pixels.findChild<QSpinBox *>("sFontSize")->value(), points);
    QTest::keyClicks(pixelText, QStringLiteral("x"));
    QCOMPARE(qRound(pixelText->currentFont().pointSizeF()), points);
}

void TestTLItemDialog::shouldTakeTheFormOnlyOnOk_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<bool>("toggleEnd");
    QTest::addColumn<QDate>("endOnOk");
    const QDate end(2006, 10, 25);
    QTest::newRow("without an end") << true << QDate() << false << QDate();
    QTest::newRow("with an end") << true << end << false << end;
    QTest::newRow("end given from the start") << true << QDate() << true << QDate(2007, 1, 1);
    QTest::newRow("end taken away") << true << end << true << QDate();
    QTest::newRow("cancelled") << false << QDate() << true << QDate();
}

void TestTLItemDialog::shouldTakeTheFormOnlyOnOk()
{
    QFETCH(bool, ok);
    QFETCH(QDate, end);
    QFETCH(bool, toggleEnd);
    QFETCH(QDate, endOnOk);
    TLItemDialog dialog;
    dialog.setDate(QDate(2006, 10, 19));
    dialog.setPos(150);
    dialog.setEnd(end);
    QCheckBox *cbEnd = dialog.findChild<QCheckBox *>("cbEnd");
    QCOMPARE(cbEnd->isChecked(), end.isValid());

    dialog.findChild<TLDateEdit *>("dStart")->setDate(QDate(2007, 1, 1));
    if (toggleEnd)
        cbEnd->click();
    QCOMPARE(dialog.findChild<TLDateEdit *>("dEnd")->isEnabled(), cbEnd->isChecked());
    dialog.findChild<QPushButton *>(ok ? "okButton" : "cancelButton")->click();

    QCOMPARE(dialog.result(), int(ok ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(dialog.itemDate(), ok ? QDate(2007, 1, 1) : QDate(2006, 10, 19));
    QCOMPARE(dialog.itemEndDate(), ok ? endOnOk : end);
    QCOMPARE(dialog.itemPos(), ok ? 99 : 150); // the form shows at most 99
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
    dialog.setText(QStringLiteral("<p><span style=\"font-family:'DejaVu Sans'; color:#00ff00\">green</span>"
                                  "<span style=\"font-family:'DejaVu Sans Mono'; color:#0000ff\">blue</span></p>"));
    dialog.setBackgroundColor(Qt::yellow);
    TLRichTextEdit *tText = dialog.findChild<TLRichTextEdit *>("tText");
    tText->selectAll();
    const QString html = tText->document()->toHtml();
    const QString start = button == "pFont"    ? tText->currentFont().family()
        : button == "pTextColor"                 ? tText->textColor().name()
                                                 : QStringLiteral("#ffff00");

    QString started;
    whenModal([&started, accept](QWidget *modal) {
        if (auto *colours = qobject_cast<QColorDialog *>(modal)) {
            started = colours->currentColor().name();
            colours->setCurrentColor(Qt::red);
        } else if (auto *fonts = qobject_cast<QFontDialog *>(modal)) {
            started = fonts->currentFont().family();
            fonts->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 30));
        }
        QMetaObject::invokeMethod(modal, accept ? "accept" : "reject");
    });
    dialog.findChild<QPushButton *>(button)->click();

    QCOMPARE(started, start);
    const bool onText = button != "pBackgroundColor";
    QCOMPARE(tText->document()->toHtml() != html, accept && onText);
    QVERIFY(!accept || !onText || tText->document()->toHtml().contains(button == "pFont" ? "DejaVu Serif" : "#ff0000"));
    QCOMPARE(dialog.itemBackgroundColor(), accept && !onText ? QColor(Qt::red) : QColor(Qt::yellow));
}

void TestTLItemDialog::shouldLoadNothingFromOutsideAndClampLabels()
{
    TLItemDialog dialog;
    // Reading the device would never end.
    dialog.setText(QStringLiteral("<p><span style=\"font-size:100000pt\">big</span><img src=\"/dev/zero\"></p>"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.grab();
    TLRichTextEdit *tText = dialog.findChild<TLRichTextEdit *>("tText");
    QVERIFY(tText->toHtml().contains(QStringLiteral("font-size:%1pt").arg(TLRichText::MaxFontPointSize)));
    // The clamping is no step the user can undo.
    QVERIFY(!tText->document()->isUndoAvailable());

    tText->setLabel(QStringLiteral("<p>small</p>"));
    auto *pasted = new QMimeData;
    pasted->setHtml(QStringLiteral("<p><img src=\"/dev/zero\"><span style=\"font-size:90000pt\">pasted</span></p>"));
    QApplication::clipboard()->setMimeData(pasted);
    tText->paste();
    dialog.grab();
    QVERIFY(tText->toPlainText().contains(QStringLiteral("pasted")));
    QVERIFY(!tText->toHtml().contains(QStringLiteral("90000pt")));
    tText->undo();
    QCOMPARE(tText->toPlainText(), QStringLiteral("small"));

    // The parser makes a cell for every column a span reaches, loaded or pasted.
    const QString spans = QStringLiteral("<table><tr><td colspan=5000>wide</td></tr></table>");
    const auto columns = [tText] {
        const QList<QTextFrame *> frames = tText->document()->rootFrame()->childFrames();
        auto *table = frames.isEmpty() ? nullptr : qobject_cast<QTextTable *>(frames.first());
        return table ? table->columns() : 0;
    };
    dialog.setText(spans);
    QCOMPARE(columns(), TLRichText::MaxColumnSpan);
    tText->setLabel(QString());
    pasted = new QMimeData;
    pasted->setHtml(spans);
    QApplication::clipboard()->setMimeData(pasted);
    tText->paste();
    QCOMPARE(columns(), TLRichText::MaxColumnSpan);
}

QTEST_MAIN(TestTLItemDialog)
#include "tst_tlitemdialog.moc"
