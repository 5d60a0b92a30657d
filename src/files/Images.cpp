#include "files/Images.h"

#include <png.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QSysInfo>
#include <array>
#include <cstring>

namespace pictures {

namespace {

void setError(QString* error, const QString& text)
{
    if (error != nullptr)
        *error = text;
}

bool sizeAllowed(qint64 width, qint64 height, QString* error)
{
    if (width <= 0 || height <= 0) {
        setError(error, QStringLiteral("The picture has no pixels (%1 x %2).").arg(width).arg(height));
        return false;
    }
    if (width > MaxPictureSide || height > MaxPictureSide || width * height > MaxPicturePixels) {
        setError(error, QStringLiteral("The picture is too large (%1 x %2 pixels); at most %3 x %3 pixels can be "
                                       "opened.")
                            .arg(width)
                            .arg(height)
                            .arg(MaxPictureSide));
        return false;
    }
    return true;
}

// ---- PNG through libpng's simplified interface, which keeps libpng's error jumps inside libpng.

struct PngImage {
    png_image image;
    PngImage()
    {
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
    }
    ~PngImage() { png_image_free(&image); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
};

QString pngMessage(const png_image& image)
{
    return QString::fromLatin1(image.message, static_cast<int>(strnlen(image.message, sizeof image.message)));
}

// ---- Bitmaps go through Qt's image I/O. Before Qt sees a bitmap, its header is checked for what
// Qt would accept without a word: a file that ends before its last row of pixels (Qt fills the
// missing rows black) and run-length compressed bitmaps, which have never been opened here. The
// check also refuses a picture beyond the size limits before anything is allocated and names the
// reason for the user.

constexpr qint32 BmpDotsPerMetre = 3780;  // 96 dots per inch, as the saved bitmaps have always said
constexpr quint32 BiRgb = 0, BiBitfields = 3, BiAlphaBitfields = 6;

quint16 le16(const uchar* p)
{
    return static_cast<quint16>(p[0] | (p[1] << 8));
}
quint32 le32(const uchar* p)
{
    return static_cast<quint32>(p[0]) | (static_cast<quint32>(p[1]) << 8) | (static_cast<quint32>(p[2]) << 16) |
           (static_cast<quint32>(p[3]) << 24);
}

QString damagedBmp()
{
    return QStringLiteral("The file is not a valid bitmap: its header is damaged.");
}

bool bmpHeaderAllows(const QByteArray& data, QString* error)
{
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    const quint32 infoSize = le32(d + 14);
    const bool core = infoSize == 12;  // the old OS/2 header: 16-bit sizes, no compression field
    if (!(core || infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124) ||
        14 + static_cast<qint64>(infoSize) > size) {
        setError(error, damagedBmp());
        return false;
    }
    const uchar* info = d + 14;
    const qint64 width = core ? le16(info + 4) : static_cast<qint32>(le32(info + 4));
    const qint64 signedHeight = core ? le16(info + 6) : static_cast<qint32>(le32(info + 8));
    const qint64 height = signedHeight < 0 ? -signedHeight : signedHeight;  // negative: top-down rows
    const int bpp = le16(info + (core ? 10 : 14));
    const quint32 compression = core ? BiRgb : le32(info + 16);
    if (compression != BiRgb && compression != BiBitfields && compression != BiAlphaBitfields) {
        setError(error, QStringLiteral("Compressed bitmaps cannot be opened; save the picture uncompressed."));
        return false;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        setError(error, QStringLiteral("Bitmaps with %1 bits per pixel cannot be opened.").arg(bpp));
        return false;
    }
    if (!sizeAllowed(width, height, error))
        return false;
    const qint64 offBits = le32(d + 10);
    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    if (offBits < 14 + static_cast<qint64>(infoSize) || offBits + stride * height > size) {
        setError(error, QStringLiteral("The bitmap is incomplete: the file ends before its last row of pixels."));
        return false;
    }
    return true;
}

// Qt 6.4 widens a colour channel narrower than 8 bits (the 5 and 6 bits of a 16-bit bitmap) by
// shifting it up, so that full brightness 31 reads 248. This scales such channels from Qt's result
// to 0..255 again, full brightness to 255, as the pictures have always been read.
void scaleNarrowChannels(QImage& image, const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    const quint32 infoSize = le32(d + 14);
    if (infoSize == 12)
        return;
    const int bpp = le16(d + 28);
    const quint32 compression = le32(d + 30);
    std::array<quint32, 3> masks{0x7C00, 0x03E0, 0x001F};  // a 16-bit bitmap without masks: 5-5-5
    if (compression == BiBitfields || compression == BiAlphaBitfields) {
        if (data.size() < 66)
            return;
        masks = {le32(d + 54), le32(d + 58), le32(d + 62)};
    } else if (bpp != 16) {
        return;
    }
    std::array<int, 3> bits{};
    bool narrow = false;
    for (size_t c = 0; c < masks.size(); ++c) {
        for (quint32 m = masks[c]; m != 0; m >>= 1)
            bits[c] += static_cast<int>(m & 1U);
        narrow = narrow || (bits[c] > 0 && bits[c] < 8);
    }
    if (!narrow)
        return;
    const auto scale = [](int value, int width) {
        if (width <= 0 || width >= 8)
            return value;
        const int max = (1 << width) - 1;
        return ((value >> (8 - width)) * 255 + max / 2) / max;
    };
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgba(scale(qRed(line[x]), bits[0]), scale(qGreen(line[x]), bits[1]),
                            scale(qBlue(line[x]), bits[2]), qAlpha(line[x]));
    }
}

// Qt refuses to allocate a decoded picture above this many megabytes: the largest picture the
// size limits let through, in 32 bits a pixel.
constexpr int PictureAllocationLimitMB = static_cast<int>((MaxPicturePixels * 4 + (1 << 20) - 1) >> 20);

}  // namespace

PictureFormat formatForFileName(const QString& fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0 ? PictureFormat::Png
                                                                                                : PictureFormat::Bmp;
}

QByteArray encodePng(const QImage& image, QString* error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("There is no picture to save."));
        return {};
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    PngImage png;
    png.image.width = static_cast<png_uint_32>(rgb.width());
    png.image.height = static_cast<png_uint_32>(rgb.height());
    png.image.format = PNG_FORMAT_RGB;
    const auto stride = static_cast<png_int_32>(rgb.bytesPerLine());

    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(png.image, size, 0, rgb.constBits(), stride, nullptr)) {
        setError(error, QStringLiteral("The PNG picture could not be made: %1.").arg(pngMessage(png.image)));
        return {};
    }
    QByteArray out(static_cast<qsizetype>(size), '\0');
    if (!png_image_write_to_memory(&png.image, out.data(), &size, 0, rgb.constBits(), stride, nullptr)) {
        setError(error, QStringLiteral("The PNG picture could not be made: %1.").arg(pngMessage(png.image)));
        return {};
    }
    out.resize(static_cast<qsizetype>(size));
    return out;
}

QImage decodePng(const QByteArray& data, QString* error)
{
    PngImage png;
    if (!png_image_begin_read_from_memory(&png.image, data.constData(), static_cast<size_t>(data.size()))) {
        setError(error, QStringLiteral("The file is not a valid PNG picture (%1).").arg(pngMessage(png.image)));
        return {};
    }
    if (!sizeAllowed(png.image.width, png.image.height, error))
        return {};

    // BGRA in memory is QImage's ARGB32 on a little-endian machine; spelled out for either order.
    png.image.format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    QImage out(static_cast<int>(png.image.width), static_cast<int>(png.image.height), QImage::Format_ARGB32);
    if (out.isNull()) {
        setError(error, QStringLiteral("There is not enough memory to open the picture."));
        return {};
    }
    if (!png_image_finish_read(&png.image, nullptr, out.bits(), static_cast<png_int_32>(out.bytesPerLine()), nullptr)) {
        setError(error, QStringLiteral("The PNG picture is damaged or incomplete (%1).").arg(pngMessage(png.image)));
        return {};
    }
    return out;
}

QByteArray encodeBmp(const QImage& image, QString* error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("There is no picture to save."));
        return {};
    }
    // Qt writes a 32-bit picture as an uncompressed 24-bit bottom-up bitmap without a colour table.
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    rgb.setDotsPerMeterX(BmpDotsPerMetre);
    rgb.setDotsPerMeterY(BmpDotsPerMetre);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(rgb)) {
        setError(error, QStringLiteral("The bitmap could not be made: %1.").arg(writer.errorString()));
        return {};
    }
    return out;
}

QImage decodeBmp(const QByteArray& data, QString* error)
{
    if (data.size() < 18 || !data.startsWith("BM")) {
        setError(error, QStringLiteral("The file is not a bitmap picture."));
        return {};
    }
    if (!bmpHeaderAllows(data, error))
        return {};
    QImageReader::setAllocationLimit(PictureAllocationLimitMB);
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    QImage image;
    if (!reader.read(&image)) {
        setError(error, QStringLiteral("The bitmap could not be read: %1.").arg(reader.errorString()));
        return {};
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    scaleNarrowChannels(image, data);
    return image;
}

QImage decodePicture(const QByteArray& data, QString* error)
{
    static const char pngSignature[] = "\x89PNG\r\n\x1a\n";
    if (data.startsWith(QByteArray::fromRawData(pngSignature, 8)))
        return decodePng(data, error);
    if (data.startsWith("BM"))
        return decodeBmp(data, error);
    setError(error, QStringLiteral("The file is not a PNG or BMP picture."));
    return {};
}

bool savePicture(const QString& path, const QImage& image, PictureFormat format, QString* error)
{
    const QByteArray bytes = format == PictureFormat::Png ? encodePng(image, error) : encodeBmp(image, error);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        setError(error, QStringLiteral("The picture could not be saved as \"%1\": %2.")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    return true;
}

QImage loadPicture(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("The picture \"%1\" could not be opened: %2.")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
        return {};
    }
    if (file.size() > MaxPictureFileBytes) {
        setError(error, QStringLiteral("The file \"%1\" is too large to be a picture of the screen.")
                            .arg(QDir::toNativeSeparators(path)));
        return {};
    }
    const QByteArray data = file.read(MaxPictureFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        setError(error, QStringLiteral("The picture \"%1\" could not be read: %2.")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
        return {};
    }
    QString why;
    QImage image = formatForFileName(path) == PictureFormat::Png ? decodePng(data, &why) : decodeBmp(data, &why);
    if (image.isNull())
        setError(error, QStringLiteral("\"%1\" cannot be opened. %2").arg(QDir::toNativeSeparators(path), why));
    return image;
}

}  // namespace pictures
