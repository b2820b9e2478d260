#include "view/tldateedit.h"

#include "model/tldaterange.h"
#include "model/tldatetext.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

namespace {

// The locale's short date format, with the year written out whole: a
// two-digit year does not tell the centuries of a chart of history apart.
QString shortFormatWithFullYear(const QLocale &locale)
{
    return TLDateText::withYears(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("yyyy"));
}

// The words of the era after a year before 1, which are no field.
QStringList eraWords()
{
    QStringList words = { QStringLiteral("BC") };
    QString word;
    for (const QChar c : TLDateText::beforeChristSuffix() + QLatin1Char(' ')) {
        if (c.isLetterOrNumber()) {
            word.append(c);
        } else if (!word.isEmpty()) {
            words.append(word);
            word.clear();
        }
    }
    return words;
}

int monthOfName(const QString &name)
{
    const QLocale locale = QLocale::system();
    const auto letters = [](QString text) {
        text.removeIf([](QChar c) { return !c.isLetter(); });
        return text;
    };
    for (int month = 1; month <= 12; ++month) {
        for (QLocale::FormatType type : { QLocale::ShortFormat, QLocale::LongFormat }) {
            if (letters(locale.monthName(month, type)).compare(name, Qt::CaseInsensitive) == 0
                || letters(locale.standaloneMonthName(month, type)).compare(name, Qt::CaseInsensitive) == 0)
                return month;
        }
    }
    return 0;
}

}

TLDateEdit::TLDateEdit(QWidget *parent)
    : QAbstractSpinBox(parent)
    , current(QDate::currentDate())
    , format(shortFormatWithFullYear(locale()))
{
    bool quoted = false;
    QChar last;
    for (const QChar c : std::as_const(format)) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c != last) {
            if (c == QLatin1Char('d'))
                fields.append(Field::Day);
            else if (c == QLatin1Char('M'))
                fields.append(Field::Month);
            else if (c == QLatin1Char('y'))
                fields.append(Field::Year);
        }
        last = quoted ? QChar() : c;
    }
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) {
        if (keyboardTracking())
            takeTyped(text);
    });
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        takeTyped(text());
        showDate();
    });
    showDate();
}

QDate TLDateEdit::date() const
{
    return current;
}

void TLDateEdit::setNoDateAllowed(bool allowed)
{
    noDateAllowed = allowed;
}

void TLDateEdit::setStepStart(const QDate &date)
{
    stepStart = date;
}

QString TLDateEdit::displayFormat() const
{
    return format;
}

void TLDateEdit::setDate(const QDate &date)
{
    if (date.isNull() && !noDateAllowed)
        return;
    const QDate held = date.isNull() ? date : std::clamp(date, TLDateRange::first(), TLDateRange::last());
    // The date shown already stays as it is typed.
    if (held == current)
        return;
    changeTo(held);
    showDate();
}

void TLDateEdit::changeTo(const QDate &date)
{
    if (date == current)
        return;
    current = date;
    emit dateChanged(current);
}

void TLDateEdit::showDate()
{
    lineEdit()->setText(current.isNull() ? QString() : TLDateText::format(current, format));
}

// What is typed counts once it names a date, without being written anew
// under the cursor: at once while the keyboard is tracked, else when the
// editing is finished.
void TLDateEdit::takeTyped(const QString &text)
{
    if (const std::optional<QDate> typed = parse(text))
        changeTo(*typed);
}

QList<TLDateEdit::Token> TLDateEdit::fieldTokens(const QString &text, bool *beforeChrist) const
{
    static const QStringList era = eraWords();
    QList<Token> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        if (!text.at(i).isLetterOrNumber()) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() && text.at(i).isLetterOrNumber())
            ++i;
        if (era.contains(text.mid(start, i - start), Qt::CaseInsensitive)) {
            if (beforeChrist)
                *beforeChrist = true;
        } else {
            tokens.append({ start, i - start });
        }
    }
    return tokens;
}

std::optional<QDate> TLDateEdit::parse(const QString &text) const
{
    if (text.trimmed().isEmpty())
        return noDateAllowed ? std::optional<QDate>(QDate()) : std::nullopt;
    bool beforeChrist = false;
    const QList<Token> tokens = fieldTokens(text, &beforeChrist);
    if (tokens.size() != fields.size())
        return std::nullopt;
    int day = 0;
    int month = 0;
    int year = 0;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString token = text.mid(tokens.at(i).start, tokens.at(i).length);
        bool number = false;
        const int value = token.toInt(&number);
        switch (fields.at(i)) {
        case Field::Day:
            day = number ? value : 0;
            break;
        case Field::Month:
            month = number ? value : monthOfName(token);
            break;
        case Field::Year:
            year = number ? value : 0;
            break;
        }
    }
    if (year < 1)
        return std::nullopt;
    const QDate date(beforeChrist ? -year : year, month, day);
    if (!TLDateRange::contains(date))
        return std::nullopt;
    return date;
}

QValidator::State TLDateEdit::validate(QString &input, int &) const
{
    return parse(input) ? QValidator::Acceptable : QValidator::Intermediate;
}

void TLDateEdit::fixup(QString &input) const
{
    input = current.isNull() ? QString() : TLDateText::format(current, format);
}

void TLDateEdit::stepBy(int steps)
{
    if (current.isNull()) {
        changeTo(stepStart.isValid() ? stepStart : QDate::currentDate());
        showDate();
        return;
    }
    // The field the cursor is in or after, the first one before any.
    const int cursor = lineEdit()->cursorPosition();
    const QList<Token> before = fieldTokens(text());
    qsizetype field = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before.at(i).start <= cursor)
            field = i;
    }
    QDate next = current;
    switch (fields.value(field, Field::Day)) {
    case Field::Day:
        next = current.addDays(steps);
        break;
    case Field::Month:
        next = current.addMonths(steps);
        break;
    case Field::Year:
        next = current.addYears(steps);
        break;
    }
    changeTo(std::clamp(next.isValid() ? next : current, TLDateRange::first(), TLDateRange::last()));
    showDate();
    const QList<Token> after = fieldTokens(text());
    if (field < after.size())
        lineEdit()->setCursorPosition(int(after.at(field).start + after.at(field).length));
}

QAbstractSpinBox::StepEnabled TLDateEdit::stepEnabled() const
{
    if (current.isNull())
        return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (current < TLDateRange::last())
        enabled |= StepUpEnabled;
    if (current > TLDateRange::first())
        enabled |= StepDownEnabled;
    return enabled;
}

// Room for the widest day, month and four-digit year, before Christ too,
// beside the arrows.
QSize TLDateEdit::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    int width = 0;
    for (int year : { 2888, -4888 }) {
        for (int month = 1; month <= 12; ++month)
            width = std::max(width, metrics.horizontalAdvance(TLDateText::format(QDate(year, month, 28), format)));
    }
    // The cursor's room, as the spin boxes leave it.
    const QSize text(width + 2, lineEdit()->sizeHint().height());
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
}

QSize TLDateEdit::minimumSizeHint() const
{
    return sizeHint();
}
