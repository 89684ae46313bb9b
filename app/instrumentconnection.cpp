#include "app/instrumentconnection.h"

#include "link/serialhandle.h"
#include "measurement/recordingsession.h"
#include "measurement/settingsrules.h"

InstrumentConnection::InstrumentConnection(DevKX740D &device, SerialHandle &link,
                                           RecordingSession &session, QObject *parent)
    : QObject(parent), m_device(&device), m_link(&link), m_session(&session)
{
    follow();
}

// The session goes before the driver and the link it refers to.
InstrumentConnection::InstrumentConnection(const QString &linkName, QObject *parent)
    : QObject(parent), m_ownDevice(std::make_unique<DevKX740D>()),
      m_ownLink(std::make_unique<SerialHandle>(linkName)),
      m_ownSession(std::make_unique<RecordingSession>(*m_ownDevice, *m_ownLink)),
      m_device(m_ownDevice.get()), m_link(m_ownLink.get()), m_session(m_ownSession.get())
{
    connect(m_link, &SerialHandle::codeDeal, m_device, &DevKX740D::codeDeal);
    m_device->setLink(m_link);
    follow();
}

InstrumentConnection::~InstrumentConnection()
{
    if (!m_ownLink)
        return;
    // Closing the link reports its state; nobody is left to hear it.
    disconnect(m_link, nullptr, this, nullptr);
    disconnect(m_device, nullptr, this, nullptr);
    m_ownSession.reset();
    m_ownDevice->setLink(nullptr);
}

void InstrumentConnection::follow()
{
    connect(m_link, &SerialHandle::updateCOMInfo, this, [this](int open) {
        if (m_linked == (open != 0))
            return;
        m_linked = open != 0;
        if (!m_linked)
            m_hasReading = false;
        emit changed();
    });
    connect(m_device, &DevKX740D::deviceInfo, this, [this](QString name, QString firmware) {
        m_name = name;
        m_firmware = firmware;
        emit changed();
    });
    connect(m_device, &DevKX740D::live_data, this, [this](_T_PRINT_OUT_DATA reading) {
        m_lastReading = reading;
        m_hasReading = true;
        emit readingShown();
    });
}

void InstrumentConnection::setStore(RecordingStore *store)
{
    m_store = store;
    m_session->setStore(store);
}

void InstrumentConnection::setLabel(const QString &label)
{
    if (label == m_label)
        return;
    m_label = label;
    emit changed();
}

bool InstrumentConnection::isLinked() const
{
    return m_link->isOpen();
}

bool InstrumentConnection::open(const QString &port, QString *reason)
{
    if (!m_link->openPort(port, kInstrumentBaudRate, reason))
        return false;
    m_port = port;
    m_session->setPort(port);
    m_device->setLink(m_link);
    if (m_device->isRecording())
        m_device->notifyRecording(true);
    return true;
}

void InstrumentConnection::close()
{
    m_session->setPort(QString());
    m_link->closePort();
    m_device->setLink(nullptr);
    m_name.clear();
    m_firmware.clear();
    emit changed();
}
