#ifndef LABELINPUT_H
#define LABELINPUT_H

#include <QGuiApplication>
#include <QString>
#include <QtEndian>

#include <cstddef>
#include <cstdint>
#include <optional>

// What the label targets read: a big-endian 32-bit number (a width or a
// span), then the label as UTF-8.
struct LabelInput
{
    qint32 number = 0;
    QString html;

    static std::optional<LabelInput> read(const uint8_t *data, size_t size)
    {
        if (size < 4)
            return std::nullopt;
        return LabelInput { qFromBigEndian<qint32>(data),
                            QString::fromUtf8(reinterpret_cast<const char *>(data) + 4, qsizetype(size - 4)) };
    }

    // Labels are laid out with fonts, so the targets need a GUI application;
    // broken inline images make the image readers talk on every run.
    static void startApplication(int *argc, char ***argv)
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        static QGuiApplication app(*argc, *argv);
    }
};

#endif
