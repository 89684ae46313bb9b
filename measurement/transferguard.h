#pragma once

#include <QElapsedTimer>

// Whether the end of a download or erase of the instrument's stored records
// is still to come. The instrument reports both ends the same way, so the
// guard remembers which one was started; a second transfer started before
// that end would take its end for its own.
//
// The instrument may never report the end (an aborted download, a pulled
// cable), so a transfer also counts as over after a quiet time: no progress
// for 10 s during a download, 90 s after the start of an erase (erasing the
// whole flash takes about a minute without any progress report).
class TransferGuard
{
public:
    enum Kind
    {
        None,
        Download,
        Erase
    };

    static constexpr qint64 kDownloadQuietMs = 10000;
    static constexpr qint64 kEraseQuietMs = 90000;

    void start(Kind kind);
    // A progress report of the running transfer.
    void progress();
    // The instrument reported an end: returns what had been started (None
    // when nothing was outstanding) and forgets it.
    Kind finish();
    // The link was closed: no end can come any more.
    void abandon() { m_kind = None; }
    bool outstanding() const;

private:
    Kind m_kind = None;
    QElapsedTimer m_sinceActivity;
};
