#pragma once

#include "app/windowcontext.h"

#include <memory>

class AlarmControl;
class AlarmStrip;
class MqttControl;
class QButtonGroup;

// The settings window with its pages (instrument settings, report, backup,
// manuals, language, chart, MQTT, alarms), the settings record behind them
// and config.cfg, which keeps it.
class SystemPage : public PageController
{
    Q_OBJECT

public:
    SystemPage(WindowContext &context, AlarmStrip &alarmStrip);
    ~SystemPage() override;

    // Publishing to an MQTT broker, with its page in the settings window.
    MqttControl *mqtt() const { return m_mqtt.get(); }
    // The alarms of the live readings, their strip above the pages and their
    // page in the settings window.
    AlarmControl *alarms() const { return m_alarms.get(); }
    // Reads config.cfg into the record and shows it in the controls.
    void loadSettings();
    // The settings record at the end of the window's construction: the
    // defaults the form starts with, overridden by config.cfg.
    void settle();
    // The shown unit changed: what publishes or judges readings follows.
    void setUnit(unit_type unit);

public slots:
    void handelMenuButtonGroup(int id);
    void sys_setting_close();
    void on_pb_sys_setting_clicked();
    void on_pb_debug_clicked();
    void on_comboBox_lang_currentIndexChanged(int index);
    void on_lineEdit_conp_name_editingFinished();
    void on_lineEdit_teser_name_editingFinished();
    void on_pb_seclet_logo_clicked();
    void on_pb_autobackup_enable_clicked(bool checked);
    void on_pb_open_user_datasheet_clicked();
    void on_pushButton_15_clicked();

    // Writes the settings record to config.cfg.
    void saveSettings();

private:
    void createMenuGroup();
    void showSettingsWindow();
    void showSettings();
    void showLogo();
    // Opens the manual `fileName` found by programFilePath, or says where to
    // put it when it is missing.
    void openManual(const QString &fileName);

    std::unique_ptr<MqttControl> m_mqtt;
    std::unique_ptr<AlarmControl> m_alarms;
    QButtonGroup *m_menuGroup = nullptr;
    QString m_lastLogoPath; // last logo file chosen in this run, not stored
    bool m_droppedLogoNoted = false;
    bool m_debugWindowShown = false;
};
