#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Pictures of the screen: PNG through libpng and Windows bitmaps (BMP) through Qt's image I/O, in
// memory and on disk.
// Reading is bounded: a file larger than MaxPictureFileBytes, or a picture wider or taller than
// MaxPictureSide or with more than MaxPicturePixels pixels, is refused before its pixels are
// allocated. Errors come back as one sentence for the user; nothing is thrown.
namespace pictures {

constexpr int MaxPictureSide = 10000;
constexpr qint64 MaxPicturePixels = 25000000;
constexpr qint64 MaxPictureFileBytes = 256LL * 1024 * 1024;

enum class PictureFormat { Png, Bmp };

// The format a picture is saved in: PNG for the extension "png" (any case), a bitmap for every
// other name, so that "screen.jpg" receives bitmap content.
PictureFormat formatForFileName(const QString& fileName);

// The file's content: PNG (24-bit RGB, no alpha) or a 24-bit bottom-up BMP. An empty result with
// `error` set when the picture cannot be encoded.
QByteArray encodePng(const QImage& image, QString* error = nullptr);
QByteArray encodeBmp(const QImage& image, QString* error = nullptr);

// Decoded pictures come back in QImage::Format_ARGB32 (alpha 255 unless a PNG carries
// transparency); a null image with `error` set when the data is not a valid picture of that kind.
QImage decodePng(const QByteArray& data, QString* error = nullptr);
// Reads uncompressed 1-, 4-, 8-, 16-, 24- and 32-bit bitmaps (with colour masks for 16 and 32
// bits), bottom-up and top-down; run-length compressed bitmaps are refused.
QImage decodeBmp(const QByteArray& data, QString* error = nullptr);
// Recognises the kind by the first bytes, whatever the file's name says.
QImage decodePicture(const QByteArray& data, QString* error = nullptr);

// Writes the picture under `path` in `format`, replacing an existing file only when the new one has
// been written completely. False with `error` set on failure.
bool savePicture(const QString& path, const QImage& image, PictureFormat format, QString* error = nullptr);
// Reads a picture file, within the limits above, as the kind its name gives (formatForFileName):
// PNG for "png", a bitmap for every other name. A null image with `error` set on failure, also
// when the content is not of that kind.
QImage loadPicture(const QString& path, QString* error = nullptr);

}  // namespace pictures
