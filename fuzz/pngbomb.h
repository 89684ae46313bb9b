#pragma once

// PNG files for the image-limit checks, built without ever holding the image
// they declare: a "decompression bomb" declares a huge image whose rows are
// all zero and deflate to a small fraction of their size. Needs zlib.

#include <QByteArray>
#include <QtEndian>

#include <zlib.h>

namespace pngbomb {

// Appends one chunk: length, type, data, CRC over type and data.
inline void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    uchar word[4];
    qToBigEndian<quint32>(quint32(data.size()), word);
    png.append(reinterpret_cast<const char *>(word), 4);
    const int start = png.size();
    png.append(type, 4);
    png.append(data);
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef *>(png.constData() + start), uInt(4 + data.size()));
    qToBigEndian<quint32>(quint32(crc), word);
    png.append(reinterpret_cast<const char *>(word), 4);
}

// A valid 1-bit greyscale PNG of `width` x `height` black pixels. The raw
// rows (a filter byte and width / 8 bytes each) are fed to deflate in pieces
// of 64 KiB, so 40000 x 40000 (200 MB of rows) gives a file of about 195 KB.
inline QByteArray zeroPng(quint32 width, quint32 height)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = 1; // bit depth; colour type 0 (greyscale), no interlace
    appendChunk(png, "IHDR", header);

    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    const quint64 total = quint64(height) * (1 + (quint64(width) + 7) / 8);
    static const QByteArray zeros(1 << 16, '\0');
    QByteArray data;
    char out[1 << 16];
    quint64 fed = 0;
    int flush = Z_NO_FLUSH;
    do {
        const uInt piece = uInt(qMin<quint64>(quint64(zeros.size()), total - fed));
        fed += piece;
        flush = fed == total ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        z.avail_in = piece;
        do {
            z.next_out = reinterpret_cast<Bytef *>(out);
            z.avail_out = sizeof out;
            deflate(&z, flush);
            data.append(out, int(sizeof out - z.avail_out));
        } while (z.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&z);
    appendChunk(png, "IDAT", data);
    appendChunk(png, "IEND", QByteArray());
    return png;
}

// `png` with one byte of its first IDAT chunk's data flipped: the chunks
// still frame the file, but the CRC fails and the image does not decode.
inline QByteArray damaged(QByteArray png)
{
    const int idat = png.indexOf("IDAT");
    if (idat >= 0 && idat + 6 < png.size())
        png[idat + 6] = char(png[idat + 6] ^ 0x5a);
    return png;
}

} // namespace pngbomb
