#include "model/tlrichtext.h"
#include "view/tllabelbound.h"
#include "view/tllabellayout.h"

#include <QRandomGenerator>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

QString randomWord(QRandomGenerator &random, int longest)
{
    static const QString characters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzWMAXZ0123456789.,;:!?()-/\"'\u00e9\u00fc\u00df\u03a9\u0416\u2014");
    QString word;
    for (int i = 1 + random.bounded(longest); i > 0; --i)
        word += characters.at(random.bounded(int(characters.size())));
    return word;
}

// A label as the item dialog saves it: paragraphs with margins and
// indents, words in random sizes, weights, slants, families and baselines,
// spaces, tabs and line separators between them.
QString savedLabel(QRandomGenerator &random, int longestWord, int largestPoints)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    for (int paragraph = 1 + random.bounded(3); paragraph > 0; --paragraph) {
        QTextBlockFormat block;
        block.setTopMargin(random.bounded(3) * 5);
        block.setLeftMargin(random.bounded(3) * 7);
        block.setIndent(random.bounded(2));
        block.setTextIndent(random.bounded(2) * 10);
        cursor.insertBlock(block);
        for (int word = random.bounded(30); word > 0; --word) {
            QTextCharFormat format;
            if (random.bounded(4) == 0)
                format.setFontPointSize(4 + random.bounded(largestPoints));
            if (random.bounded(3) == 0)
                format.setFontWeight(random.bounded(2) ? QFont::Bold : QFont::Black);
            format.setFontItalic(random.bounded(4) == 0);
            if (random.bounded(8) == 0)
                format.setFontFamilies({ random.bounded(2) ? QStringLiteral("DejaVu Serif")
                                                           : QStringLiteral("Liberation Mono") });
            if (random.bounded(10) == 0)
                format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            cursor.insertText(randomWord(random, longestWord), format);
            static const char *const gaps[] = { " ", "  ", "\t", "\u2028", " " };
            cursor.insertText(QString::fromUtf8(gaps[random.bounded(5)]), QTextCharFormat());
        }
    }
    return document.toHtml();
}

// Says how the box a label lays out at a span is beyond its bound, if it is.
QString boxBeyondBound(TLRichText *document, const TLLabelBound &bound, const TLLabelBound::Measure &measure,
                       const QString &label, std::optional<int> span)
{
    const QSize box = TLLabelLayout::layOut(document, label, span);
    const QSize most = bound.boxBound(measure, span);
    if (most.width() >= box.width() && most.height() >= box.height())
        return QString();
    return QStringLiteral("%1x%2 in %3x%4 at %5: %6")
        .arg(box.width()).arg(box.height()).arg(most.width()).arg(most.height()).arg(span.value_or(-1)).arg(label);
}

}

class TestTLLabelBound : public QObject
{
    Q_OBJECT

private slots:
    void shouldHoldEveryBoxTheLabelLaysOut_data();
    void shouldHoldEveryBoxTheLabelLaysOut();
    void shouldHoldTheBoxWhereTheParserBreaksOtherwiseThanTheTags_data();
    void shouldHoldTheBoxWhereTheParserBreaksOtherwiseThanTheTags();
    void shouldBoundANoteClosely();
    void shouldGiveNoBoundWhereThePassCannotSay_data();
    void shouldGiveNoBoundWhereThePassCannotSay();
};

void TestTLLabelBound::shouldHoldEveryBoxTheLabelLaysOut_data()
{
    QTest::addColumn<int>("longestWord");
    QTest::addColumn<int>("largestPoints");
    QTest::newRow("words") << 10 << 12;
    QTest::newRow("long words") << 40 << 12;
    QTest::newRow("large fonts") << 10 << 60;
}

// Labels of every make laid out without a span and at spans from narrow to
// wide take boxes no larger than their bound.
void TestTLLabelBound::shouldHoldEveryBoxTheLabelLaysOut()
{
    QFETCH(int, longestWord);
    QFETCH(int, largestPoints);
    TLRichText document;
    TLLabelBound bound(document.defaultFont());
    QRandomGenerator random(quint32(longestWord * 100 + largestPoints));
    for (int i = 0; i < 60; ++i) {
        const QString label = savedLabel(random, longestWord, largestPoints);
        const std::optional<TLLabelBound::Measure> measure = bound.measure(label);
        QVERIFY2(measure, qPrintable(label));
        for (const std::optional<int> span : { std::optional<int>(), std::optional<int>(15 + random.bounded(60)),
                                               std::optional<int>(80 + random.bounded(500)) }) {
            const QString beyond = boxBeyondBound(&document, bound, *measure, label, span);
            QVERIFY2(beyond.isEmpty(), qPrintable(beyond));
        }
    }
}

void TestTLLabelBound::shouldHoldTheBoxWhereTheParserBreaksOtherwiseThanTheTags_data()
{
    QTest::addColumn<QString>("label");
    QTest::newRow("inline elements after a block") << "<p>x</p><b>y<i>z<u>w";
    QTest::newRow("a line break in a large font") << "a<br style=\"font-size:30pt\">b";
    QTest::newRow("a widest line its own ideal width no longer holds")
        << "bbmm mm<u><font face=\"serif\">mm mmcccc</font></u>";
    QTest::newRow("an entity too long for the parser") << "W&#x0000057;W&#x0000057;W&#x0000057;";
    QTest::newRow("an entity with a space in it") << "&#12\t;";
    QTest::newRow("a lone space dropped between tags") << "<div>wwwwwwww</div> <b>wwwwwwww</b>";
    QTest::newRow("spaces eaten after a comment") << "wwwwwwww<!-- c --> wwwwwwww";
    QTest::newRow("a kept space alone on its line")
        << "<div style=\"white-space:pre-wrap; font-size:30pt\"> <br></div>";
    QTest::newRow("kept spaces ending a line")
        << QString::fromUtf8("<div style=\"white-space:pre-wrap\"><br>\u0391\u03b2\u03b3          <br /></div>");
    QTest::newRow("a newline the edit mode drops")
        << "<html><head><meta name=\"qrichtext\" content=\"1\" /></head><body><p>wwwwwwww\nwwwwwwww</p></body></html>";
}

void TestTLLabelBound::shouldHoldTheBoxWhereTheParserBreaksOtherwiseThanTheTags()
{
    QFETCH(QString, label);
    TLRichText document;
    TLLabelBound bound(document.defaultFont());
    const std::optional<TLLabelBound::Measure> measure = bound.measure(label);
    QVERIFY(measure);
    for (const std::optional<int> span : { std::optional<int>(), std::optional<int>(1), std::optional<int>(121) }) {
        const QString beyond = boxBeyondBound(&document, bound, *measure, label, span);
        QVERIFY2(beyond.isEmpty(), qPrintable(beyond));
    }
}

// A bound far above its box would have every click lay out labels that
// cannot reach it: a note of a few lines is bound within twice its box.
void TestTLLabelBound::shouldBoundANoteClosely()
{
    TLRichText document;
    TLLabelBound bound(document.defaultFont());
    const QString note = QStringLiteral("<p style=\"margin:0\"><b>Item 12</b> review of the budget<br/>"
                                        "Notes on the <i>launch</i> with the team, "
                                        "<span style=\"font-size:7pt\">next steps</span></p>");
    const QSize box = TLLabelLayout::layOut(&document, note);
    const QSize most = bound.boxBound(*bound.measure(note), std::nullopt);
    QVERIFY2(most.width() <= 2 * box.width() && most.height() <= 2 * box.height(),
             qPrintable(QStringLiteral("%1x%2 in %3x%4")
                            .arg(box.width()).arg(box.height()).arg(most.width()).arg(most.height())));
}

void TestTLLabelBound::shouldGiveNoBoundWhereThePassCannotSay_data()
{
    QTest::addColumn<QString>("label");
    QTest::newRow("image") << "<img src=\"data:image/png;base64,AAAA\" width=900>";
    QTest::newRow("table") << "<table><tr><td>a</td><td>b</td></tr></table>";
    QTest::newRow("list") << "<ul><li>one</li></ul>";
    QTest::newRow("no wrap") << "<p style=\"white-space:nowrap\">a b c</p>";
    QTest::newRow("letter spacing") << "<span style=\"letter-spacing:40px\">abc</span>";
    QTest::newRow("style rule") << "<style>p { font-size: 90pt }</style><p>big</p>";
    QTest::newRow("named entity") << "a&hellip;b";
    QTest::newRow("Chinese") << QString::fromUtf8("\u65e5\u672c");
    QTest::newRow("too long") << QString(TLRichText::MaxHtmlLength + 1, QLatin1Char('a'));
    QTest::newRow("nested deeper than the label home keeps") << QStringLiteral("<span>x").repeated(40);
    QTest::newRow("an end tag closing nothing") << "Start</div>Projekt";
    QTest::newRow("an element closed by another's end tag") << "<b>a<i>b</b>c</i>";
    QTest::newRow("a block in an inline element") << "<span style=\"font-family:x\"><div>b</span>c";
    QTest::newRow("a block closed where it opens") << "x<p/>y";
    QTest::newRow("text after the body") << "<body><p>a</p></body>b";
    QTest::newRow("a processing instruction, a tag to the parser") << "a<?x y=\">\"?>b";
    QTest::newRow("a slash running on in a tag's name") << "Projekt<br/x>Start";
    QTest::newRow("an entity in a font's name") << "<font face=\"seri&#102;\">Projekt</font>";
    QTest::newRow("a control character in a style")
        << QStringLiteral("a<p style=\"margin:0; -qt-block-indent:0%1x\">b</p>").arg(QChar(0));
    QTest::newRow("a bidi isolate, drawn in another font") << QString::fromUtf8("\u2069\te");
    QTest::newRow("a kept return, a block with margins of its own")
        << "<style>p, li { white-space: pre-wrap; }</style><p style=\"margin-top:30px\">a\rb</p>";
    QTest::newRow("an attribute the parser names otherwise")
        << QString::fromUtf8("<p \uFFFDstyle=\"margin:0\">Projekt</p><p>Start</p>");
}

void TestTLLabelBound::shouldGiveNoBoundWhereThePassCannotSay()
{
    QFETCH(QString, label);
    QVERIFY(!TLLabelBound(TLRichText().defaultFont()).measure(label));
}

QTEST_MAIN(TestTLLabelBound)
#include "tst_tllabelbound.moc"
