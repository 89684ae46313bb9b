#include "sim/simulatorengine.h"

#include "instrument/commands.h"

#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <unistd.h>

namespace {

// How often a missing client is looked for, and the pacing tick.
constexpr int kProbeIntervalMs = 10;
constexpr int kPaceIntervalMs = 2;
// Download blocks are produced only while fewer bytes than this wait for the
// line, so an abort takes effect after a few frames and memory stays small.
constexpr qsizetype kPacedLowWater = 2048;
constexpr qsizetype kFastLowWater = 16384;
// A client that does not read makes the backlog grow; past this, live
// readings and status bytes are dropped as a real line would lose them.
constexpr qsizetype kMaxBacklog = 65536;
// Progress (answer type 3) is sent before the first block, after every
// this many blocks, and after the last.
constexpr int kProgressEveryBlocks = 4;

template <typename T> void deleteAndClear(T *&object)
{
    delete object;
    object = nullptr;
}

} // namespace

SimulatorEngine::SimulatorEngine(const SimulatorOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_start(QDateTime::currentDateTime()),
      m_model(options, m_start), m_rng(options.seed)
{
    m_clock.start();
    publishState();
}

SimulatorEngine::~SimulatorEngine()
{
    if (!m_options.linkPath.isEmpty() && QFileInfo(m_options.linkPath).isSymLink())
        QFile::remove(m_options.linkPath);
}

bool SimulatorEngine::openPort()
{
    if (!m_pty.open()) {
        QMutexLocker lock(&m_mutex);
        m_error = m_pty.errorString();
        return false;
    }
    updateLink(m_pty.slavePath());
    return true;
}

void SimulatorEngine::updateLink(const QString &path)
{
    if (!m_options.linkPath.isEmpty()) {
        if (QFileInfo(m_options.linkPath).isSymLink())
            QFile::remove(m_options.linkPath);
        if (!path.isEmpty())
            QFile::link(path, m_options.linkPath);
    }
    QMutexLocker lock(&m_mutex);
    m_path = path;
}

QString SimulatorEngine::portPath() const
{
    QMutexLocker lock(&m_mutex);
    return m_path;
}

QString SimulatorEngine::errorString() const
{
    QMutexLocker lock(&m_mutex);
    return m_error;
}

SimulatorEngine::Snapshot SimulatorEngine::snapshot() const
{
    QMutexLocker lock(&m_mutex);
    return m_snapshot;
}

void SimulatorEngine::publishState()
{
    const QDateTime now = QDateTime::currentDateTime();
    Snapshot s;
    s.control = m_model.controlConfig();
    s.channels = m_model.channelConfig();
    s.storedCount = m_model.storedRecordCount();
    s.recording = m_model.recordingFlag();
    s.clockOffsetMs = now.msecsTo(m_model.instrumentClock(now));
    QMutexLocker lock(&m_mutex);
    m_snapshot = s;
}

double SimulatorEngine::secondsSinceStart() const
{
    return double(m_clock.nsecsElapsed()) / 1e9;
}

void SimulatorEngine::begin()
{
    m_probeTimer = new QTimer(this);
    m_probeTimer->setInterval(kProbeIntervalMs);
    connect(m_probeTimer, &QTimer::timeout, this, &SimulatorEngine::probeClient);

    m_paceTimer = new QTimer(this);
    m_paceTimer->setTimerType(Qt::PreciseTimer);
    m_paceTimer->setInterval(kPaceIntervalMs);
    connect(m_paceTimer, &QTimer::timeout, this, &SimulatorEngine::flushOutput);

    m_liveTimer = new QTimer(this);
    m_liveTimer->setTimerType(Qt::PreciseTimer);
    connect(m_liveTimer, &QTimer::timeout, this, &SimulatorEngine::liveTick);
    if (m_options.liveRate > 0) {
        m_liveTimer->setInterval(qMax(1, int(1000.0 / m_options.liveRate + 0.5)));
        m_liveTimer->start();
    }

    m_statusTimer = new QTimer(this);
    connect(m_statusTimer, &QTimer::timeout, this, &SimulatorEngine::statusTick);
    if (m_options.statusIntervalMs > 0)
        m_statusTimer->start(m_options.statusIntervalMs);

    m_eraseTimer = new QTimer(this);
    m_eraseTimer->setSingleShot(true);
    connect(m_eraseTimer, &QTimer::timeout, this, [this] {
        enqueue(ansEnd());
        flushOutput();
    });

    m_disconnectTimer = new QTimer(this);
    m_disconnectTimer->setSingleShot(true);
    connect(m_disconnectTimer, &QTimer::timeout, this, &SimulatorEngine::disconnectPort);
    if (m_options.disconnectAfterMs >= 0)
        m_disconnectTimer->start(m_options.disconnectAfterMs);

    m_reopenTimer = new QTimer(this);
    m_reopenTimer->setSingleShot(true);
    connect(m_reopenTimer, &QTimer::timeout, this, &SimulatorEngine::reopenPort);

    attachPort();
}

void SimulatorEngine::attachPort()
{
    if (!m_pty.isOpen())
        return;
    m_readNotifier = new QSocketNotifier(m_pty.masterFd(), QSocketNotifier::Read, this);
    m_readNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SimulatorEngine::readCommands);
    m_writeNotifier = new QSocketNotifier(m_pty.masterFd(), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] {
        m_writeNotifier->setEnabled(false);
        flushOutput();
    });
    m_client = false;
    m_probeTimer->start();
    probeClient();
}

void SimulatorEngine::detachPort()
{
    deleteAndClear(m_readNotifier);
    deleteAndClear(m_writeNotifier);
    if (m_probeTimer)
        m_probeTimer->stop();
    if (m_paceTimer)
        m_paceTimer->stop();
    if (m_eraseTimer)
        m_eraseTimer->stop();
    m_client = false;
    m_out.clear();
    m_outPos = 0;
    m_download.active = false;
    m_assembler.reset();
    m_pty.close();
    updateLink(QString());
}

void SimulatorEngine::shutdown(QThread *target)
{
    detachPort();
    deleteAndClear(m_probeTimer);
    deleteAndClear(m_paceTimer);
    deleteAndClear(m_liveTimer);
    deleteAndClear(m_statusTimer);
    deleteAndClear(m_eraseTimer);
    deleteAndClear(m_disconnectTimer);
    deleteAndClear(m_reopenTimer);
    if (target)
        moveToThread(target);
}

void SimulatorEngine::disconnectPort()
{
    if (!m_pty.isOpen())
        return;
    detachPort();
    emit portClosed();
    if (m_options.reopenAfterMs >= 0 && m_reopenTimer)
        m_reopenTimer->start(m_options.reopenAfterMs);
}

void SimulatorEngine::reopenPort()
{
    if (m_pty.isOpen() || !openPort())
        return;
    attachPort();
    emit portOpened(m_pty.slavePath());
}

void SimulatorEngine::probeClient()
{
    if (!m_pty.isOpen() || !m_pty.clientPresent())
        return;
    m_probeTimer->stop();
    m_client = true;
    m_credit = 0;
    m_creditNs = m_clock.nsecsElapsed();
    m_readNotifier->setEnabled(true);
    readCommands();
}

void SimulatorEngine::clientLeft()
{
    m_client = false;
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    m_paceTimer->stop();
    m_out.clear();
    m_outPos = 0;
    m_download.active = false;
    m_assembler.reset();
    m_pty.discardUnread();
    m_probeTimer->start();
}

void SimulatorEngine::readCommands()
{
    char buf[4096];
    while (m_client) {
        const ssize_t n = ::read(m_pty.masterFd(), buf, sizeof buf);
        if (n > 0) {
            m_assembler.feed(buf, n, [this](const QByteArray &p) { handlePayload(p); });
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        clientLeft(); // EIO: the last client closed the slave
        return;
    }
    flushOutput();
}

void SimulatorEngine::handlePayload(const QByteArray &payload)
{
    emit commandReceived(payload);
    const InstrumentModel::Reaction r =
        m_model.handleCommand(payload, QDateTime::currentDateTime());
    for (const QByteArray &answer : r.answers)
        enqueue(answer);
    switch (r.action) {
    case InstrumentModel::Action::StartDownload:
        m_download = Download{true, r.firstBlock, r.blockCount, 0};
        enqueue(ansProgress(r.blockCount, r.blockCount));
        break;
    case InstrumentModel::Action::AbortDownload:
        // No end answer: the transfer simply stops.
        m_download.active = false;
        break;
    case InstrumentModel::Action::Erase:
        m_download.active = false;
        m_eraseTimer->start(m_options.eraseDelayMs);
        break;
    case InstrumentModel::Action::None:
        break;
    }
    publishState();
}

void SimulatorEngine::liveTick()
{
    // The instrument measures whether or not anyone listens.
    const _T_PRINT_OUT_DATA reading = m_model.liveReading(secondsSinceStart());
    if (!m_client || pending() > kMaxBacklog)
        return;
    enqueue(ansLiveReading(reading));
    flushOutput();
}

void SimulatorEngine::statusTick()
{
    if (!m_client || pending() > kMaxBacklog)
        return;
    enqueue(ansStatus(m_model.status()));
    flushOutput();
}

bool SimulatorEngine::chance(double rate)
{
    if (rate <= 0)
        return false;
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_rng) < rate;
}

void SimulatorEngine::enqueue(const QByteArray &payload)
{
    if (!m_client)
        return;
    if (chance(m_options.noiseRate)) {
        // Noise never holds 0xAA, so it cannot open a false frame that would
        // swallow the real one behind it.
        const int n = std::uniform_int_distribution<int>(1, 8)(m_rng);
        for (int i = 0; i < n; ++i) {
            quint8 b = quint8(std::uniform_int_distribution<int>(0, 254)(m_rng));
            if (b >= 0xAA)
                ++b;
            m_out.append(char(b));
        }
    }
    QByteArray frame = encodeFrame(payload);
    if (chance(m_options.corruptFrameRate)) {
        // One flipped payload bit: header and length stay intact, the sum
        // no longer matches.
        const int at = 4 + std::uniform_int_distribution<int>(0, payload.size() - 1)(m_rng);
        frame[at] =
            char(quint8(frame[at]) ^ (1u << std::uniform_int_distribution<int>(0, 7)(m_rng)));
    }
    m_out.append(frame);
}

void SimulatorEngine::pumpDownload()
{
    const qsizetype lowWater = m_options.paced ? kPacedLowWater : kFastLowWater;
    while (m_download.active && pending() < lowWater) {
        Download &d = m_download;
        if (d.sent == d.count) {
            if (d.count > 0)
                enqueue(ansProgress(d.count, 0));
            enqueue(ansEnd());
            d.active = false;
            break;
        }
        if (d.sent > 0 && d.sent % kProgressEveryBlocks == 0)
            enqueue(ansProgress(d.count, quint16(d.count - d.sent)));
        enqueue(m_model.blockAnswer(quint16(d.first + d.sent)));
        ++d.sent;
    }
}

void SimulatorEngine::flushOutput()
{
    if (!m_client)
        return;
    const double rate = m_options.bytesPerSecond;
    // A paced line may catch up on a late tick, but never by more than
    // about 10 ms worth of bytes.
    const double maxCredit = qMax(16.0, rate / 100.0);
    for (;;) {
        pumpDownload();
        const qsizetype waiting = pending();
        if (waiting == 0) {
            m_out.clear();
            m_outPos = 0;
            m_paceTimer->stop();
            return;
        }
        qsizetype chunk = waiting;
        if (m_options.paced) {
            const qint64 now = m_clock.nsecsElapsed();
            m_credit = qMin(maxCredit, m_credit + double(now - m_creditNs) * rate / 1e9);
            m_creditNs = now;
            chunk = qMin(waiting, qsizetype(m_credit));
            if (chunk <= 0) {
                if (!m_paceTimer->isActive())
                    m_paceTimer->start();
                return;
            }
        }
        const ssize_t n = ::write(m_pty.masterFd(), m_out.constData() + m_outPos, size_t(chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                m_writeNotifier->setEnabled(true);
                return;
            }
            clientLeft();
            return;
        }
        m_outPos += n;
        if (m_options.paced)
            m_credit -= double(n);
        if (m_outPos >= kMaxBacklog && m_outPos * 2 >= m_out.size()) {
            m_out.remove(0, int(m_outPos));
            m_outPos = 0;
        }
    }
}
