#include "device/PictureFile.h"

#include "store/SafeFile.h"

#include <QBuffer>
#include <QDebug>
#include <QImageReader>

namespace {
// A screen picture file holds a few kilobytes.
constexpr qint64 kMaxPictureFileBytes = 1024 * 1024;
} // namespace

namespace PictureFile {

bool read(const QString &path, const QSize &maxSize, QImage *image)
{
    QByteArray bytes;
    if (!image || !SafeFile::readAll(path, &bytes, nullptr, kMaxPictureFileBytes))
        return false;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The header gives the size: refuse a large picture before it is decoded.
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > maxSize.width() || size.height() > maxSize.height()) {
        qWarning() << "picture refused:" << path << size;
        return false;
    }
    QImage decoded;
    if (!reader.read(&decoded))
        return false;
    *image = decoded;
    return true;
}

} // namespace PictureFile
