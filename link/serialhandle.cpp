#include "link/serialhandle.h"

#include "link/portdiscovery.h"
#include "link/serialthread.h"

SerialHandle::SerialHandle(const QString &linkName, QObject *parent)
    : QThread(parent), m_linkName(linkName)
{
    m_frameTimer.setSingleShot(true);
    m_frameTimer.setInterval(kFrameIntervalMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &SerialHandle::handleTimeOut_RX);
    m_reportTimer.setInterval(kReportIntervalMs);
    connect(&m_reportTimer, &QTimer::timeout, this,
            [this] { emit updateCOMInfo(isOpen() ? 1 : 0); });
    m_reportTimer.start();
    createThread();
}

SerialHandle::~SerialHandle()
{
    m_frameTimer.stop();
    m_reportTimer.stop();
    delete m_thread;
}

QStringList SerialHandle::findInstrumentPorts()
{
    return ::findInstrumentPorts();
}

void SerialHandle::createThread()
{
    m_thread = new SerialThread;
    connect(m_thread, &SerialThread::response, this, &SerialHandle::handleRead_RX,
            Qt::QueuedConnection);
    connect(m_thread, &SerialThread::error, this, &SerialHandle::handleErrorinfo,
            Qt::QueuedConnection);
}

bool SerialHandle::openPort(const QString &portName, int baudRate)
{
    PortSettings settings;
    settings.portName = portName;
    settings.baudRate = baudRate;
    settings.byteSize = 8;
    settings.parity = 0;      // none
    settings.stopBits = 1;    // one
    settings.flowControl = 0; // none
    // A frame cut off when the previous line was lost must not swallow the
    // first bytes of the new connection (the answers to the handshake).
    m_rxBuffer.clear();
    m_assembler.reset();
    const bool opened = m_thread->openPort(settings);
    if (opened && !m_thread->isRunning())
        m_thread->start();
    return opened;
}

void SerialHandle::closePort()
{
    if (m_thread->isOpen())
        m_thread->requestClose();
}

bool SerialHandle::isOpen() const
{
    return m_thread && m_thread->isOpen();
}

bool SerialHandle::sendFrame(const QByteArray &payload)
{
    const QByteArray frame = encodeFrame(payload);
    if (!isOpen())
        return false;
    m_thread->writeBytes(frame);
    return true;
}

void SerialHandle::handleRead_RX(const QByteArray &bytes, const QDateTime &time)
{
    Q_UNUSED(time)
    m_rxBuffer.append(bytes);
    if (!m_frameTimer.isActive())
        m_frameTimer.start();
}

void SerialHandle::handleTimeOut_RX()
{
    if (!m_rxBuffer.isEmpty()) {
        m_assembler.feed(m_rxBuffer.constData(), m_rxBuffer.size(),
                         [this](const QByteArray &payload) { m_pending.enqueue(payload); });
        m_rxBuffer.clear();
    }
    while (!m_pending.isEmpty())
        emit codeDeal(m_pending.dequeue());
}

void SerialHandle::handleErrorinfo(const QByteArray &text)
{
    Q_UNUSED(text)
    delete m_thread; // stops the loop and closes the port
    m_thread = nullptr;
    createThread();
}

void SerialHandle::handleWrite_Rx(const QByteArray &bytes)
{
    if (isOpen())
        m_thread->writeBytes(bytes);
}

// A failed open reports its reason through the reader thread's error signal,
// emitted on this thread before openPort returns; the thread is replaced
// afterwards, so the connection is made for this one call.
bool SerialHandle::openPort(const QString &portName, int baudRate, QString *reason)
{
    QString error;
    const QMetaObject::Connection connection = connect(
        readerThread(), &SerialThread::error, this,
        [&error](const QByteArray &text) { error = QString::fromUtf8(text); },
        Qt::DirectConnection);
    const bool opened = openPort(portName, baudRate) && isOpen();
    disconnect(connection);
    if (!opened && reason)
        *reason = error;
    return opened;
}
