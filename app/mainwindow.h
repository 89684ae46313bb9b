#pragma once

#include "app/settingsfile.h"
#include "link/portdiscovery.h"
#include "link/portwatcher.h"
#include "widgets/titlebardrag.h"

#include <QMainWindow>
#include <QString>

namespace Ui {
class MainWindow;
}
class BubbleTips;
class FormSetting;
class FramelessResizer;
class QButtonGroup;
class SerialHandle;
class QTimer;

// The program's only top-level window and the hub that owns every long-lived
// object. Frameless: its own title bar moves it (drag) and maximises it
// (double click), its borders resize it.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The generated form, for tests that look up controls by their form names.
    Ui::MainWindow *form() const { return ui; }
    FormSetting *settingsWindow() const { return m_formSetting; }
    SerialHandle *serialHandle() const { return m_serialHandle; }
    const AppSettings &settings() const { return m_settings; }

    // Unsaved changes in the archive; asked about when the window closes.
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // Where the port list comes from. By default the attached instrument ports
    // followed by the ports named with --port; tests install their own list.
    // Takes effect for windows created afterwards.
    static void setPortSource(PortWatcher::Source source);
    // How often the port list is compared with the system's (device changes).
    static constexpr int kPortScanIntervalMs = 1500;

public slots:
    void handleTimeOut();
    void updateCOMInfo(int arg);
    void handelMenuButtonGroup(int id);
    void sys_setting_close();

    void on_pb_dev_info_clicked();
    void on_pb_bash_clicked();
    void on_pb_win_max_clicked();
    void on_pb_sys_setting_clicked();
    void on_pb_debug_clicked();

    void on_comboBox_lang_currentIndexChanged(int index);
    void on_lineEdit_conp_name_editingFinished();
    void on_lineEdit_teser_name_editingFinished();
    void on_pb_seclet_logo_clicked();
    void on_pb_autobackup_enable_clicked(bool checked);
    void on_pb_open_user_datasheet_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createButtonGroups();
    void showSettingsWindow();

    void loadSettings();
    void saveSettings();
    void showSettings();
    void showLogo();
    void showLimits();

    void fillPortList(const QStringList &ports);
    void handleDeviceChange(const QStringList &ports);
    void refreshConnectionLook();

    bool saveArchiveFile();

    Ui::MainWindow *ui;
    FramelessResizer *m_resizer = nullptr;
    FormSetting *m_formSetting = nullptr;
    BubbleTips *m_bubbleTips = nullptr;
    SerialHandle *m_serialHandle = nullptr;
    QTimer *m_statusTimer = nullptr;
    PortWatcher *m_portWatcher = nullptr;

    QButtonGroup *m_diffGroup = nullptr;
    QButtonGroup *m_measureGroup = nullptr;
    QButtonGroup *m_bleGroup = nullptr;
    QButtonGroup *m_menuGroup = nullptr;

    AppSettings m_settings;
    QString m_lastLogoPath; // last logo file chosen in this run, not stored
    bool m_constructed = false;
    bool m_modified = false;
    bool m_debugWindowShown = false;

    // Connection state as last reported by the link and as last shown.
    bool m_reportedConnected = false;
    bool m_shownConnected = false;

    // Fixed texts, translated once.
    QString m_okText;
    QString m_dataText;
    QString m_timeText;
    QString m_numberText;
    QString m_temperatureText;
    QString m_titleBase;

    int m_tablePageSize = 1000;
    quint16 m_usbVendor = kInstrumentUsbVendor;
    quint16 m_usbProduct = kInstrumentUsbProduct;

    TitleBarDrag m_titleDrag;
};
