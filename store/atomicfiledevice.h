#pragma once

#include "store/atomicfile.h"

#include <QIODevice>

// An AtomicFile for writers that write to a QIODevice (QTextStream,
// QPdfWriter, QImageWriter). Write-only and sequential; the bytes reach the
// temporary file as they are written, so memory stays flat for a large file.
// Nothing takes the target's name before commit().
class AtomicFileDevice : public QIODevice
{
public:
    explicit AtomicFileDevice(const QString &target) : m_file(target) {}

    // Opens for writing only; any other mode fails.
    bool open(OpenMode mode) override;
    void close() override;
    bool isSequential() const override { return true; }

    // Closes the device and gives the file the target's name when every
    // byte is on the disk; false (with the system's reason in errorString())
    // otherwise, and the target stays as it was.
    bool commit();
    QString target() const { return m_file.target(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    AtomicFile m_file;
};
