#ifndef BGDIALOG_H
#define BGDIALOG_H

#include <QColor>
#include <QDialog>
#include <QList>
#include <QPixmap>
#include <QString>

#include <memory>

namespace Ui {
class BGDialog;
}

// Lets the user choose the chart background: a solid colour, a vertical or
// diagonal gradient of two colours, or a tiled image, with a live preview.
// The mode is not stored; it follows from the checked boxes.
class BGDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BGDialog(QWidget *parent = nullptr);
    ~BGDialog() override;

    int mode() const;
    QList<QColor> colors() const;
    QString fileName() const;
    QPixmap pixmap() const;

public slots:
    void updatePreview();
    void setFileName(const QString &f);
    void setMode(int m);
    void setColors(const QColor &co0, const QColor &co1, const QColor &co2);
    void on_pFarbe_clicked();
    void on_pFarbe1_clicked();
    void on_pFarbe2_clicked();
    void on_tbFile_clicked();
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseColor(QColor &color);

    std::unique_ptr<Ui::BGDialog> ui;
    QColor color0;
    QColor color1;
    QColor color2;
    QString imageFile;
};

#endif
