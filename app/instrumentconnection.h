#pragma once

#include "instrument/devkx740d.h"

#include <QObject>
#include <QString>

#include <memory>

class RecordingSession;
class RecordingStore;
class SerialHandle;

// One instrument of the window: its driver, its link and port, the label
// that tells it apart, what it reports about itself, its last live reading,
// and its own recording session with the store of its journal. The window's
// first connection uses the driver, link and session the window has always
// had (not owned); every further one owns its own.
class InstrumentConnection : public QObject
{
    Q_OBJECT

public:
    InstrumentConnection(DevKX740D &device, SerialHandle &link, RecordingSession &session,
                         QObject *parent = nullptr);
    // A further instrument; `linkName` names its link in the log.
    explicit InstrumentConnection(const QString &linkName, QObject *parent = nullptr);
    ~InstrumentConnection() override;

    DevKX740D &device() const { return *m_device; }
    SerialHandle &link() const { return *m_link; }
    RecordingSession &session() const { return *m_session; }
    // The store of this instrument's journal; not owned (the window's first
    // store is made with the window's backup).
    RecordingStore *store() const { return m_store; }
    void setStore(RecordingStore *store);

    QString label() const { return m_label; }
    void setLabel(const QString &label);
    // The port it is (or was last) connected on; empty when never.
    QString port() const { return m_port; }
    void setPort(const QString &port) { m_port = port; }
    QString name() const { return m_name; }
    QString firmware() const { return m_firmware; }
    bool isLinked() const;
    bool hasReading() const { return m_hasReading; }
    const _T_PRINT_OUT_DATA &lastReading() const { return m_lastReading; }

    // Opens `port` and lets the driver talk through it; a recording running
    // goes on with it. `reason`: the link's error when it does not open.
    bool open(const QString &port, QString *reason);
    // Closes the port on purpose: a recording running waits for a connect.
    void close();

signals:
    // Label, link state, name or firmware changed.
    void changed();
    void readingShown();

private:
    void follow();

    std::unique_ptr<DevKX740D> m_ownDevice;
    std::unique_ptr<SerialHandle> m_ownLink;
    std::unique_ptr<RecordingSession> m_ownSession;
    DevKX740D *m_device;
    SerialHandle *m_link;
    RecordingSession *m_session;
    RecordingStore *m_store = nullptr;
    QString m_label;
    QString m_port;
    QString m_name;
    QString m_firmware;
    bool m_linked = false;
    bool m_hasReading = false;
    _T_PRINT_OUT_DATA m_lastReading{};
};
