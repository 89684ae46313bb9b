#include "widgets/bash.h"
#include "widgets/palette.h"

#include "instrument/temperature.h"
#include "ui_bash.h"
#include "widgets/navbutton.h"

#include <QStyle>

#include <QFont>
#include <QLabel>
#include <QPixmap>

namespace {

const QColor kCard("#ffffff");
const QColor kDiffNormal = Palette::kWorkArea;
const QColor kDiffChecked = Palette::kAccent;
const QColor kNameText = Palette::kTitleBar;
const QColor kValueText = Palette::kText;
const QColor kStatisticsText("#6b6d78");
const QColor kAlarmFrame("#c62828"); // the alarm strip's red
const QColor kTypeBadge("#fde9dd");

// Pixel sizes of the tile texts; the family is the application's.
constexpr int kNamePixels = 16;
constexpr int kValuePixels = 30;
constexpr int kUnitPixels = 15;
constexpr int kTypePixels = 11;
constexpr int kStatisticsPixels = 13;
constexpr int kDiffIconSide = 14;

QFont sizedFont(const QFont &base, int pixels, bool bold)
{
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A read-out painted as a NavButton: one background and one text colour in
// every state, so it does not react to the mouse like a control.
void styleReadout(NavButton *button, const QColor &background, const QColor &text,
                  NavButton::TextAlign align, const QFont &font)
{
    button->setNormalBgColor(background);
    button->setHoverBgColor(background);
    button->setCheckBgColor(background);
    button->setNormalTextColor(text);
    button->setHoverTextColor(text);
    button->setCheckTextColor(text);
    button->setShowIcon(false);
    button->setTextAlign(align);
    button->setFont(font);
}

void styleDifferenceButton(NavButton *button)
{
    button->setCheckable(true);
    button->setNormalBgColor(kDiffNormal);
    button->setHoverBgColor(kDiffNormal);
    button->setCheckBgColor(kDiffChecked);
    const QPixmap normal(QStringLiteral(":/images/ic_dif_mr3x.png"));
    button->setIconNormal(normal);
    button->setIconHover(normal);
    button->setIconCheck(QPixmap(QStringLiteral(":/images/ic_dif_dj3x.png")));
    button->setIconAlign(NavButton::IconPosition_mid);
    button->setIconSpace(0);
    button->setIconSize(QSize(kDiffIconSide, kDiffIconSide));
    button->setRoundCorner(true);
}

} // namespace

Bash::Bash(QWidget *parent) : QWidget(parent), ui(new Ui::Bash)
{
    ui->setupUi(this);
    collectTiles();
    applyLook();
    showUnit();
}

Bash::~Bash()
{
    delete ui;
}

void Bash::collectTiles()
{
    m_tiles[0] = {ui->pb_ch_num,       ui->pb_ch_value,   ui->pb_ch_type,
                  ui->pb_ch_max,       ui->pb_ch_min,     ui->pb_ch_avg,
                  ui->pb_ch_diff_mode, ui->label_ch_unit, ui->widget_ch};
    m_tiles[1] = {ui->pb_ch_num_2,       ui->pb_ch_value_2,   ui->pb_ch_type_2,
                  ui->pb_ch_max_2,       ui->pb_ch_min_2,     ui->pb_ch_avg_2,
                  ui->pb_ch_diff_mode_2, ui->label_ch_unit_2, ui->widget_ch_2};
    m_tiles[2] = {ui->pb_ch_num_3,       ui->pb_ch_value_3,   ui->pb_ch_type_3,
                  ui->pb_ch_max_3,       ui->pb_ch_min_3,     ui->pb_ch_avg_3,
                  ui->pb_ch_diff_mode_3, ui->label_ch_unit_3, ui->widget_ch_3};
    m_tiles[3] = {ui->pb_ch_num_4,       ui->pb_ch_value_4,   ui->pb_ch_type_4,
                  ui->pb_ch_max_4,       ui->pb_ch_min_4,     ui->pb_ch_avg_4,
                  ui->pb_ch_diff_mode_4, ui->label_ch_unit_4, ui->widget_ch_4};
}

void Bash::setChannelAlarmed(int channel, bool alarmed)
{
    if (channel < 0 || channel >= kChannelCount || m_alarmed[channel] == alarmed)
        return;
    m_alarmed[channel] = alarmed;
    QWidget *card = m_tiles[channel].card;
    card->setProperty("alarmed", alarmed);
    // A dynamic property takes effect in a style sheet only once polished again.
    card->style()->unpolish(card);
    card->style()->polish(card);
    card->update();
}

void Bash::applyLook()
{
    // The cards are plain widgets, so a style sheet may paint them; the
    // buttons paint themselves. The unit symbols' colour is set here too, as
    // the application's style sheet would override a palette.
    setStyleSheet(QStringLiteral("#widget_ch, #widget_ch_2, #widget_ch_3, #widget_ch_4 {"
                                 " background-color: %1; border-radius: 6px; }"
                                 " QWidget[alarmed=\"true\"] { border: 3px solid %3; }"
                                 " QLabel { color: %2; }")
                      .arg(kCard.name(), kStatisticsText.name(), kAlarmFrame.name()));

    const QFont base = font();
    for (const Tile &tile : m_tiles) {
        styleReadout(tile.name, kCard, kNameText, NavButton::TextAlign_Left,
                     sizedFont(base, kNamePixels, true));
        styleReadout(tile.value, kCard, kValueText, NavButton::TextAlign_Right,
                     sizedFont(base, kValuePixels, true));
        for (NavButton *line : {tile.max, tile.min, tile.avg})
            styleReadout(line, kCard, kStatisticsText, NavButton::TextAlign_Left,
                         sizedFont(base, kStatisticsPixels, false));

        styleReadout(tile.type, kTypeBadge, kDiffChecked, NavButton::TextAlign_Center,
                     sizedFont(base, kTypePixels, true));
        tile.type->setRoundCorner(true);
        // An empty letter leaves no empty badge, and the name does not move.
        QSizePolicy typePolicy = tile.type->sizePolicy();
        typePolicy.setRetainSizeWhenHidden(true);
        tile.type->setSizePolicy(typePolicy);
        tile.type->setVisible(!tile.type->text().isEmpty());

        styleDifferenceButton(tile.diffMode);

        tile.unit->setFont(sizedFont(base, kUnitPixels, false));
        // Lines the symbol up with the foot of the large digits.
        tile.unit->setContentsMargins(0, 0, 0, 7);
    }
}

void Bash::showUnit()
{
    const QString symbol = unitSymbol(m_unit);
    for (const Tile &tile : m_tiles)
        tile.unit->setText(symbol);
}

void Bash::showReading(const _T_PRINT_OUT_DATA &reading)
{
    m_lastReading = reading;
    m_hasReading = true;
    applyReading(m_texts, reading, m_recording, m_differenceMode, m_unit);
    refreshTexts();
}

void Bash::clearReading()
{
    m_hasReading = false;
    for (QString &text : m_texts.valueTexts)
        text = noReadingText();
    refreshTexts();
}

void Bash::setRecording(bool recording)
{
    m_recording = recording;
}

void Bash::setUnit(unit_type unit)
{
    if (unit == m_unit)
        return;
    m_unit = unit;
    showUnit();
    // The statistics of a recording stay in the unit they were computed in
    // until the next ones arrive; everything else follows at once.
    if (m_hasReading)
        showReading(m_lastReading);
}

void Bash::setMaxText(const QString &text, int channel)
{
    if (channel >= 0 && channel < kChannelCount)
        m_texts.maxTexts[channel] = text;
}

void Bash::setMinText(const QString &text, int channel)
{
    if (channel >= 0 && channel < kChannelCount)
        m_texts.minTexts[channel] = text;
}

void Bash::setAvgText(const QString &text, int channel)
{
    if (channel >= 0 && channel < kChannelCount)
        m_texts.avgTexts[channel] = text;
}

void Bash::setStatistics(const QList<QList<QString>> &info)
{
    if (!statisticsUsable(info))
        return;
    for (int i = 0; i < kChannelCount; ++i) {
        setMaxText(info.at(0).at(i), i);
        setMinText(info.at(1).at(i), i);
        setAvgText(info.at(2).at(i), i);
    }
}

void Bash::refreshTexts()
{
    for (int i = 0; i < kChannelCount; ++i) {
        const Tile &tile = m_tiles[i];
        tile.value->setText(m_texts.valueTexts.at(i));
        tile.type->setText(m_texts.typeTexts.at(i));
        tile.type->setVisible(!m_texts.typeTexts.at(i).isEmpty());
        tile.max->setText(maxLineText(m_texts.maxTexts.at(i)));
        tile.min->setText(minLineText(m_texts.minTexts.at(i)));
        tile.avg->setText(avgLineText(m_texts.avgTexts.at(i)));
        tile.name->setText(channelName(m_differenceMode, i));
    }
}

void Bash::differenceButtonClicked(int tile, bool on)
{
    if (on) {
        for (int i = 0; i < kChannelCount; ++i) {
            if (i != tile - 1)
                m_tiles[i].diffMode->setChecked(false);
        }
    }
    m_differenceMode = differenceModeAfterClick(m_differenceMode, tile, on);
    refreshTexts();
}

void Bash::on_pb_ch_diff_mode_clicked(bool checked)
{
    differenceButtonClicked(1, checked);
}

void Bash::on_pb_ch_diff_mode_2_clicked(bool checked)
{
    differenceButtonClicked(2, checked);
}

void Bash::on_pb_ch_diff_mode_3_clicked(bool checked)
{
    differenceButtonClicked(3, checked);
}

void Bash::on_pb_ch_diff_mode_4_clicked(bool checked)
{
    differenceButtonClicked(4, checked);
}

void Bash::on_pb_ch_value_clicked()
{
}
