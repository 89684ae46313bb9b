#include "measurement/transferguard.h"

#include <QElapsedTimer>

TransferGuard::TransferGuard(Clock clock) : m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = [] {
            static QElapsedTimer steady;
            if (!steady.isValid())
                steady.start();
            return steady.elapsed();
        };
}

void TransferGuard::start(Kind kind)
{
    m_kind = kind;
    m_lastActivity = m_clock();
}

void TransferGuard::activity()
{
    if (m_kind != None)
        m_lastActivity = m_clock();
}

TransferGuard::Kind TransferGuard::finish()
{
    const Kind kind = m_kind;
    m_kind = None;
    return kind;
}

bool TransferGuard::outstanding() const
{
    if (m_kind == None)
        return false;
    const qint64 quiet = m_kind == Download ? kDownloadQuietMs : kEraseQuietMs;
    return m_clock() - m_lastActivity < quiet;
}
