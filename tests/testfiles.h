#ifndef TESTFILES_H
#define TESTFILES_H

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

// Files the tests write and read back whole.

// The path, or a null string when the file could not be written.
inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text of a PDF file as pdftotext (poppler-utils) reads it; a null
// string when it could not be run.
inline QString pdfText(const QString &path)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return QString();
    QProcess reader;
    reader.start(pdftotext, { path, QStringLiteral("-") });
    if (!reader.waitForFinished())
        return QString();
    return QString::fromUtf8(reader.readAllStandardOutput());
}

#endif
