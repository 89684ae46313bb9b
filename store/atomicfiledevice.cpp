#include "store/atomicfiledevice.h"

bool AtomicFileDevice::open(OpenMode mode)
{
    if ((mode & ReadOnly) || !(mode & WriteOnly)) {
        setErrorString(QStringLiteral("only writing is possible"));
        return false;
    }
    if (!m_file.open()) {
        setErrorString(m_file.errorString());
        return false;
    }
    return QIODevice::open(mode);
}

// Closing without commit() abandons what was written.
void AtomicFileDevice::close()
{
    if (isOpen())
        QIODevice::close();
    m_file.cancel();
}

bool AtomicFileDevice::commit()
{
    if (!isOpen())
        return false;
    QIODevice::close();
    if (m_file.commit())
        return true;
    setErrorString(m_file.errorString());
    return false;
}

qint64 AtomicFileDevice::readData(char *, qint64)
{
    return -1;
}

qint64 AtomicFileDevice::writeData(const char *data, qint64 size)
{
    if (m_file.write(data, size))
        return size;
    setErrorString(m_file.errorString());
    return -1;
}
