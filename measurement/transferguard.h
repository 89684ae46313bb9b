#pragma once

#include <QtGlobal>

#include <functional>

// Whether the end of a download or erase of the instrument's stored records
// is still to come. The instrument reports both ends the same way, so the
// guard remembers which one was started; a second transfer started before
// that end would take its end for its own.
//
// The instrument may never report the end (an aborted download, a pulled
// cable), so a transfer also counts as over after a quiet time: no progress
// report and no block for 10 s during a download, 90 s after the start of an
// erase (erasing the whole flash takes about a minute without any progress
// report). That only lets another transfer start: an end that comes later
// still belongs to the transfer started last.
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

    // Milliseconds on a steady clock; by default the system's monotonic one.
    using Clock = std::function<qint64()>;
    explicit TransferGuard(Clock clock = Clock());

    void start(Kind kind);
    // A progress report or a block of the running transfer.
    void activity();
    // The instrument reported an end: returns what had been started (None
    // when nothing was) and forgets it, however long the transfer was quiet.
    Kind finish();
    // The link was closed: no end can come any more.
    void abandon() { m_kind = None; }
    // Started, and not quiet for longer than its kind allows.
    bool outstanding() const;

private:
    Clock m_clock;
    Kind m_kind = None;
    qint64 m_lastActivity = 0;
};
