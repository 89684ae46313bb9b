#pragma once

#include "app/mqttconfig.h"
#include "mqtt/mqttfeed.h"
#include "mqtt/mqttpublisher.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QTimer;

class DevKX740D;
class AlarmMonitor;
class EventOutbox;
class MqttPage;
class RecordingSession;
class RecordingStore;
class SerialHandle;

// The window's MQTT publishing: the settings page, the settings file, one
// publisher fed by the instrument driver, the alarm events kept for the
// broker, and the page's connection test.
class MqttControl : public QObject
{
    Q_OBJECT

public:
    static constexpr int kProbeTimeoutMs = 10000;

    // Reads `fileName` and starts publishing when the settings say so. The
    // page is created without a parent, for the settings window to take.
    // `backupFile`, the window's own backup file, tells this window's
    // publisher from another window's (its client id), and names the file
    // of the alarm events that wait for the broker ("auto_backup.bak":
    // "auto_backup.events").
    MqttControl(DevKX740D &device, const QString &fileName, const QString &backupFile,
                QObject *parent = nullptr);
    ~MqttControl() override;

    MqttPage *page() const;
    // Unit of the published values (0 Celsius, 1 Fahrenheit, 2 Kelvin).
    void setUnit(int unit);
    // Stores the page's settings and applies them: publishing stops when
    // switched off, and restarts when they changed. Settings that cannot
    // work (checkMqttSettings) are stored but not applied; the page says why.
    void apply();
    MqttPublisher::State state() const { return m_publisher.state(); }
    // Recorded readings are published from `store`, once on the disk, under
    // the id and numbers `session` gave them; what the broker has not taken
    // stays in the store across restarts. Without a journal they go from
    // memory as they are stored.
    void followRecording(RecordingSession &session, RecordingStore &store);
    // Publishes the monitor's alarms, and keeps its events for the broker
    // while publishing is on; the monitor must outlive this control.
    void watchAlarms(AlarmMonitor &monitor);

signals:
    // The broker refused the publisher, or its certificate could not be
    // verified; `text` says why. Once per start of publishing: the publisher
    // goes on trying about once a minute.
    void brokerRefused(const QString &text);

private:
    void applySettings(const MqttSettings &settings);
    void start(const MqttSettings &settings);
    void setInstrumentName(const QString &name);
    void watchLink();
    void testConnection();
    void endProbe();
    void showQueue();
    void updateDelivery(bool wanted);

    DevKX740D &m_device;
    MqttConfig m_config;
    QPointer<MqttPage> m_page;
    MqttPublisher m_publisher;
    MqttFeed m_feed;
    QString m_instance; // MqttSettings::instance
    EventOutbox *m_events;
    // The connection test's own publisher, while the test runs.
    QPointer<MqttPublisher> m_probe;
    QString m_instrumentName;
    QPointer<SerialHandle> m_watchedLink;
    RecordingStore *m_store = nullptr;
    QTimer *m_queueTimer;
    // What the publisher was started with, while it publishes.
    MqttSettings m_applied;
    bool m_publishing = false;
    bool m_refusalReported = false;
    // Switched on with the default prefix while no instrument has told its name.
    bool m_waitingForName = false;
};
