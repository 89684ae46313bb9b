#include "app/mainwindowlook.h"

#include "ui_mainwindow.h"

#include <QIcon>
#include <QPixmap>

using namespace MainWindowLook;

namespace {

// Narrowest settings menu, and the room kept right of the longest entry.
constexpr int kMenuMinWidth = 180;
constexpr int kMenuSlack = 16;

QPixmap image(const QString &name)
{
    return QPixmap(QStringLiteral(":/images/%1.png").arg(name));
}

// NavButton refreshes its three pixmaps from its QIcon on every paint, so a
// button that needs a different picture per state must not keep the icon the
// form gave it.
void setStatePixmaps(NavButton *button, const QPixmap &normal, const QPixmap &hover,
                     const QPixmap &check)
{
    button->setIcon(QIcon());
    button->setIconNormal(normal);
    button->setIconHover(hover);
    button->setIconCheck(check);
}

void setColours(NavButton *button, const QColor &normalBg, const QColor &hoverBg,
                const QColor &checkBg, const QColor &normalText, const QColor &hoverText,
                const QColor &checkText)
{
    button->setNormalBgColor(normalBg);
    button->setHoverBgColor(hoverBg);
    button->setCheckBgColor(checkBg);
    button->setNormalTextColor(normalText);
    button->setHoverTextColor(hoverText);
    button->setCheckTextColor(checkText);
}

// Icon-only button on a white panel: the icon centred, a light shade on hover.
void styleIconButton(NavButton *button, int iconSide)
{
    setColours(button, Qt::white, QColor("#eceef5"), QColor("#eceef5"), kText, kText, kText);
    button->setIconAlign(NavButton::IconPosition_mid);
    button->setIconSpace(0);
    button->setIconSize(QSize(iconSide, iconSide));
}

void styleTitleButtons(Ui::MainWindow *ui)
{
    for (NavButton *button : {ui->pb_sys_setting, ui->pb_win_min, ui->pb_win_max}) {
        setColours(button, kTitleBar, kTitleHover, kTitleBar, Qt::white, Qt::white, Qt::white);
        button->setIconSize(QSize(18, 18));
    }
    setColours(ui->pb_win_close, kTitleBar, kCloseHover, kTitleBar, Qt::white, Qt::white,
               Qt::white);
    ui->pb_win_close->setIconSize(QSize(18, 18));
}

// The eleven settings-menu buttons, in the order of the settings pages, with
// the base names of their grey icons; "<name>_w" is the white variant shown
// on the orange background of the selected entry.
void styleSettingsMenu(Ui::MainWindow *ui)
{
    const struct
    {
        NavButton *button;
        const char *icon;
    } menu[] = {
        {ui->pb_menu_dev, "ic_menu_dev"},         {ui->pb_menu_unit, "ic_menu_unit"},
        {ui->pb_menu_tc_type, "ic_menu_tc_type"}, {ui->pb_menu_tc_offset, "ic_menu_tc_offset"},
        {ui->pb_menu_limit, "ic_menu_limit"},     {ui->pb_menu_test_time, "ic_menu_time"},
        {ui->pb_menu_pdf, "ic_menu_pdf"},         {ui->pb_menu_autobackup, "ic_menu_backup"},
        {ui->pb_menu_guid, "ic_menu_guide"},      {ui->pb_menu_lang, "ic_menu_lang"},
        {ui->pb_menu_graph, "ic_menu_graph"},
    };
    for (const auto &entry : menu) {
        NavButton *button = entry.button;
        const QString name = QLatin1String(entry.icon);
        button->setCheckable(true);
        setColours(button, Qt::white, QColor("#f2f3f7"), kAccent, kText, kText, Qt::white);
        const QPixmap grey = image(name);
        setStatePixmaps(button, grey, grey, image(name + QLatin1String("_w")));
        button->setIconAlign(NavButton::IconPosition_Left);
        button->setIconSpace(15);
        button->setIconSize(QSize(18, 18));
        button->setPaddingLeft(40);
        button->setPaddingRight(8);
        button->setTextAlign(NavButton::TextAlign_Left);
    }
    ui->pb_menu_dev->setChecked(true);

    // The column is as wide as the longest entry in the current language
    // (the form is already translated here), so English entries stay on one
    // line and the Chinese menu does not waste space.
    int widest = 0;
    for (const auto &entry : menu) {
        NavButton *button = entry.button;
        widest = qMax(widest, button->fontMetrics().horizontalAdvance(button->text()) +
                                  button->getPaddingLeft() + button->getPaddingRight());
    }
    ui->widget_4->setFixedWidth(qMax(kMenuMinWidth, widest + kMenuSlack));
}

// Not-connected look of the connect button; the connection state switches
// the colours later.
void styleConnectButton(Ui::MainWindow *ui)
{
    NavButton *button = ui->pb_connect;
    setColours(button, kDisconnected, kDisconnectedHover, kAccent, Qt::white, kText, Qt::white);
    button->setIconAlign(NavButton::IconPosition_Left);
    button->setIconSpace(14);
    button->setIconSize(QSize(18, 18));
    button->setPaddingLeft(24);
}

// Checkable tile of the instrument panel: a round mark left of the text that
// fills when the tile is on, and the orange background of a selected entry.
void styleTile(NavButton *button, bool withMark)
{
    button->setCheckable(true);
    setColours(button, kWorkArea, kWorkArea, kAccent, kText, kText, Qt::white);
    if (withMark) {
        const QPixmap mark = image(QStringLiteral("ic_dif_mr3x"));
        setStatePixmaps(button, mark, mark, image(QStringLiteral("ic_dif_dj3x")));
        button->setIconAlign(NavButton::IconPosition_Left);
        button->setIconSpace(12);
        button->setIconSize(QSize(18, 18));
        button->setPaddingLeft(40);
        button->setTextAlign(NavButton::TextAlign_Left);
    } else {
        button->setShowIcon(false);
    }
}

void styleInstrumentPanel(Ui::MainWindow *ui)
{
    for (NavButton *button :
         {ui->pb_diff_normal, ui->pb_diff_T1, ui->pb_diff_T2, ui->pb_diff_T3, ui->pb_diff_T4,
          ui->pb_meansure_max, ui->pb_meansure_min, ui->pb_meansure_normal, ui->pb_meansure_avg,
          ui->pb_ble_off, ui->pb_ble_on})
        styleTile(button, true);
    styleTile(ui->pb_hold, false);
}

void styleWorkspaceButtons(Ui::MainWindow *ui)
{
    for (NavButton *button : {ui->pb_new_file, ui->pb_open_file, ui->pb_save_file,
                              ui->pb_save_file_as, ui->pb_read_flash})
        styleIconButton(button, 24);
    for (NavButton *button : {ui->pb_switch, ui->pb_switch_2, ui->pb_graph})
        styleIconButton(button, 22);

    // Start/stop: the play mark while stopped, the stop mark while recording.
    NavButton *start = ui->pb_start;
    start->setCheckable(true);
    setColours(start, Qt::white, Qt::white, Qt::white, kText, kText, kText);
    const QPixmap play = image(QStringLiteral("ic_start"));
    setStatePixmaps(start, play, play, image(QStringLiteral("ic_stop")));
    start->setIconAlign(NavButton::IconPosition_mid);
    start->setIconSpace(0);
    start->setIconSize(QSize(42, 42));
}

void styleSettingsButtons(Ui::MainWindow *ui)
{
    for (NavButton *button :
         {ui->pb_erase_flash, ui->pb_reset, ui->pb_open_user_datasheet, ui->pushButton_15})
        styleIconButton(button, 22);
    for (NavButton *button : {ui->pb_time_sync, ui->pb_seclet_logo})
        setColours(button, kAccent, kAccentHover, kAccent, Qt::white, Qt::white, Qt::white);
    // Read-outs of the live temperature beside each offset box.
    for (NavButton *button : {ui->pb_offset_1, ui->pb_offset_2, ui->pb_offset_3, ui->pb_offset_4})
        setColours(button, kWorkArea, kWorkArea, kWorkArea, kText, kText, kText);
}

void styleNavigationStrip(Ui::MainWindow *ui)
{
    for (NavButton *button : {ui->pb_bash, ui->pb_dev_info, ui->pb_debug})
        setColours(button, Qt::white, kAccent, kAccent, kText, Qt::white, Qt::white);
}

// The colours are the chart's channel colours, set with the chart.
void styleChannelButtons(Ui::MainWindow *ui)
{
    GraphButton *visibility[4] = {ui->pb_T1, ui->pb_T2, ui->pb_T3, ui->pb_T4};
    GraphButton *colourPickers[4] = {ui->pb_T1_color, ui->pb_T2_color, ui->pb_T3_color,
                                     ui->pb_T4_color};
    for (int i = 0; i < 4; ++i) {
        visibility[i]->setChecked(true);
        colourPickers[i]->setShowIcon(false);
    }
}

} // namespace

void applyMainWindowLook(Ui::MainWindow *ui)
{
    styleTitleButtons(ui);
    styleSettingsMenu(ui);
    styleConnectButton(ui);
    styleInstrumentPanel(ui);
    styleWorkspaceButtons(ui);
    styleSettingsButtons(ui);
    styleNavigationStrip(ui);
    styleChannelButtons(ui);
}
