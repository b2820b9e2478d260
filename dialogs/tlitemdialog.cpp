#include "dialogs/tlitemdialog.h"

#include "ui_tlitemdialog.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QTextDocument>

TLItemDialog::TLItemDialog(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TLItemDialog>())
    , date(QDate::currentDate())
{
    ui->setupUi(this);
    ui->dStart->setDate(QDate::currentDate());
}

TLItemDialog::~TLItemDialog() = default;

QDate TLItemDialog::itemDate() const
{
    return date;
}

QDate TLItemDialog::itemEndDate() const
{
    return endDate;
}

int TLItemDialog::itemPos() const
{
    return pos;
}

QString TLItemDialog::itemText() const
{
    return text;
}

QColor TLItemDialog::itemBackgroundColor() const
{
    return backgroundColor;
}

void TLItemDialog::on_okButton_clicked()
{
    date = ui->dStart->date();
    endDate = ui->cbEnd->isChecked() ? ui->dEnd->date() : QDate();
    pos = ui->sPos->value();
    text = ui->tText->document()->toHtml();
    accept();
}

void TLItemDialog::on_pTextColor_clicked()
{
    const QColor color = QColorDialog::getColor(ui->tText->textColor());
    if (color.isValid())
        ui->tText->setTextColor(color);
}

void TLItemDialog::on_pBackgroundColor_clicked()
{
    const QColor color = QColorDialog::getColor(backgroundColor);
    if (color.isValid())
        backgroundColor = color;
}

void TLItemDialog::on_pFont_clicked()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, ui->tText->currentFont());
    if (ok)
        ui->tText->setCurrentFont(font);
}

void TLItemDialog::on_fcFont_currentFontChanged(const QFont &f)
{
    ui->tText->setCurrentFont(f);
}

void TLItemDialog::on_sFontSize_valueChanged(int s)
{
    ui->tText->setFontPointSize(s);
}

void TLItemDialog::on_tText_selectionChanged()
{
}

void TLItemDialog::on_tText_cursorPositionChanged()
{
}

void TLItemDialog::on_cbEnd_toggled(bool checked)
{
    ui->dEnd->setEnabled(checked);
    // A first end date starts at the item's start, not at whatever the
    // date edit happened to show.
    if (checked && !endDate.isValid())
        ui->dEnd->setDate(ui->dStart->date());
}

void TLItemDialog::setDate(const QDate &d)
{
    date = d;
    if (d.isValid())
        ui->dStart->setDate(d);
}

void TLItemDialog::setPos(int p)
{
    pos = p;
    ui->sPos->setValue(p);
}

void TLItemDialog::setText(const QString &t)
{
    text = t;
    ui->tText->setLabel(t);
    const QFont font = ui->tText->currentFont();
    ui->fcFont->setCurrentFont(font);
    // The box counts in points: a label sized in pixels is shown, and typed
    // on, at as many points, and one that names no size in the editor's.
    double size = ui->tText->fontPointSize();
    if (!(size > 0) && font.pixelSize() > 0)
        size = font.pixelSize() * 72.0 / ui->tText->logicalDpiY();
    if (!(size > 0))
        size = font.pointSizeF() > 0 ? font.pointSizeF() : ui->tText->font().pointSizeF();
    ui->sFontSize->setValue(qRound(size));
}

void TLItemDialog::setBackgroundColor(const QColor &c)
{
    backgroundColor = c;
}

void TLItemDialog::setEnd(const QDate &e)
{
    endDate = e;
    if (e.isValid())
        ui->dEnd->setDate(e);
    ui->cbEnd->setChecked(e.isValid());
}
