#include "measurement/transferguard.h"

void TransferGuard::start(Kind kind)
{
    m_kind = kind;
    m_sinceActivity.start();
}

void TransferGuard::progress()
{
    if (m_kind != None)
        m_sinceActivity.start();
}

TransferGuard::Kind TransferGuard::finish()
{
    const Kind kind = outstanding() ? m_kind : None;
    m_kind = None;
    return kind;
}

bool TransferGuard::outstanding() const
{
    if (m_kind == None)
        return false;
    const qint64 quiet = m_kind == Download ? kDownloadQuietMs : kEraseQuietMs;
    return m_sinceActivity.elapsed() < quiet;
}
