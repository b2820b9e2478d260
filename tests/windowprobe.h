#ifndef WINDOWPROBE_H
#define WINDOWPROBE_H

#include "app/zelvaro.h"
#include "chartprobe.h"
#include "modalanswers.h"

#include <QList>
#include <QPair>
#include <QPrinter>
#include <QString>
#include <QStringList>

// The main window with its file and print dialogs answered from the
// members: file names from lists, every question noted in `asked`; the print
// dialog accepted with output to `pdfName`, cancelled while that is empty.
class AnsweredZelvaro : public Zelvaro
{
public:
    QStringList openAnswers;
    QList<QPair<QString, QString>> saveAnswers; // name, filter
    QString imageName;
    QString pdfName;
    int printerResolution = 0;
    QStringList asked;

protected:
    QString askOpenFileName(const QString &caption, const QString &filter) override
    {
        asked << caption + '|' + filter;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString askSaveFileName(const QString &caption, const QString &filter, QString *selectedFilter) override
    {
        asked << caption + '|' + filter;
        const auto answer = saveAnswers.isEmpty() ? QPair<QString, QString>() : saveAnswers.takeFirst();
        *selectedFilter = answer.second;
        return answer.first;
    }
    QString askImageFileName() override { return imageName; }
    bool acceptPrinter(QPrinter *printer) override
    {
        printerResolution = printer->resolution();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfName);
        return !pdfName.isEmpty();
    }
};

#endif
