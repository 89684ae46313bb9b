#include "settings/logoimage.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace {

struct LogoText
{
    Q_DECLARE_TR_FUNCTIONS(LogoImage)
};

bool withinLimits(const QSize &size)
{
    return size.width() <= kLogoMaxSide && size.height() <= kLogoMaxSide &&
           qint64(size.width()) * size.height() * 4 <= kLogoMaxDecodedBytes;
}

// Qt's PNG decoder scales row by row only for 8-bit true-colour rows without
// interlacing; for every other PNG it decodes the whole image first. The
// JPEG decoder scales while decoding.
// `head` is the start of the image file: for a PNG the signature (8), the
// IHDR length and type (8), width and height (8), then bit depth, colour
// type, compression, filter and interlace method.
bool decoderStreamsScaled(const QByteArray &head, const QByteArray &format)
{
    if (format == "jpeg")
        return true;
    if (format != "png")
        return false;
    if (head.size() < 29 || head.mid(12, 4) != "IHDR")
        return false;
    const quint8 bitDepth = quint8(head[24]);
    const quint8 colourType = quint8(head[25]);
    const quint8 interlace = quint8(head[28]);
    return bitDepth == 8 && (colourType == 2 || colourType == 6) && interlace == 0;
}

} // namespace

QSize logoStoredSize(const QSize &size)
{
    const int longer = qMax(size.width(), size.height());
    if (longer <= kLogoStoredSide || size.isEmpty())
        return size;
    const auto shorter = [longer](int side) {
        return qMax(1, qRound(double(side) * kLogoStoredSide / longer));
    };
    return size.width() >= size.height() ? QSize(kLogoStoredSide, shorter(size.height()))
                                         : QSize(shorter(size.width()), kLogoStoredSide);
}

QImage readImageWithLimits(QIODevice *device, LogoRead *how)
{
    LogoRead result = LogoRead::Dropped;
    QImage image;
    // Taken before the reader has moved on from the header.
    const QByteArray head = device->peek(29);
    QImageReader reader(device);
    const QSize declared = reader.size();
    if (declared.isValid() && !declared.isEmpty()) {
        if (withinLimits(declared)) {
            image = reader.read();
            result = LogoRead::Whole;
        } else if (qint64(declared.width()) * declared.height() <= kLogoMaxScaledSourcePixels &&
                   decoderStreamsScaled(head, reader.format())) {
            reader.setScaledSize(logoStoredSize(declared));
            image = reader.read();
            result = LogoRead::Scaled;
        }
    }
    if (image.isNull())
        result = LogoRead::Dropped;
    if (how)
        *how = result;
    return image;
}

QImage readImageWithLimits(const QByteArray &bytes, LogoRead *how)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readImageWithLimits(&buffer, how);
}

QImage logoForStorage(const QImage &image)
{
    const QSize stored = logoStoredSize(image.size());
    if (stored == image.size())
        return image;
    return image.scaled(stored, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage readLogoFile(const QString &fileName, LogoRead *how)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (how)
            *how = LogoRead::Dropped;
        return QImage();
    }
    return logoForStorage(readImageWithLimits(&file, how));
}

QString droppedSettingsLogoText()
{
    return LogoText::tr("设置文件中的标志图像已损坏或过大，已改用默认标志。");
}

QString unusableLogoFileText(const QString &fileName)
{
    return LogoText::tr("无法使用图像 %1：文件已损坏或图像过大。")
        .arg(QDir::toNativeSeparators(fileName));
}
