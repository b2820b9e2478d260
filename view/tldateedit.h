#ifndef TLDATEEDIT_H
#define TLDATEEDIT_H

#include <QAbstractSpinBox>
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// A date editor for dates of every age: every day a chart takes, from
// 9999 BC on, shown in the locale's short form with the year written out
// and a year before 1 as "44 BC". The arrows and the arrow keys step the
// day, month or year under the cursor. An editor that allows no date stands
// for none while it is empty, and its first step starts at the step start.
class TLDateEdit : public QAbstractSpinBox
{
    Q_OBJECT
    Q_PROPERTY(QDate date READ date WRITE setDate NOTIFY dateChanged USER true)

public:
    explicit TLDateEdit(QWidget *parent = nullptr);

    QDate date() const;
    void setNoDateAllowed(bool allowed);
    void setStepStart(const QDate &date);
    QString displayFormat() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

public slots:
    // A date outside the range is held to it; a null date empties an
    // editor that allows no date and is passed over by any other.
    void setDate(const QDate &date);

signals:
    void dateChanged(const QDate &date);

protected:
    StepEnabled stepEnabled() const override;

private:
    enum class Field { Day, Month, Year };
    struct Token
    {
        qsizetype start;
        qsizetype length;
    };

    // The date the text names, a null date for an empty text, none for a
    // text that names no date of the range.
    std::optional<QDate> parse(const QString &text) const;
    // The day, month and year in the text, in the format's order, and
    // whether an era word says the year is one before Christ.
    QList<Token> fieldTokens(const QString &text, bool *beforeChrist = nullptr) const;
    void takeTyped(const QString &text);
    void changeTo(const QDate &date);
    void showDate();

    QDate current;
    QDate stepStart;
    QString format;
    QList<Field> fields;
    bool noDateAllowed = false;
};

#endif
