#include "files/Images.h"

#include <png.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// ---- BMP fields are little-endian.

quint16 le16(const uchar* p)
{
    return static_cast<quint16>(p[0] | (p[1] << 8));
}
quint32 le32(const uchar* p)
{
    return static_cast<quint32>(p[0]) | (static_cast<quint32>(p[1]) << 8) | (static_cast<quint32>(p[2]) << 16) |
           (static_cast<quint32>(p[3]) << 24);
}
void put16(QByteArray& out, quint16 v)
{
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}
void put32(QByteArray& out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

constexpr quint32 BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3, BiAlphaBitfields = 6;

// One colour channel described by a bit mask, scaled to 0..255.
struct MaskChannel {
    quint32 mask = 0;
    int shift = 0;
    quint64 max = 0;

    explicit MaskChannel(quint32 m = 0) : mask(m)
    {
        if (mask == 0)
            return;
        while (((mask >> shift) & 1U) == 0)
            ++shift;
        max = mask >> shift;
    }
    int value(quint32 pixel) const
    {
        if (max == 0)
            return 0;
        const quint64 v = (pixel & mask) >> shift;
        return static_cast<int>((v * 255U + max / 2) / max);
    }
};

QString damagedBmp()
{
    return QStringLiteral("The file is not a valid bitmap: its header is damaged.");
}

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
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    const quint32 stride = (static_cast<quint32>(w) * 3 + 3) & ~3U;
    const quint32 pixelBytes = stride * static_cast<quint32>(h);
    constexpr quint32 headerBytes = 14 + 40;

    QByteArray out;
    out.reserve(static_cast<qsizetype>(headerBytes + pixelBytes));
    out.append("BM", 2);
    put32(out, headerBytes + pixelBytes);
    put32(out, 0);
    put32(out, headerBytes);
    put32(out, 40);
    put32(out, static_cast<quint32>(w));
    put32(out, static_cast<quint32>(h));  // positive: bottom-up rows
    put16(out, 1);
    put16(out, 24);
    put32(out, BiRgb);
    put32(out, pixelBytes);
    put32(out, 3780);  // 96 dots per inch, in dots per metre
    put32(out, 3780);
    put32(out, 0);
    put32(out, 0);

    QByteArray row(static_cast<qsizetype>(stride), '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<char>(qBlue(line[x]));
            row[3 * x + 1] = static_cast<char>(qGreen(line[x]));
            row[3 * x + 2] = static_cast<char>(qRed(line[x]));
        }
        out.append(row);
    }
    return out;
}

QImage decodeBmp(const QByteArray& data, QString* error)
{
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    if (size < 18 || d[0] != 'B' || d[1] != 'M') {
        setError(error, QStringLiteral("The file is not a bitmap picture."));
        return {};
    }
    const quint32 offBits = le32(d + 10);
    const quint32 infoSize = le32(d + 14);
    const bool core = infoSize == 12;
    if (!(core || infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124) ||
        14 + static_cast<qint64>(infoSize) > size) {
        setError(error, damagedBmp());
        return {};
    }
    const uchar* info = d + 14;
    qint64 width = 0, height = 0;
    int bpp = 0;
    quint32 compression = BiRgb, colourCount = 0;
    if (core) {
        width = le16(info + 4);
        height = le16(info + 6);
        bpp = le16(info + 10);
    } else {
        width = static_cast<qint32>(le32(info + 4));
        height = static_cast<qint32>(le32(info + 8));
        bpp = le16(info + 14);
        compression = le32(info + 16);
        colourCount = le32(info + 32);
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (compression == BiRle8 || compression == BiRle4 ||
        (compression != BiRgb && compression != BiBitfields && compression != BiAlphaBitfields)) {
        setError(error, QStringLiteral("Compressed bitmaps cannot be opened; save the picture uncompressed."));
        return {};
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        setError(error, QStringLiteral("Bitmaps with %1 bits per pixel cannot be opened.").arg(bpp));
        return {};
    }
    if (!sizeAllowed(width, height, error))
        return {};

    // Colour masks: in the V4/V5 header, or right after a 40-byte header.
    qint64 afterInfo = 14 + static_cast<qint64>(infoSize);
    MaskChannel red, green, blue;
    if (bpp == 16 || bpp == 32) {
        if (compression == BiBitfields || compression == BiAlphaBitfields) {
            const uchar* masks = info + 40;
            if (infoSize == 40) {
                const qint64 maskBytes = compression == BiAlphaBitfields ? 16 : 12;
                if (afterInfo + maskBytes > size) {
                    setError(error, damagedBmp());
                    return {};
                }
                afterInfo += maskBytes;
            }
            red = MaskChannel(le32(masks));
            green = MaskChannel(le32(masks + 4));
            blue = MaskChannel(le32(masks + 8));
        } else if (bpp == 16) {
            red = MaskChannel(0x7C00);
            green = MaskChannel(0x03E0);
            blue = MaskChannel(0x001F);
        } else {
            red = MaskChannel(0x00FF0000);
            green = MaskChannel(0x0000FF00);
            blue = MaskChannel(0x000000FF);
        }
    }

    std::array<QRgb, 256> palette{};
    palette.fill(qRgb(0, 0, 0));
    if (bpp <= 8) {
        const qint64 maxColours = qint64{1} << bpp;
        const qint64 listed = (colourCount == 0 || colourCount > maxColours) ? maxColours : colourCount;
        const qint64 entryBytes = core ? 3 : 4;
        if (afterInfo + listed * entryBytes > size) {
            setError(error, QStringLiteral("The bitmap is incomplete: its colour table is cut off."));
            return {};
        }
        for (qint64 i = 0; i < listed; ++i) {
            const uchar* e = d + afterInfo + i * entryBytes;
            palette[static_cast<size_t>(i)] = qRgb(e[2], e[1], e[0]);
        }
    }

    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    if (static_cast<qint64>(offBits) < afterInfo || static_cast<qint64>(offBits) + stride * height > size) {
        setError(error, QStringLiteral("The bitmap is incomplete: the file ends before its last row of pixels."));
        return {};
    }

    QImage out(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
    if (out.isNull()) {
        setError(error, QStringLiteral("There is not enough memory to open the picture."));
        return {};
    }
    for (qint64 row = 0; row < height; ++row) {
        const uchar* src = d + offBits + row * stride;
        const int y = static_cast<int>(topDown ? row : height - 1 - row);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (qint64 x = 0; x < width; ++x) {
            QRgb c = 0;
            switch (bpp) {
                case 1:
                    c = palette[(src[x / 8] >> (7 - x % 8)) & 1U];
                    break;
                case 4:
                    c = palette[(src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xFU];
                    break;
                case 8:
                    c = palette[src[x]];
                    break;
                case 16: {
                    const quint32 p = le16(src + 2 * x);
                    c = qRgb(red.value(p), green.value(p), blue.value(p));
                    break;
                }
                case 24:
                    c = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                    break;
                default: {
                    const quint32 p = le32(src + 4 * x);
                    c = qRgb(red.value(p), green.value(p), blue.value(p));
                    break;
                }
            }
            dst[x] = c;
        }
    }
    return out;
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
