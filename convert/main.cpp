// zelvaro-convert: a chart or table into a picture or the other format,
// from the command line, with no display.

#include "convert/chartconverter.h"
#include "model/tlcsv.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QFontInfo>
#include <QPageSize>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

const char *const usage =
    "Usage: zelvaro-convert INPUT -o OUTPUT [OPTION]...\n"
    "Convert a Zelvaro chart (.vrk) or table (.csv) into a picture of the chart\n"
    "(.svg, .pdf, .png) or into a chart or table, chosen by the ending of OUTPUT.\n"
    "\n"
    "  -o, --output FILE   the file to write; it replaces FILE only once complete\n"
    "      --style N       draw in style 1, 2 or 3 instead of the chart's own\n"
    "      --from DATE     start the chart on DATE (yyyy-MM-dd, -0043-03-15 for 44 BC)\n"
    "      --to DATE       end the chart on DATE\n"
    "      --scale F       image pixels for each pixel of the chart, in a PNG\n"
    "      --page SIZE     a PDF on pages of SIZE (A4, A3, Letter, ...), the chart\n"
    "                      fitted as printing fits it; else a page of its own size\n"
    "      --landscape     pages across\n"
    "      --partial       write what was read of a damaged input all the same\n"
    "  -h, --help          show this help and exit\n"
    "  -V, --version       show the version and exit\n"
    "\n"
    "Exit status: 0 when converted, 1 when the input or the output failed,\n"
    "2 when the command line is wrong.\n";

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int misused(const QString &reason)
{
    err() << "zelvaro-convert: " << reason << Qt::endl
          << "Try 'zelvaro-convert --help' for more information." << Qt::endl;
    return ChartConverter::Misused;
}

std::optional<QPageSize> pageNamed(const QString &name)
{
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto size = QPageSize::PageSizeId(id);
        if (QPageSize::key(size).compare(name, Qt::CaseInsensitive) == 0)
            return QPageSize(size);
    }
    return std::nullopt;
}

// A converter needs no display: without a platform named, it draws
// offscreen.
void chooseOffscreenUnlessNamed(int argc, char **argv)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

}

int main(int argc, char **argv)
{
    chooseOffscreenUnlessNamed(argc, argv);
    // Standard error carries the converter's own one-line messages, not the
    // toolkit's remarks on the environment.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            err() << text << Qt::endl;
    });
    QApplication app(argc, argv);
    // Pictures name the font the text is drawn in, not the alias asked for.
    QFont font = QApplication::font();
    font.setFamily(QFontInfo(font).family());
    QApplication::setFont(font);
    QCoreApplication::setApplicationName(QStringLiteral("zelvaro-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELVARO_VERSION));

    QCommandLineParser parser;
    const QCommandLineOption output({ QStringLiteral("o"), QStringLiteral("output") }, QString(), QStringLiteral("file"));
    const QCommandLineOption style(QStringLiteral("style"), QString(), QStringLiteral("n"));
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("date"));
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("date"));
    const QCommandLineOption scale(QStringLiteral("scale"), QString(), QStringLiteral("f"));
    const QCommandLineOption page(QStringLiteral("page"), QString(), QStringLiteral("size"));
    const QCommandLineOption landscape(QStringLiteral("landscape"));
    const QCommandLineOption partial(QStringLiteral("partial"));
    const QCommandLineOption help(QStringList { QStringLiteral("h"), QStringLiteral("help") });
    const QCommandLineOption version(QStringList { QStringLiteral("V"), QStringLiteral("version") });
    parser.addOptions({ output, style, from, to, scale, page, landscape, partial, help, version });
    if (!parser.parse(QCoreApplication::arguments()))
        return misused(parser.errorText());
    if (parser.isSet(help)) {
        QTextStream(stdout) << usage;
        return ChartConverter::Done;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << "zelvaro-convert " << QCoreApplication::applicationVersion() << Qt::endl;
        return ChartConverter::Done;
    }

    const QStringList inputs = parser.positionalArguments();
    if (inputs.size() != 1)
        return misused(inputs.isEmpty() ? QStringLiteral("no input file") : QStringLiteral("more than one input file"));
    if (!parser.isSet(output))
        return misused(QStringLiteral("no output file; name it with -o"));
    ChartConverter::Options options;
    options.input = inputs.first();
    options.output = parser.value(output);
    options.landscape = parser.isSet(landscape);
    options.partial = parser.isSet(partial);
    if (parser.isSet(style)) {
        bool number = false;
        options.style = parser.value(style).toInt(&number);
        if (!number || *options.style < 1 || *options.style > 3)
            return misused(QStringLiteral("bad style '%1'; it is 1, 2 or 3").arg(parser.value(style)));
    }
    for (const auto &[option, date] : { std::pair(&from, &options.from), std::pair(&to, &options.to) }) {
        if (!parser.isSet(*option))
            continue;
        *date = TLCsv::dateFromText(parser.value(*option));
        if (!date->value().isValid())
            return misused(QStringLiteral("bad date '%1'; write it as yyyy-MM-dd").arg(parser.value(*option)));
    }
    if (parser.isSet(scale)) {
        bool number = false;
        options.scale = parser.value(scale).toDouble(&number);
        if (!number || !(options.scale > 0.0) || options.scale > 64.0)
            return misused(QStringLiteral("bad scale '%1'; it is a number above 0").arg(parser.value(scale)));
    }
    if (parser.isSet(page)) {
        options.page = pageNamed(parser.value(page));
        if (!options.page)
            return misused(QStringLiteral("unknown page size '%1'").arg(parser.value(page)));
    }

    ChartConverter converter(options);
    const ChartConverter::Status status = converter.run();
    if (status != ChartConverter::Done)
        err() << "zelvaro-convert: " << converter.error() << Qt::endl;
    return status;
}
