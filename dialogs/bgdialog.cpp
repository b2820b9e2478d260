#include "dialogs/bgdialog.h"

#include "model/tlchartstate.h"
#include "ui_bgdialog.h"
#include "view/tlbackground.h"

#include <QBrush>
#include <QColorDialog>
#include <QCompleter>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIcon>
#include <QMessageBox>
#include <QPainter>

BGDialog::BGDialog(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::BGDialog>())
{
    ui->setupUi(this);

    QCompleter *completer = new QCompleter(this);
    QFileSystemModel *files = new QFileSystemModel(completer);
    files->setRootPath(QDir::rootPath());
    completer->setModel(files);
    ui->lFile->setCompleter(completer);

    const QList<QColor> colors = TLChartState::defaultBackgroundColors();
    setColors(colors.at(0), colors.at(1), colors.at(2));

    ui->gb0->setChecked(true);
    ui->gb1->setChecked(false);
    ui->gb2->setChecked(false);
    ui->rDiagonal->setChecked(true);

    for (QGroupBox *box : { ui->gb0, ui->gb1, ui->gb2 })
        connect(box, &QGroupBox::toggled, this, &BGDialog::updatePreview);
    connect(ui->rSenkrecht, &QRadioButton::toggled, this, &BGDialog::updatePreview);
    connect(ui->rDiagonal, &QRadioButton::toggled, this, &BGDialog::updatePreview);
    connect(ui->lFile, &QLineEdit::textChanged, this, &BGDialog::updatePreview);
    // The label gets its final size only when the dialog is laid out.
    ui->lFarbe->installEventFilter(this);

    updatePreview();
}

BGDialog::~BGDialog() = default;

int BGDialog::mode() const
{
    int m = ui->gb0->isChecked() ? TLChartOptions::SolidBackground : TLChartOptions::NoBackground;
    if (ui->gb1->isChecked()) {
        if (ui->rDiagonal->isChecked())
            m = TLChartOptions::DiagonalGradient;
        if (ui->rSenkrecht->isChecked())
            m = TLChartOptions::VerticalGradient;
    }
    if (ui->gb2->isChecked())
        m = TLChartOptions::ImageBackground;
    return m;
}

QList<QColor> BGDialog::colors() const
{
    return { color0, color1, color2 };
}

QString BGDialog::fileName() const
{
    return imageFile;
}

QPixmap BGDialog::pixmap() const
{
    return QPixmap::fromImage(TLBackground::readImage(imageFile));
}

void BGDialog::updatePreview()
{
    const QSize size = ui->lFarbe->size();
    const qreal ratio = ui->lFarbe->devicePixelRatioF();
    QPixmap preview(size * ratio);
    preview.setDevicePixelRatio(ratio);
    preview.fill(ui->lFarbe->palette().color(ui->lFarbe->backgroundRole()));

    // The mode decides as the chart does; the pattern shows the file typed.
    const QRect r(QPoint(0, 0), size);
    QBrush brush(Qt::NoBrush);
    if (mode() == TLChartOptions::ImageBackground) {
        const QImage image = TLBackground::readImage(ui->lFile->text());
        if (!image.isNull())
            brush = QBrush(QPixmap::fromImage(image));
    } else {
        brush = TLBackground::brush(mode(), colors(), r).value_or(QBrush(Qt::NoBrush));
    }

    QPainter painter(&preview);
    painter.fillRect(r, brush);
    painter.end();
    ui->lFarbe->setPixmap(preview);
}

bool BGDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->lFarbe && event->type() == QEvent::Resize)
        updatePreview();
    return QDialog::eventFilter(watched, event);
}

void BGDialog::setFileName(const QString &f)
{
    imageFile = f;
}

void BGDialog::setMode(int m)
{
    switch (m) {
    case TLChartOptions::NoBackground:
    case TLChartOptions::SolidBackground:
    case TLChartOptions::DiagonalGradient:
    case TLChartOptions::VerticalGradient:
        ui->gb0->setChecked(m == TLChartOptions::SolidBackground);
        ui->gb1->setChecked(m == TLChartOptions::DiagonalGradient || m == TLChartOptions::VerticalGradient);
        ui->gb2->setChecked(false);
        if (m == TLChartOptions::VerticalGradient)
            ui->rSenkrecht->setChecked(true);
        else
            ui->rDiagonal->setChecked(true);
        break;
    case TLChartOptions::ImageBackground:
        ui->gb0->setChecked(false);
        ui->gb1->setChecked(false);
        ui->gb2->setChecked(true);
        break;
    default:
        break;
    }
}

void BGDialog::setColors(const QColor &co0, const QColor &co1, const QColor &co2)
{
    color0 = co0;
    color1 = co1;
    color2 = co2;
    const QList<QPair<QPushButton *, QColor>> buttons = {
        { ui->pFarbe, color0 }, { ui->pFarbe1, color1 }, { ui->pFarbe2, color2 }
    };
    for (const auto &button : buttons) {
        QPixmap square(32, 32);
        square.fill(button.second);
        button.first->setIcon(QIcon(square));
    }
    updatePreview();
}

void BGDialog::on_pFarbe_clicked()
{
    chooseColor(color0);
}

void BGDialog::on_pFarbe1_clicked()
{
    chooseColor(color1);
}

void BGDialog::on_pFarbe2_clicked()
{
    chooseColor(color2);
}

// A cancelled chooser answers with an invalid colour, which keeps the old one.
void BGDialog::chooseColor(QColor &color)
{
    const QColor chosen = QColorDialog::getColor(color, this);
    if (!chosen.isValid())
        return;
    color = chosen;
    setColors(color0, color1, color2);
}

void BGDialog::on_tbFile_clicked()
{
    const QString chosen = QFileDialog::getOpenFileName(this);
    if (chosen.isEmpty())
        return;
    imageFile = chosen;
    ui->lFile->setText(chosen);
}

// A pattern whose image does not load would leave the chart without any
// background, so the dialog stays open until the file is mended.
void BGDialog::accept()
{
    if (mode() == TLChartOptions::ImageBackground) {
        QString problem;
        QString reason;
        if (imageFile.isEmpty())
            problem = tr("No image file is chosen for the pattern. Choose one with \"...\".");
        else if (TLBackground::readImage(imageFile, &reason).isNull())
            problem = tr("The image %1 cannot be loaded: %2").arg(QDir::toNativeSeparators(imageFile), reason);
        if (!problem.isEmpty()) {
            QMessageBox::warning(this, tr("Zelvaro"), problem);
            return;
        }
    }
    QDialog::accept();
}
