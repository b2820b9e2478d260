#ifndef ZELVARO_H
#define ZELVARO_H

#include <QMainWindow>

#include <QStringList>

class Zelvaro : public QMainWindow
{
    Q_OBJECT

public:
    explicit Zelvaro(QWidget *parent = nullptr);

    // Opens the document named by the first argument after the program name,
    // chosen by its case-sensitive ending; every other argument is ignored.
    void openCommandLine(const QStringList &arguments);

    void loadNative(const QString &path);
    void loadCsv(const QString &path);
};

#endif
