#pragma once

#include <QImage>
#include <QString>

class QByteArray;
class QIODevice;

// Limits on logo images, from config.cfg or from a file the user picks. An
// image is judged by the size its header declares before any pixel is
// decoded, since a file of a few hundred kilobytes can declare gigabytes.
constexpr int kLogoMaxSide = 8192;                        // pixels, either side
constexpr qint64 kLogoMaxDecodedBytes = 64 * 1024 * 1024; // counted at 4 bytes a pixel
// Images above the limits are decoded scaled only when the decoder does so
// row by row and the declared image is at most this many pixels; the work
// grows with the declared size even when the memory does not.
constexpr qint64 kLogoMaxScaledSourcePixels = qint64(16384) * 16384;
// The longer side of a logo as the program stores it.
constexpr int kLogoStoredSide = 1024;

enum class LogoRead
{
    Whole,   // within the limits, decoded as it is
    Scaled,  // above the limits, decoded straight to kLogoStoredSide
    Dropped, // damaged, of unknown size, or too large to decode scaled
};

// Reads one image (any format the toolkit reads) from `device` within the
// limits above. Images above them are decoded scaled to kLogoStoredSide on
// their longer side, keeping their aspect, where the decoder streams the
// scaled image (JPEG; 8-bit true-colour PNG that is not interlaced);
// anything else gives a null image and Dropped.
QImage readImageWithLimits(QIODevice *device, LogoRead *how = nullptr);
QImage readImageWithLimits(const QByteArray &bytes, LogoRead *how = nullptr);

// `size` fitted into kLogoStoredSide on its longer side, the other side
// rounded; sizes already within it are returned unchanged.
QSize logoStoredSize(const QSize &size);

// `image` scaled smoothly to logoStoredSize(); smaller images unchanged, so
// logos stored before keep their size.
QImage logoForStorage(const QImage &image);

// A logo file the user picked, read with the limits and scaled for storage.
// Null (and Dropped) when the file gives no usable image.
QImage readLogoFile(const QString &fileName, LogoRead *how = nullptr);

// Messages for a dropped logo, in the interface language: one from the
// settings file, whose place the default logo takes, and one picked by the
// user, which leaves the logo as it was.
QString droppedSettingsLogoText();
QString unusableLogoFileText(const QString &fileName);
