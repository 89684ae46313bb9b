#include "app/archivepage.h"
#include "app/instrumentpage.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/systempage.h"
#include "resources/initresources.h"
#include "ui_mainwindow.h"
#include "widgets/bash.h"
#include "widgets/formsetting.h"

#include <QAbstractSpinBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QSpacerItem>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// Every object of the screen form that other parts of the program name, with
// the class it must have. Custom classes are checked by their own names.
const QList<QPair<const char *, const char *>> &formObjects()
{
    static const QList<QPair<const char *, const char *>> objects = {
        {"centralwidget", "QWidget"},
        {"verticalLayout_6", "QVBoxLayout"},
        // title bar
        {"widget_title", "QWidget"},
        {"horizontalLayout", "QHBoxLayout"},
        {"label_space", "QLabel"},
        {"label_com_logo", "QLabel"},
        {"pb_sys_setting", "NavButton"},
        {"pb_win_min", "NavButton"},
        {"pb_win_max", "NavButton"},
        {"pb_win_close", "NavButton"},
        // frame and window pages
        {"frame", "QFrame"},
        {"verticalLayout_2", "QVBoxLayout"},
        {"tabWidget_window", "QTabWidget"},
        {"tab", "QWidget"},
        {"gridLayout_4", "QGridLayout"},
        {"widget_33", "QWidget"},
        // file column
        {"widget_3", "QWidget"},
        {"gridLayout_10", "QGridLayout"},
        {"label_8", "QLabel"},
        {"pb_connect", "NavButton"},
        {"pb_new_file", "NavButton"},
        {"pb_open_file", "NavButton"},
        {"pb_save_file", "NavButton"},
        {"pb_save_file_as", "NavButton"},
        {"pb_read_flash", "NavButton"},
        {"line", "QFrame"},
        {"line_2", "QFrame"},
        {"treeWidget", "QTreeWidget"},
        // measurement page
        {"stackedWidget", "QStackedWidget"},
        {"page_bash", "QWidget"},
        {"horizontalLayout_5", "QHBoxLayout"},
        {"widget_bash", "QWidget"},
        {"verticalLayout_4", "QVBoxLayout"},
        {"widget_ctrl_bash", "QWidget"},
        {"pb_start", "NavButton"},
        {"pb_hold", "NavButton"},
        {"label_remain_time", "QLabel"},
        {"widget_27", "QWidget"},
        {"label_3", "QLabel"},
        {"spinBox_interval_hour", "QSpinBox"},
        {"spinBox_interval_min", "QSpinBox"},
        {"spinBox_interval_sec", "QSpinBox"},
        {"verticalLayout_3", "QVBoxLayout"},
        {"verticalLayout_littile", "QVBoxLayout"},
        {"tabWidget_data", "QTabWidget"},
        {"tab_2", "QWidget"},
        {"verticalLayout_8", "QVBoxLayout"},
        {"widget_graph", "QWidget"},
        {"horizontalLayout_2", "QHBoxLayout"},
        {"pb_switch", "NavButton"},
        {"pb_graph", "NavButton"},
        {"pb_T1", "GraphButton"},
        {"pb_T2", "GraphButton"},
        {"pb_T3", "GraphButton"},
        {"pb_T4", "GraphButton"},
        {"verticalLayout_graph", "QVBoxLayout"},
        {"customPlot", "QCustomPlot"},
        {"tab_3", "QWidget"},
        {"gridLayout_21", "QGridLayout"},
        {"pb_switch_2", "NavButton"},
        {"horizontalScrollBar", "QScrollBar"},
        {"label_page", "QLabel"},
        {"verticalLayout_grid", "QVBoxLayout"},
        {"tableWidget", "QTableWidget"},
        // instrument panel page
        {"page_tc_setting", "QWidget"},
        {"tabWidget", "QTabWidget"},
        {"tab_6", "QWidget"},
        {"groupBox_10", "QGroupBox"},
        {"pb_diff_normal", "NavButton"},
        {"pb_diff_T1", "NavButton"},
        {"pb_diff_T2", "NavButton"},
        {"pb_diff_T3", "NavButton"},
        {"pb_diff_T4", "NavButton"},
        {"groupBox_9", "QGroupBox"},
        {"pb_meansure_max", "NavButton"},
        {"pb_meansure_min", "NavButton"},
        {"pb_meansure_normal", "NavButton"},
        {"pb_meansure_avg", "NavButton"},
        {"tab_9", "QWidget"},
        {"groupBox_8", "QGroupBox"},
        {"pb_ble_off", "NavButton"},
        {"pb_ble_on", "NavButton"},
        // settings
        {"tab_5", "QWidget"},
        {"widget_9", "QWidget"},
        {"widget_setting", "QWidget"},
        {"gridLayout_5", "QGridLayout"},
        {"widget_4", "QWidget"},
        {"verticalLayout", "QVBoxLayout"},
        {"pb_menu_dev", "NavButton"},
        {"pb_menu_unit", "NavButton"},
        {"pb_menu_tc_type", "NavButton"},
        {"pb_menu_tc_offset", "NavButton"},
        {"pb_menu_limit", "NavButton"},
        {"pb_menu_test_time", "NavButton"},
        {"pb_menu_pdf", "NavButton"},
        {"pb_menu_autobackup", "NavButton"},
        {"pb_menu_guid", "NavButton"},
        {"pb_menu_lang", "NavButton"},
        {"pb_menu_graph", "NavButton"},
        {"stackedWidget_menu", "QStackedWidget"},
        // device page
        {"page", "QWidget"},
        {"label_15", "QLabel"},
        {"widget", "CsWidget"},
        {"label_fw_ver", "QLabel"},
        {"pb_time_sync", "NavButton"},
        {"comboBox_COM", "QComboBox"},
        {"label_dev_status", "QLabel"},
        {"label_14", "QLabel"},
        {"label_dev_name", "QLabel"},
        {"widget_5", "CsWidget"},
        {"label_16", "QLabel"},
        {"label_flash_used", "QLabel"},
        {"progressBar_2", "QProgressBar"},
        {"widget_6", "CsWidget"},
        {"label_18", "QLabel"},
        {"pb_auto_pwr_onoff", "OnOffButton"},
        {"widget_7", "CsWidget"},
        {"label_19", "QLabel"},
        {"comboBox_freq", "QComboBox"},
        {"widget_8", "CsWidget"},
        {"label_20", "QLabel"},
        {"pb_erase_flash", "NavButton"},
        {"widget_10", "CsWidget"},
        {"label_21", "QLabel"},
        {"pb_reset", "NavButton"},
        // unit page
        {"page_2", "QWidget"},
        {"widget_11", "CsWidget"},
        {"label_36", "QLabel"},
        {"comboBox_unit", "QComboBox"},
        // thermocouple type page
        {"page_3", "QWidget"},
        {"label_37", "QLabel"},
        {"widget_12", "CsWidget"},
        {"widget_13", "CsWidget"},
        {"widget_14", "CsWidget"},
        {"widget_15", "CsWidget"},
        {"label_23", "QLabel"},
        {"label_24", "QLabel"},
        {"label_25", "QLabel"},
        {"label_26", "QLabel"},
        {"comboBox_T1", "QComboBox"},
        {"comboBox_T2", "QComboBox"},
        {"comboBox_T3", "QComboBox"},
        {"comboBox_T4", "QComboBox"},
        // thermocouple compensation page
        {"page_4", "QWidget"},
        {"label_38", "QLabel"},
        {"label_22", "QLabel"},
        {"label_12", "QLabel"},
        {"label_17", "QLabel"},
        {"widget_17", "CsWidget"},
        {"widget_18", "CsWidget"},
        {"widget_19", "CsWidget"},
        {"widget_20", "CsWidget"},
        {"pb_offset_1", "NavButton"},
        {"pb_offset_2", "NavButton"},
        {"pb_offset_3", "NavButton"},
        {"pb_offset_4", "NavButton"},
        {"doubleSpinBox_offset_1", "QDoubleSpinBox"},
        {"doubleSpinBox_offset_2", "QDoubleSpinBox"},
        {"doubleSpinBox_offset_3", "QDoubleSpinBox"},
        {"doubleSpinBox_offset_4", "QDoubleSpinBox"},
        {"widget_21", "CsWidget"},
        {"label_13", "QLabel"},
        {"label_tmp_e", "QLabel"},
        // alarm threshold page
        {"page_5", "QWidget"},
        {"label_39", "QLabel"},
        {"widget_16", "CsWidget"},
        {"widget_22", "CsWidget"},
        {"widget_31", "CsWidget"},
        {"widget_32", "CsWidget"},
        {"label_hi_limit", "QLabel"},
        {"label_hi_limit_2", "QLabel"},
        {"label_hi_limit_3", "QLabel"},
        {"label_hi_limit_4", "QLabel"},
        {"doubleSpinBox_hi_limit_T1", "QDoubleSpinBox"},
        {"doubleSpinBox_hi_limit_T2", "QDoubleSpinBox"},
        {"doubleSpinBox_hi_limit_T3", "QDoubleSpinBox"},
        {"doubleSpinBox_hi_limit_T4", "QDoubleSpinBox"},
        {"doubleSpinBox_low_limit_T1", "QDoubleSpinBox"},
        {"doubleSpinBox_low_limit_T2", "QDoubleSpinBox"},
        {"doubleSpinBox_low_limit_T3", "QDoubleSpinBox"},
        {"doubleSpinBox_low_limit_T4", "QDoubleSpinBox"},
        {"pb_limit_enable_T1", "OnOffButton"},
        {"pb_limit_enable_T2", "OnOffButton"},
        {"pb_limit_enable_T3", "OnOffButton"},
        {"pb_limit_enable_T4", "OnOffButton"},
        // continuous measuring time page
        {"page_6", "QWidget"},
        {"label_40", "QLabel"},
        {"widget_23", "CsWidget"},
        {"spinBox_contitime_hour", "QSpinBox"},
        {"spinBox_contitime_min", "QSpinBox"},
        {"spinBox_contitime_sec", "QSpinBox"},
        {"pb_continue_enable", "OnOffButton"},
        // PDF settings page
        {"page_9", "QWidget"},
        {"label_43", "QLabel"},
        {"label_9", "QLabel"},
        {"textEdit", "QTextEdit"},
        {"widget_30", "CsWidget"},
        {"label_10", "QLabel"},
        {"label_logo", "QLabel"},
        {"pb_seclet_logo", "NavButton"},
        {"widget_29", "CsWidget"},
        {"label_5", "QLabel"},
        {"lineEdit_teser_name", "QLineEdit"},
        {"widget_28", "CsWidget"},
        {"label_4", "QLabel"},
        {"lineEdit_conp_name", "QLineEdit"},
        // data backup page
        {"page_11", "QWidget"},
        {"label_45", "QLabel"},
        {"widget_38", "CsWidget"},
        {"label_32", "QLabel"},
        {"pb_autobackup_enable", "OnOffButton"},
        // manual page
        {"page_7", "QWidget"},
        {"label_41", "QLabel"},
        {"widget_24", "CsWidget"},
        {"label_33", "QLabel"},
        {"pb_open_user_datasheet", "NavButton"},
        {"widget_25", "CsWidget"},
        {"label_34", "QLabel"},
        {"pushButton_15", "NavButton"},
        // language page
        {"page_8", "QWidget"},
        {"widget_26", "CsWidget"},
        {"label_42", "QLabel"},
        {"comboBox_lang", "QComboBox"},
        // chart settings page
        {"page_10", "QWidget"},
        {"label_44", "QLabel"},
        {"widget_34", "CsWidget"},
        {"label_11", "QLabel"},
        {"spinBox_line_style", "QSpinBox"},
        {"widget_35", "CsWidget"},
        {"label_31", "QLabel"},
        {"spinBox_ScatterShape", "QSpinBox"},
        {"widget_36", "CsWidget"},
        {"checkBox_yasix", "QCheckBox"},
        {"checkBox_xasix", "QCheckBox"},
        {"checkBox_legend", "QCheckBox"},
        {"widget_37", "CsWidget"},
        {"pb_T1_color", "GraphButton"},
        {"pb_T2_color", "GraphButton"},
        {"pb_T3_color", "GraphButton"},
        {"pb_T4_color", "GraphButton"},
        // navigation strip
        {"tab_4", "QWidget"},
        {"widget_2", "QWidget"},
        {"horizontalLayout_4", "QHBoxLayout"},
        {"pb_bash", "NavButton"},
        {"pb_dev_info", "NavButton"},
        {"pb_debug", "NavButton"},
        // actions
        {"action_about", "QAction"},
        {"action_line", "QAction"},
        {"action_copy", "QAction"},
    };
    return objects;
}

// Slots of the main window that the form connects by object name.
const QStringList &slotsByName()
{
    static const QStringList names = {
        "on_pb_connect_clicked",
        "on_pb_debug_clicked",
        "on_pb_reset_clicked",
        "on_pb_erase_flash_clicked",
        "on_pb_auto_pwr_onoff_clicked",
        "on_comboBox_freq_currentIndexChanged",
        "on_comboBox_unit_currentIndexChanged",
        "on_comboBox_T1_currentIndexChanged",
        "on_comboBox_T2_currentIndexChanged",
        "on_comboBox_T3_currentIndexChanged",
        "on_comboBox_T4_currentIndexChanged",
        "on_pb_read_flash_clicked",
        "on_pb_start_clicked",
        "on_pb_hold_clicked",
        "on_pb_continue_enable_clicked",
        "on_doubleSpinBox_hi_limit_T1_editingFinished",
        "on_doubleSpinBox_low_limit_T1_editingFinished",
        "on_pb_limit_enable_T1_clicked",
        "on_doubleSpinBox_hi_limit_T2_editingFinished",
        "on_doubleSpinBox_low_limit_T2_editingFinished",
        "on_pb_limit_enable_T2_clicked",
        "on_doubleSpinBox_hi_limit_T3_editingFinished",
        "on_doubleSpinBox_low_limit_T3_editingFinished",
        "on_pb_limit_enable_T3_clicked",
        "on_doubleSpinBox_hi_limit_T4_editingFinished",
        "on_doubleSpinBox_low_limit_T4_editingFinished",
        "on_pb_limit_enable_T4_clicked",
        "on_doubleSpinBox_offset_1_editingFinished",
        "on_doubleSpinBox_offset_2_editingFinished",
        "on_doubleSpinBox_offset_3_editingFinished",
        "on_doubleSpinBox_offset_4_editingFinished",
        "on_pb_win_max_clicked",
        "on_pb_dev_info_clicked",
        "on_pb_bash_clicked",
        "on_pb_sys_setting_clicked",
        "on_comboBox_lang_currentIndexChanged",
        "on_lineEdit_conp_name_editingFinished",
        "on_lineEdit_teser_name_editingFinished",
        "on_pb_seclet_logo_clicked",
        "on_pb_open_user_datasheet_clicked",
        "on_pb_open_file_clicked",
        "on_pb_new_file_clicked",
        "on_pb_save_file_clicked",
        "on_pb_save_file_as_clicked",
        "on_pb_autobackup_enable_clicked",
        "on_treeWidget_customContextMenuRequested",
        "on_treeWidget_currentItemChanged",
        "on_treeWidget_itemDoubleClicked",
        "on_tableWidget_customContextMenuRequested",
        "on_horizontalScrollBar_rangeChanged",
        "on_horizontalScrollBar_valueChanged",
        "on_pb_T1_clicked",
        "on_pb_T2_clicked",
        "on_pb_T3_clicked",
        "on_pb_T4_clicked",
        "on_pb_T1_color_clicked",
        "on_pb_T2_color_clicked",
        "on_pb_T3_color_clicked",
        "on_pb_T4_color_clicked",
        "on_spinBox_line_style_valueChanged",
        "on_spinBox_ScatterShape_valueChanged",
        "on_checkBox_xasix_stateChanged",
        "on_checkBox_yasix_stateChanged",
        "on_checkBox_legend_stateChanged",
        "on_pb_graph_clicked",
        "on_pb_switch_clicked",
        "on_pb_switch_2_clicked",
        "on_tabWidget_data_currentChanged",
        "on_action_line_triggered",
    };
    return names;
}

bool hasSignal(const QMetaObject *meta, const QByteArray &name)
{
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Signal && method.name() == name)
            return true;
    }
    return false;
}

// A resource picture as a pixmap would paint it (same pixel format).
QImage resourceImage(const char *name)
{
    return QPixmap(QStringLiteral(":/images/%1.png").arg(QLatin1String(name))).toImage();
}

QStringList comboItems(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Stands in for the English translation file: answers a few source texts of
// the form's context and leaves everything else untranslated.
class FakeEnglish : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "MainWindow") != 0)
            return QString();
        static const QHash<QString, QString> english = {
            {QStringLiteral("连接设备"), QStringLiteral("Connect device")},
            {QStringLiteral("热电偶补偿"), QStringLiteral("Thermocouple compensation")},
            {QStringLiteral(" 时"), QStringLiteral(" h")},
            {QStringLiteral("上限 "), QStringLiteral("Upper limit ")},
            {QStringLiteral("图表"), QStringLiteral("Chart")},
            {QStringLiteral("中文"), QStringLiteral("Chinese")},
            {QStringLiteral("导入设备数据"), QStringLiteral("Import device data")},
            {QStringLiteral("参考线"), QStringLiteral("Reference line")},
        };
        return english.value(QString::fromUtf8(sourceText));
    }
};

} // namespace

class TestMainWindowForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyNamedObjectHasItsClass();
    void namesAreUnique();
    void slotsFindTheirSignals();
    void placesWhereOtherPartsLookForThings();
    void settingsPagesFollowTheMenuOrder();
    void textsAndTips();
    void comboItems_data();
    void comboItems();
    void numberBoxes();
    void actions();
    void startUpState();
    void buttonLook();
    void retranslationRestoresTexts();
    void translatorReplacesTexts();
    void settingsLabelsShowTheirContentWhole_data();
    void settingsLabelsShowTheirContentWhole();
    void styleSheetReadAsLatin1FromWorkingDirectory();
    void disabledMenuEntriesAreGreyed();
    void titleBarDragsTheWindow();

private:
    std::unique_ptr<MainWindow> m_window;
    Ui::MainWindow *ui = nullptr;
};

void TestMainWindowForm::initTestCase()
{
    kxInitResources();
    m_window = std::make_unique<MainWindow>();
    ui = m_window->form();
    QVERIFY(ui);
}

void TestMainWindowForm::everyNamedObjectHasItsClass()
{
    for (const auto &entry : formObjects()) {
        const QString name = QLatin1String(entry.first);
        QObject *object = m_window->findChild<QObject *>(name);
        QVERIFY2(object, qPrintable(QStringLiteral("missing: ") + name));
        QVERIFY2(object->inherits(entry.second),
                 qPrintable(name + QStringLiteral(" is a ") + object->metaObject()->className() +
                            QStringLiteral(", expected ") + entry.second));
    }
    // The custom classes must be the real ones, not their base classes.
    QCOMPARE(QByteArray(ui->pb_connect->metaObject()->className()), QByteArray("NavButton"));
    QCOMPARE(QByteArray(ui->widget_5->metaObject()->className()), QByteArray("CsWidget"));
    QCOMPARE(QByteArray(ui->pb_auto_pwr_onoff->metaObject()->className()),
             QByteArray("OnOffButton"));
    QCOMPARE(QByteArray(ui->pb_T1_color->metaObject()->className()), QByteArray("GraphButton"));
}

void TestMainWindowForm::namesAreUnique()
{
    // A name held twice in the form would make the connection by name pick
    // one at random. Widgets added after the form was set up (the chart tip's
    // own text edit) are not part of it.
    const auto addedLater = [](QObject *o) {
        for (; o; o = o->parent()) {
            if (o->inherits("BubbleTips"))
                return true;
        }
        return false;
    };
    for (const auto &entry : formObjects()) {
        QList<QObject *> found = m_window->findChildren<QObject *>(QLatin1String(entry.first));
        found.erase(std::remove_if(found.begin(), found.end(), addedLater), found.end());
        QVERIFY2(found.size() == 1, entry.first);
    }
}

void TestMainWindowForm::slotsFindTheirSignals()
{
    for (const QString &slot : slotsByName()) {
        QVERIFY(slot.startsWith(QLatin1String("on_")));
        const int split = slot.lastIndexOf(QLatin1Char('_'));
        const QString objectName = slot.mid(3, split - 3);
        const QByteArray signal = slot.mid(split + 1).toLatin1();
        const QList<QObject *> objects = m_window->findChildren<QObject *>(objectName);
        QVERIFY2(objects.size() == 1,
                 qPrintable(slot + QStringLiteral(": no single object ") + objectName));
        QVERIFY2(hasSignal(objects.first()->metaObject(), signal),
                 qPrintable(slot + QStringLiteral(": ") + objectName + QStringLiteral(" has no ") +
                            QString::fromLatin1(signal)));
    }
}

void TestMainWindowForm::placesWhereOtherPartsLookForThings()
{
    // The window starts on the chart tab: the large chart, and the table as
    // the small view in the side panel.
    QCOMPARE(ui->verticalLayout_graph->indexOf(ui->customPlot), 0);
    QCOMPARE(ui->verticalLayout_grid->indexOf(ui->tableWidget), -1);
    QCOMPARE(ui->verticalLayout_littile->count(), 1);
    QCOMPARE(ui->verticalLayout_littile->indexOf(ui->tableWidget), 0);
    // The dashboard is the only thing the window puts into its layout.
    QCOMPARE(ui->verticalLayout_3->count(), 1);
    QCOMPARE(ui->verticalLayout_3->itemAt(0)->widget(), m_window->dashboard());
    QCOMPARE(ui->customPlot->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(ui->customPlot->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);

    // The small view sits in the side panel below the interval, followed by
    // the expanding spacer that is collapsed once the view is filled.
    QVBoxLayout *side = ui->verticalLayout_4;
    const int small = side->indexOf(ui->verticalLayout_littile);
    QVERIFY(small > side->indexOf(ui->widget_27));
    QVERIFY(side->indexOf(ui->verticalLayout_3) > side->indexOf(ui->widget_27));
    QVERIFY(small + 1 < side->count());
    QSpacerItem *spacer = side->itemAt(small + 1)->spacerItem();
    QVERIFY(spacer);
    QCOMPARE(spacer, ui->verticalSpacer_littile);
    QCOMPARE(spacer->sizeHint(), QSize(0, 0));

    QCOMPARE(ui->stackedWidget->indexOf(ui->page_bash), 0);
    QCOMPARE(ui->stackedWidget->indexOf(ui->page_tc_setting), 1);
    QCOMPARE(ui->tabWidget_data->indexOf(ui->tab_2), 0);
    QCOMPARE(ui->tabWidget_data->indexOf(ui->tab_3), 1);
    QCOMPARE(ui->tabWidget_window->indexOf(ui->tab), 0);
    QVERIFY(ui->tabWidget_window->indexOf(ui->tab_5) > 0);
    QVERIFY(ui->tabWidget_window->indexOf(ui->tab_4) > 0);

    // stackedWidget sits in column 2 of the workspace grid, two rows high.
    const int index = ui->gridLayout_4->indexOf(ui->stackedWidget);
    int row, column, rowSpan, columnSpan;
    ui->gridLayout_4->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(row, 1);
    QCOMPARE(column, 2);
    QCOMPARE(rowSpan, 2);

    // The settings area moves into the settings window as one piece.
    QCOMPARE(ui->widget_setting->parentWidget(), ui->widget_9);
    QCOMPARE(ui->widget_4->parentWidget(), ui->widget_setting);
    QCOMPARE(ui->stackedWidget_menu->parentWidget(), ui->widget_setting);

    const QMargins margins = ui->horizontalLayout_4->contentsMargins();
    QCOMPARE(margins, QMargins(9, 9, 9, 9));
    QCOMPARE(ui->treeWidget->contextMenuPolicy(), Qt::CustomContextMenu);
    QCOMPARE(ui->tableWidget->contextMenuPolicy(), Qt::CustomContextMenu);
}

void TestMainWindowForm::settingsPagesFollowTheMenuOrder()
{
    // Menu button id = page number of stackedWidget_menu.
    const QList<QPair<QWidget *, QWidget *>> menu = {
        {ui->pb_menu_dev, ui->page},       {ui->pb_menu_unit, ui->page_2},
        {ui->pb_menu_tc_type, ui->page_3}, {ui->pb_menu_tc_offset, ui->page_4},
        {ui->pb_menu_limit, ui->page_5},   {ui->pb_menu_test_time, ui->page_6},
        {ui->pb_menu_pdf, ui->page_9},     {ui->pb_menu_autobackup, ui->page_11},
        {ui->pb_menu_guid, ui->page_7},    {ui->pb_menu_lang, ui->page_8},
        {ui->pb_menu_graph, ui->page_10},
    };
    QCOMPARE(ui->stackedWidget_menu->count(), menu.size());
    for (int id = 0; id < menu.size(); ++id) {
        QCOMPARE(ui->stackedWidget_menu->widget(id), menu[id].second);
        QCOMPARE(ui->verticalLayout->indexOf(menu[id].first), id);
    }
    // Cards sit on their own page.
    QVERIFY(ui->page->isAncestorOf(ui->widget_10));
    QVERIFY(ui->page_4->isAncestorOf(ui->widget_21));
    QVERIFY(ui->page_5->isAncestorOf(ui->pb_limit_enable_T4));
    QVERIFY(ui->page_10->isAncestorOf(ui->pb_T4_color));
    QVERIFY(ui->widget_7->isAncestorOf(ui->comboBox_freq));
    QVERIFY(ui->widget_25->isAncestorOf(ui->pushButton_15));
}

void TestMainWindowForm::textsAndTips()
{
    QCOMPARE(ui->label_8->text(), QStringLiteral("文件"));
    QCOMPARE(ui->pb_connect->text(), QStringLiteral("连接设备"));
    QCOMPARE(ui->pb_new_file->toolTip(), QStringLiteral("新建"));
    QCOMPARE(ui->pb_open_file->toolTip(), QStringLiteral("打开"));
    QCOMPARE(ui->pb_save_file->toolTip(), QStringLiteral("保存"));
    QCOMPARE(ui->pb_save_file_as->toolTip(), QStringLiteral("另存为"));
    QCOMPARE(ui->pb_read_flash->toolTip(), QStringLiteral("导入设备数据"));
    // File buttons show icons only.
    QVERIFY(ui->pb_read_flash->text().isEmpty());
    QCOMPARE(ui->pb_sys_setting->toolTip(), QStringLiteral("设置"));
    QCOMPARE(ui->pb_start->toolTip(), QStringLiteral("开始/结束"));
    QCOMPARE(ui->pb_switch->toolTip(), QStringLiteral("切换"));
    QCOMPARE(ui->pb_switch_2->toolTip(), QStringLiteral("切换"));
    QCOMPARE(ui->pb_graph->toolTip(), QStringLiteral("坐标轴"));
    QCOMPARE(ui->pb_hold->text(), QStringLiteral("HOLD"));
    QCOMPARE(ui->label_3->text(), QStringLiteral("存储间隔"));
    QCOMPARE(ui->tabWidget_data->tabText(0), QStringLiteral("图表"));
    QCOMPARE(ui->tabWidget_data->tabText(1), QStringLiteral("表格"));
    QCOMPARE(ui->tabWidget->tabText(ui->tabWidget->indexOf(ui->tab_6)), QStringLiteral("面板控制"));
    QCOMPARE(ui->tabWidget->tabText(ui->tabWidget->indexOf(ui->tab_9)), QStringLiteral("蓝牙"));
    QCOMPARE(ui->groupBox_10->title(), QStringLiteral("差值模式"));
    QCOMPARE(ui->groupBox_9->title(), QStringLiteral("计量模式"));
    QCOMPARE(ui->groupBox_8->title(), QStringLiteral(" 蓝牙"));
    QCOMPARE(ui->pb_meansure_normal->text(), QStringLiteral("   NORMAL"));
    QCOMPARE(ui->pb_diff_normal->text(), QStringLiteral("NORMAL"));
    QCOMPARE(ui->pb_ble_off->text(), QStringLiteral("OFF"));
    QCOMPARE(ui->pb_ble_on->text(), QStringLiteral("ON"));

    const QStringList menuTexts = {"设备",     "单位",         "热电偶类型", "热电偶补偿",
                                   "报警阈值", "持续测量时间", "PDF设置",    "数据备份",
                                   "说明书",   "语言",         "图表设置"};
    for (int i = 0; i < menuTexts.size(); ++i) {
        auto *button = qobject_cast<QAbstractButton *>(ui->verticalLayout->itemAt(i)->widget());
        QVERIFY(button);
        QCOMPARE(button->text(), menuTexts[i]);
    }

    QCOMPARE(ui->label_15->text(), QStringLiteral("设备"));
    QCOMPARE(ui->label_fw_ver->text(), QStringLiteral("固件版本"));
    QCOMPARE(ui->pb_time_sync->text(), QStringLiteral("时间同步"));
    QCOMPARE(ui->label_dev_status->text(), QStringLiteral("状态"));
    QCOMPARE(ui->label_dev_name->text(), QStringLiteral("设备名称"));
    QVERIFY(!ui->label_14->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!ui->label_com_logo->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(ui->label_16->text(), QStringLiteral("设备存储空间"));
    QCOMPARE(ui->label_18->text(), QStringLiteral("自动关机"));
    QCOMPARE(ui->label_19->text(), QStringLiteral(" 工频抗干扰"));
    QCOMPARE(ui->label_20->text(), QStringLiteral("清除设备存储数据"));
    QCOMPARE(ui->label_21->text(), QStringLiteral("恢复出厂设置"));
    QCOMPARE(ui->label_36->text(), QStringLiteral(" 单位"));
    QCOMPARE(ui->label_23->text(), QStringLiteral("T1热电偶类型"));
    QCOMPARE(ui->label_26->text(), QStringLiteral("T4热电偶类型"));
    QCOMPARE(ui->label_37->text(), QStringLiteral("热电偶类型"));
    QCOMPARE(ui->label_22->text(), QStringLiteral("补偿档位"));
    QCOMPARE(ui->label_12->text(), QStringLiteral(" 通道"));
    QCOMPARE(ui->label_17->text(), QStringLiteral("实时温度  "));
    QCOMPARE(ui->label_13->text(), QStringLiteral("环境温度"));
    QCOMPARE(ui->label_tmp_e->text(), QStringLiteral("25.0"));
    QCOMPARE(ui->label_38->text(), QStringLiteral("热电偶补偿"));
    for (QLabel *unit :
         {ui->label_hi_limit, ui->label_hi_limit_2, ui->label_hi_limit_3, ui->label_hi_limit_4})
        QCOMPARE(unit->text(), QStringLiteral("℃"));
    QCOMPARE(ui->label_39->text(), QStringLiteral("报警阈值"));
    QCOMPARE(ui->label_40->text(), QStringLiteral("持续测量时间"));
    QCOMPARE(ui->label_9->text(), QStringLiteral("备注："));
    QCOMPARE(ui->label_10->text(), QStringLiteral("logo"));
    QCOMPARE(ui->pb_seclet_logo->text(), QStringLiteral("更换"));
    QCOMPARE(ui->label_5->text(), QStringLiteral("测试人员"));
    QCOMPARE(ui->label_4->text(), QStringLiteral("公司名称"));
    QCOMPARE(ui->label_43->text(), QStringLiteral("PDF设置"));
    QCOMPARE(ui->label_45->text(), QStringLiteral("数据备份"));
    QCOMPARE(ui->label_32->text(), QStringLiteral("自动备份"));
    QCOMPARE(ui->label_33->text(), QStringLiteral("KX740D使用说明书"));
    QCOMPARE(ui->label_34->text(), QStringLiteral("PC软件使用说明书"));
    QCOMPARE(ui->label_41->text(), QStringLiteral("使用手册"));
    QCOMPARE(ui->label_42->text(), QStringLiteral("语言"));
    QCOMPARE(ui->label_44->text(), QStringLiteral("图表设置"));
    QCOMPARE(ui->label_11->text(), QStringLiteral("line_style"));
    QCOMPARE(ui->label_31->text(), QStringLiteral("ScatterShape"));
    QCOMPARE(ui->checkBox_yasix->text(), QStringLiteral("Y轴标题"));
    QCOMPARE(ui->checkBox_xasix->text(), QStringLiteral("X轴标题"));
    QCOMPARE(ui->checkBox_legend->text(), QStringLiteral("图例"));
    QCOMPARE(ui->pb_bash->text(), QStringLiteral(" 仪表工作台"));
    QCOMPARE(ui->pb_dev_info->text(), QStringLiteral("设备"));
    QCOMPARE(ui->pb_debug->text(), QStringLiteral(" debug"));
    QCOMPARE(ui->widget_title->styleSheet(), QStringLiteral("background-color: #45464a;"));
    QCOMPARE(ui->widget_33->styleSheet(), QStringLiteral("background-color:#f6f7fc;"));

    const QList<QAbstractButton *> channels = {ui->pb_T1, ui->pb_T2, ui->pb_T3, ui->pb_T4};
    const QList<QAbstractButton *> colours = {ui->pb_T1_color, ui->pb_T2_color, ui->pb_T3_color,
                                              ui->pb_T4_color};
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("T%1").arg(i + 1);
        QCOMPARE(channels[i]->text(), name);
        QCOMPARE(colours[i]->text(), name);
    }
}

void TestMainWindowForm::comboItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    const QStringList types = {"K", "J", "T", "E", "R", "S", "N"};
    QTest::newRow("T1") << "comboBox_T1" << types;
    QTest::newRow("T2") << "comboBox_T2" << types;
    QTest::newRow("T3") << "comboBox_T3" << types;
    QTest::newRow("T4") << "comboBox_T4" << types;
    QTest::newRow("unit") << "comboBox_unit" << QStringList{"℃", "℉", "K"};
    QTest::newRow("freq") << "comboBox_freq" << QStringList{"50Hz", "60HZ"};
    QTest::newRow("lang") << "comboBox_lang" << QStringList{"中文", "English"};
}

void TestMainWindowForm::comboItems()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    auto *box = m_window->findChild<QComboBox *>(name);
    QVERIFY(box);
    QCOMPARE(::comboItems(box), items);
}

void TestMainWindowForm::numberBoxes()
{
    struct Whole
    {
        QSpinBox *box;
        int min, max, value;
        const char *suffix;
    };
    const Whole wholes[] = {
        {ui->spinBox_interval_hour, 0, 24, 0, " 时"}, {ui->spinBox_interval_min, 0, 59, 0, " 分"},
        {ui->spinBox_interval_sec, 0, 59, 0, " 秒"},  {ui->spinBox_contitime_hour, 0, 24, 0, " 时"},
        {ui->spinBox_contitime_min, 0, 59, 1, " 分"}, {ui->spinBox_contitime_sec, 0, 59, 0, " 秒"},
    };
    for (const Whole &w : wholes) {
        QCOMPARE(w.box->minimum(), w.min);
        QCOMPARE(w.box->maximum(), w.max);
        QCOMPARE(w.box->value(), w.value);
        QCOMPARE(w.box->suffix(), QString::fromUtf8(w.suffix));
    }
    QCOMPARE(ui->spinBox_line_style->minimum(), 0);
    QCOMPARE(ui->spinBox_line_style->maximum(), 4);
    QCOMPARE(ui->spinBox_ScatterShape->minimum(), 0);
    QCOMPARE(ui->spinBox_ScatterShape->maximum(), 13);

    for (QDoubleSpinBox *offset : {ui->doubleSpinBox_offset_1, ui->doubleSpinBox_offset_2,
                                   ui->doubleSpinBox_offset_3, ui->doubleSpinBox_offset_4}) {
        QCOMPARE(offset->decimals(), 1);
        QCOMPARE(offset->minimum(), -5.0);
        QCOMPARE(offset->maximum(), 5.0);
        QCOMPARE(offset->singleStep(), 0.1);
    }
    const QList<QDoubleSpinBox *> highs = {
        ui->doubleSpinBox_hi_limit_T1, ui->doubleSpinBox_hi_limit_T2, ui->doubleSpinBox_hi_limit_T3,
        ui->doubleSpinBox_hi_limit_T4};
    const QList<QDoubleSpinBox *> lows = {
        ui->doubleSpinBox_low_limit_T1, ui->doubleSpinBox_low_limit_T2,
        ui->doubleSpinBox_low_limit_T3, ui->doubleSpinBox_low_limit_T4};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(highs[i]->prefix(), QStringLiteral("上限 "));
        QCOMPARE(lows[i]->prefix(), QStringLiteral("下限  "));
        // The window narrows the boxes to the range of type K in Celsius.
        for (QDoubleSpinBox *box : {highs[i], lows[i]}) {
            QCOMPARE(box->minimum(), -200.0);
            QCOMPARE(box->maximum(), 1372.0);
            QCOMPARE(box->decimals(), 2);
        }
    }
}

void TestMainWindowForm::actions()
{
    QCOMPARE(ui->action_about->text(), QStringLiteral("关于"));
    QVERIFY(!ui->action_about->icon().isNull());
    QVERIFY(ui->action_line->isCheckable());
    QCOMPARE(ui->action_line->text(), QStringLiteral("参考线"));
    QCOMPARE(ui->action_line->toolTip(), QStringLiteral("开启用于对齐表格"));
    QCOMPARE(ui->action_copy->text(), QStringLiteral("复制"));
    QCOMPARE(ui->action_copy->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    QVERIFY(!ui->action_copy->icon().isNull());
    for (QAction *action : {ui->action_about, ui->action_line, ui->action_copy})
        QCOMPARE(action->parent(), m_window.get());
}

void TestMainWindowForm::startUpState()
{
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(m_window->hasMouseTracking());

    QVERIFY(ui->tabWidget_window->tabBar()->isHidden());
    QCOMPARE(ui->tabWidget_window->currentIndex(), 0);
    QVERIFY(ui->tabWidget_data->tabBar()->isHidden());
    QCOMPARE(ui->tabWidget_data->currentIndex(), 0);
    QCOMPARE(ui->stackedWidget->currentIndex(), 0);
    QCOMPARE(ui->stackedWidget_menu->currentIndex(), 0);
    const QList<QWidget *> hiddenAtStart = {ui->pb_time_sync, ui->label_dev_status, ui->pb_hold,
                                            ui->comboBox_COM};
    for (QWidget *hidden : hiddenAtStart)
        QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
    // What stays visible inside its page.
    QVERIFY(!ui->pb_start->isHidden());
    QVERIFY(!ui->widget_24->isHidden());
    QVERIFY(!ui->widget_25->isHidden()); // the program's own manual is shipped
    QVERIFY(ui->pb_start->isCheckable());
    QVERIFY(!ui->pb_start->isChecked());
    QCOMPARE(ui->progressBar_2->value(), 0);
}

void TestMainWindowForm::buttonLook()
{
    const QColor orange("#f97932");
    const QList<NavButton *> menu = {
        ui->pb_menu_dev,   ui->pb_menu_unit,      ui->pb_menu_tc_type, ui->pb_menu_tc_offset,
        ui->pb_menu_limit, ui->pb_menu_test_time, ui->pb_menu_pdf,     ui->pb_menu_autobackup,
        ui->pb_menu_guid,  ui->pb_menu_lang,      ui->pb_menu_graph};
    for (NavButton *button : menu) {
        QVERIFY(button->isCheckable());
        QCOMPARE(button->getCheckBgColor(), orange);
        QCOMPARE(button->getIconSpace(), 15);
        QCOMPARE(button->getPaddingLeft(), 40);
        QCOMPARE(button->getCheckTextColor(), QColor(Qt::white));
        QVERIFY2(!button->getIconNormal().isNull(), qPrintable(button->objectName()));
        QVERIFY2(!button->getIconCheck().isNull(), qPrintable(button->objectName()));
        // The selected entry shows the white variant, not the grey icon.
        QVERIFY(button->getIconCheck().toImage() != button->getIconNormal().toImage());
    }
    QVERIFY(ui->pb_menu_dev->isChecked());
    QVERIFY(!ui->pb_menu_unit->isChecked());

    for (NavButton *button : {ui->pb_win_min, ui->pb_win_max, ui->pb_sys_setting}) {
        QCOMPARE(button->getNormalBgColor(), QColor("#45464a"));
        QCOMPARE(button->getHoverBgColor(), QColor("#8a8a8a"));
    }
    QCOMPARE(ui->pb_win_close->getNormalBgColor(), QColor("#45464a"));
    QCOMPARE(ui->pb_win_close->getHoverBgColor(), QColor("#e81123"));

    QCOMPARE(ui->pb_connect->getNormalBgColor(), QColor("#999999"));
    QCOMPARE(ui->pb_connect->getHoverBgColor(), QColor("#e0e0e0"));
    QCOMPARE(ui->pb_connect->getNormalTextColor(), QColor(Qt::white));

    for (NavButton *tile :
         {ui->pb_diff_normal, ui->pb_diff_T4, ui->pb_meansure_avg, ui->pb_ble_on}) {
        QVERIFY(tile->isCheckable());
        QCOMPARE(tile->getNormalBgColor(), QColor("#F6F7FC"));
        QCOMPARE(tile->getHoverBgColor(), QColor("#F6F7FC"));
        QCOMPARE(tile->getCheckBgColor(), orange);
        QCOMPARE(tile->getIconNormal().toImage(), resourceImage("ic_dif_mr3x"));
        QCOMPARE(tile->getIconHover().toImage(), resourceImage("ic_dif_mr3x"));
        QCOMPARE(tile->getIconCheck().toImage(), resourceImage("ic_dif_dj3x"));
    }

    const QColor colours[4] = {Qt::darkRed, Qt::darkGreen, Qt::darkBlue, Qt::darkMagenta};
    const GraphButton *channels[4] = {ui->pb_T1, ui->pb_T2, ui->pb_T3, ui->pb_T4};
    const GraphButton *pickers[4] = {ui->pb_T1_color, ui->pb_T2_color, ui->pb_T3_color,
                                     ui->pb_T4_color};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(channels[i]->color(), colours[i]);
        QVERIFY(channels[i]->isChecked());
        QVERIFY(channels[i]->showIcon());
        QCOMPARE(pickers[i]->color(), colours[i]);
        QVERIFY(!pickers[i]->showIcon());
    }
}

void TestMainWindowForm::retranslationRestoresTexts()
{
    MainWindow window;
    Ui::MainWindow *form = window.form();
    form->pb_connect->setText(QStringLiteral("x"));
    form->pb_read_flash->setToolTip(QStringLiteral("x"));
    form->comboBox_lang->setItemText(0, QStringLiteral("x"));
    form->spinBox_interval_hour->setSuffix(QStringLiteral("x"));
    form->doubleSpinBox_low_limit_T3->setPrefix(QStringLiteral("x"));
    form->tabWidget_data->setTabText(1, QStringLiteral("x"));
    form->groupBox_8->setTitle(QStringLiteral("x"));
    form->action_line->setToolTip(QStringLiteral("x"));

    form->retranslateUi(&window);

    QCOMPARE(form->pb_connect->text(), QStringLiteral("连接设备"));
    QCOMPARE(form->pb_read_flash->toolTip(), QStringLiteral("导入设备数据"));
    QCOMPARE(form->comboBox_lang->itemText(0), QStringLiteral("中文"));
    QCOMPARE(form->spinBox_interval_hour->suffix(), QStringLiteral(" 时"));
    QCOMPARE(form->doubleSpinBox_low_limit_T3->prefix(), QStringLiteral("下限  "));
    QCOMPARE(form->tabWidget_data->tabText(1), QStringLiteral("表格"));
    QCOMPARE(form->groupBox_8->title(), QStringLiteral(" 蓝牙"));
    QCOMPARE(form->action_line->toolTip(), QStringLiteral("开启用于对齐表格"));
}

void TestMainWindowForm::translatorReplacesTexts()
{
    FakeEnglish english;
    QVERIFY(QCoreApplication::installTranslator(&english));
    MainWindow window;
    QCoreApplication::removeTranslator(&english);
    Ui::MainWindow *form = window.form();

    QCOMPARE(form->pb_connect->text(), QStringLiteral("Connect device"));
    QCOMPARE(form->pb_menu_tc_offset->text(), QStringLiteral("Thermocouple compensation"));
    QCOMPARE(form->label_38->text(), QStringLiteral("Thermocouple compensation"));
    QCOMPARE(form->spinBox_contitime_hour->suffix(), QStringLiteral(" h"));
    QCOMPARE(form->doubleSpinBox_hi_limit_T2->prefix(), QStringLiteral("Upper limit "));
    QCOMPARE(form->tabWidget_data->tabText(0), QStringLiteral("Chart"));
    QCOMPARE(form->comboBox_lang->itemText(0), QStringLiteral("Chinese"));
    QCOMPARE(form->pb_read_flash->toolTip(), QStringLiteral("Import device data"));
    QCOMPARE(form->action_line->text(), QStringLiteral("Reference line"));
    // Texts the translation leaves alone stay as they are.
    QCOMPARE(form->pb_T3->text(), QStringLiteral("T3"));
    QCOMPARE(form->pb_meansure_normal->text(), QStringLiteral("   NORMAL"));
    QCOMPARE(form->comboBox_freq->itemText(1), QStringLiteral("60HZ"));
    QCOMPARE(form->label_16->text(), QStringLiteral("设备存储空间"));
}

void TestMainWindowForm::settingsLabelsShowTheirContentWhole_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("en") << kLanguageEnglish;
    QTest::newRow("zh") << kLanguageChinese;
}

// In the open settings window, with the real translations and fonts, the
// largest stored-record count and the logo are not cut by the layout.
void TestMainWindowForm::settingsLabelsShowTheirContentWhole()
{
    QFETCH(int, language);
    const QList<QTranslator *> translators =
        installTranslators(*QCoreApplication::instance(), language);
    MainWindow window;
    for (QTranslator *translator : translators)
        QCoreApplication::removeTranslator(translator);
    qDeleteAll(translators);
    Ui::MainWindow *form = window.form();
    window.instrumentPage()->flash_used_num_update(80000);
    window.systemPage()->on_pb_debug_clicked();
    QVERIFY(QTest::qWaitForWindowExposed(window.settingsWindow()));

    const QList<QPair<int, QLabel *>> labels = {{0, form->label_flash_used}, {6, form->label_logo}};
    for (const auto &page : labels) {
        form->stackedWidget_menu->setCurrentIndex(page.first);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY2(page.second->width() >= page.second->sizeHint().width(),
                 qPrintable(QStringLiteral("%1: %2 < %3")
                                .arg(page.second->objectName())
                                .arg(page.second->width())
                                .arg(page.second->sizeHint().width())));
    }
    window.systemPage()->on_pb_debug_clicked();
}

void TestMainWindowForm::styleSheetReadAsLatin1FromWorkingDirectory()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("cs.qss")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    // 0xE9 is "e acute" in Latin-1 and an invalid byte in UTF-8.
    const QByteArray sheet("QLabel#label_8 { color: #010203; } /* caf\xe9 */");
    file.write(sheet);
    file.close();

    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QString applied;
    {
        MainWindow window;
        applied = window.styleSheet();
    }
    QVERIFY(QDir::setCurrent(previous));

    QCOMPARE(applied, QString::fromLatin1(sheet));
    QVERIFY(applied.endsWith(QStringLiteral("caf\u00e9 */")));
}

// The tree's menu opened beside the measurements: "保存" does not apply
// there, "新建" does. Each entry's darkest pixel is its text.
void TestMainWindowForm::disabledMenuEntriesAreGreyed()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::copy(QDir(QCoreApplication::applicationDirPath()).filePath("cs.qss"),
                        dir.filePath(QStringLiteral("cs.qss"))));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    MainWindow window;
    QVERIFY(QDir::setCurrent(previous));
    window.archivePage()->on_treeWidget_customContextMenuRequested(QPoint(5, 400));
    const QList<QMenu *> menus =
        window.findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(!menus.isEmpty());
    QMenu *menu = menus.last();
    const QImage image = menu->grab().toImage();
    const auto darkest = [&](const QString &text) {
        for (QAction *action : menu->actions()) {
            if (action->text() != text)
                continue;
            const QRect rect = menu->actionGeometry(action);
            int value = 255;
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x <= rect.right(); ++x)
                    value = qMin(value, qGray(image.pixel(x, y)));
            return value;
        }
        return -1;
    };
    const int enabled = darkest(QStringLiteral("新建"));
    const int disabled = darkest(QStringLiteral("保存"));
    QVERIFY(enabled >= 0 && disabled >= 0);
    QVERIFY2(disabled > enabled + 60,
             qPrintable(QStringLiteral("%1 vs %2").arg(disabled).arg(enabled)));
    menu->close();
}

void TestMainWindowForm::titleBarDragsTheWindow()
{
    MainWindow window;
    Ui::MainWindow *form = window.form();
    window.resize(1000, 700);
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();

    auto send = [&window](QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
                          Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, window.mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &event);
    };

    // Pressing below the title bar and dragging leaves the window where it is.
    form->widget_title->setAttribute(Qt::WA_UnderMouse, false);
    send(QEvent::MouseButtonPress, QPoint(400, 300), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(440, 330), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(440, 330), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(window.pos(), start);

    // Over the title bar the window follows the mouse.
    form->widget_title->setAttribute(Qt::WA_UnderMouse, true);
    send(QEvent::MouseButtonPress, QPoint(400, 20), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(430, 35), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.pos(), start + QPoint(30, 15));
    send(QEvent::MouseButtonRelease, QPoint(400, 20), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseMove, QPoint(450, 40), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.pos(), start + QPoint(30, 15));

    // A double click on the title bar maximises, a second one restores.
    send(QEvent::MouseButtonDblClick, QPoint(400, 20), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(window.isMaximized());
    send(QEvent::MouseButtonDblClick, QPoint(400, 20), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(!window.isMaximized());
}

QTEST_MAIN(TestMainWindowForm)
#include "tst_mainwindowform.moc"
