#ifndef TLITEMDIALOG_H
#define TLITEMDIALOG_H

#include <QColor>
#include <QDate>
#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class TLItemDialog;
}

// Edits the values of one item: the caller sets them, runs the dialog and
// reads them back after OK. The form is copied into the values only on OK.
class TLItemDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TLItemDialog(QWidget *parent = nullptr);
    ~TLItemDialog() override;

    QDate itemDate() const;
    QDate itemEndDate() const;
    int itemPos() const;
    QString itemText() const;
    QColor itemBackgroundColor() const;

public slots:
    void on_okButton_clicked();
    void on_pTextColor_clicked();
    void on_pBackgroundColor_clicked();
    void on_pFont_clicked();
    void on_fcFont_currentFontChanged(const QFont &f);
    void on_sFontSize_valueChanged(int s);
    void on_tText_selectionChanged();
    void on_tText_cursorPositionChanged();
    void on_cbEnd_toggled(bool checked);
    void setDate(const QDate &d);
    void setPos(int p);
    void setText(const QString &t);
    void setBackgroundColor(const QColor &c);
    void setEnd(const QDate &e);

private:
    std::unique_ptr<Ui::TLItemDialog> ui;
    QDate date;
    QDate endDate;
    int pos = 0;
    QString text;
    QColor backgroundColor;
};

#endif
