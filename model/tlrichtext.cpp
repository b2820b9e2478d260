#include "model/tlrichtext.h"

#include "model/tlformatclamp.h"
#include "model/tlhtmlbound.h"

#include <QBuffer>
#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFormat>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace {

// Qt's image handler reads the file itself when no image comes back, so an
// image that must not be loaded is answered with a blank one.
QImage blankImage()
{
    QImage blank(16, 16, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    return blank;
}

// The bytes of a data: URL, as Qt's own reading takes them.
QByteArray dataUrlBytes(const QUrl &url)
{
    if (!url.host().isEmpty())
        return QByteArray();
    const QByteArray data =
        QByteArray::fromPercentEncoding(url.url(QUrl::FullyEncoded | QUrl::RemoveScheme).toLatin1());
    const qsizetype comma = data.indexOf(',');
    if (comma < 0)
        return QByteArray();
    const QByteArray payload = data.mid(comma + 1);
    if (data.left(comma).trimmed().toLower().endsWith(";base64"))
        return QByteArray::fromBase64(payload);
    return payload;
}

}

// The inline images a document has decoded, and the sizes its text shows
// them at.
struct TLRichText::Images
{
    struct Shown
    {
        double width = 0.0;
        double height = 0.0;
        bool natural = false; // somewhere without a width or height of its own
    };

    QHash<QUrl, QVariant> loaded;
    QHash<QUrl, Shown> shown;
    bool shownStale = true;
    qint64 pixels = 0;

    void reset()
    {
        loaded.clear();
        shown.clear();
        shownStale = true;
        pixels = 0;
    }

    void measure(const QTextDocument *document)
    {
        shown.clear();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isImageFormat())
                    continue;
                const QTextImageFormat image = format.toImageFormat();
                if (!image.name().startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
                    continue;
                Shown &size = shown[QUrl(image.name())];
                size.natural |=
                    !image.hasProperty(QTextFormat::ImageWidth) && !image.hasProperty(QTextFormat::ImageHeight);
                size.width = std::max(size.width, image.width());
                size.height = std::max(size.height, image.height());
            }
        }
        shownStale = false;
    }

    // The largest size the text shows the image at, in its own proportions,
    // never larger than the image nor than MaxExtent.
    QSize shownSize(const QUrl &name, const QSize &image) const
    {
        double scale = 1.0;
        const auto it = shown.constFind(name);
        if (it != shown.cend() && !it->natural)
            scale = std::max(it->width / image.width(), it->height / image.height());
        scale = std::min({ scale, 1.0, MaxExtent / image.width(), MaxExtent / image.height() });
        return QSize(std::max(1, qRound(image.width() * scale)), std::max(1, qRound(image.height() * scale)));
    }

    QVariant decode(const QUrl &name, const QTextDocument *document)
    {
        QBuffer buffer;
        buffer.setData(dataUrlBytes(name));
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        // The size in the image's header is all that is believed before
        // anything is allocated, so that a small file claiming a huge image
        // costs nothing.
        const QSize size = reader.size();
        if (size.isEmpty() || qint64(size.width()) * size.height() > MaxImagePixels - pixels)
            return blankImage();
        pixels += qint64(size.width()) * size.height();
        if (shownStale)
            measure(document);
        const QSize shownAt = shownSize(name, size);
        if (shownAt != size)
            reader.setScaledSize(shownAt);
        const QImage image = reader.read();
        if (image.isNull())
            return blankImage();
        return QPixmap::fromImage(image);
    }
};

TLRichText::TLRichText(QObject *parent)
    : QTextDocument(parent)
    , images(std::make_unique<Images>())
{
    connect(this, &QTextDocument::contentsChanged, this, [this] { images->shownStale = true; });
}

TLRichText::~TLRichText()
{
    // The base class tears the document down after the images are gone.
    disconnect(this, &QTextDocument::contentsChanged, this, nullptr);
}

void TLRichText::setLabel(const QString &html)
{
    images->reset();
    setHtml(boundHtml(html));
    clampFormats(this);
}

void TLRichText::clear()
{
    images->reset();
    QTextDocument::clear();
}

QString TLRichText::boundHtml(const QString &html)
{
    return TLHtmlBound::bounded(html);
}

void TLRichText::clampFormats(QTextDocument *document)
{
    TLFormatClamp::clamp(document);
}

void TLRichText::insertLabel(QTextCursor *cursor, const QString &html)
{
    cursor->insertFragment(QTextDocumentFragment::fromHtml(boundHtml(html), cursor->document()));
    clampFormats(cursor->document());
}

QString TLRichText::plainText(const QString &html)
{
    TLRichText document;
    document.setLabel(html);
    return document.toPlainText();
}

double TLRichText::layoutWidth(double width)
{
    return std::isnan(width) ? 0.0 : std::clamp(width, 0.0, double(MaxTextWidth));
}

QVariant TLRichText::loadResource(int type, const QUrl &name)
{
    // A label takes no style sheets or documents from anywhere, and only
    // images that carry their bytes with them: anything else would be read
    // from a file, a device or the network.
    if (type != ImageResource)
        return QVariant();
    if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) != 0)
        return blankImage();
    const auto known = images->loaded.constFind(name);
    if (known != images->loaded.cend())
        return *known;
    const QVariant image = images->decode(name, this);
    images->loaded.insert(name, image);
    return image;
}
