#pragma once

#include "instrument/records.h"
#include "widgets/dashboardrules.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

namespace Ui {
class Bash;
}
class NavButton;
class QLabel;

// The channel dashboard of the measurement page: one tile per channel T1..T4
// with the channel's name, value, unit, thermocouple letter and the MAX, MIN
// and AVG lines. The difference button on each tile makes that channel the
// reference; the other tiles then show their difference to it.
//
// The owner feeds it: live readings (showReading), the recording state
// (setRecording), the shown unit (setUnit) and, while recording, the recorded
// statistics (setStatistics, or setMaxText/setMinText/setAvgText per channel).
// Statistics setters only change the texts; they appear with the next
// reading or refreshTexts. The dashboard's difference mode is its own and
// does not follow the instrument's difference mode.
class Bash : public QWidget
{
    Q_OBJECT

public:
    explicit Bash(QWidget *parent = nullptr);
    ~Bash() override;

    // 0 none, 1..4 = T1..T4 is the reference.
    int differenceMode() const { return m_differenceMode; }
    unit_type unit() const { return m_unit; }
    bool isRecording() const { return m_recording; }
    const _T_PRINT_OUT_DATA &lastReading() const { return m_lastReading; }

    // Texts of T1..T4 as last computed (not necessarily shown yet).
    const QStringList &valueTexts() const { return m_texts.valueTexts; }
    const QStringList &typeTexts() const { return m_texts.typeTexts; }
    const QStringList &maxTexts() const { return m_texts.maxTexts; }
    const QStringList &minTexts() const { return m_texts.minTexts; }
    const QStringList &avgTexts() const { return m_texts.avgTexts; }
    bool isChannelAlarmed(int channel) const { return m_alarmed[channel]; }

public slots:
    // One live reading: keeps a copy, recomputes all texts and shows them.
    void showReading(const _T_PRINT_OUT_DATA &reading);
    // No instrument is connected: the values show "--\--" until the next
    // reading; types and statistics stay as they are.
    void clearReading();
    // While recording without a difference mode, the statistics lines keep
    // the recorded statistics instead of the instrument's mode values.
    void setRecording(bool recording);
    // Marks the tile of `channel` (0..3) while it has an active alarm.
    void setChannelAlarmed(int channel, bool alarmed);
    // The unit symbol changes at once; after a first reading the last reading
    // is shown again in the new unit.
    void setUnit(unit_type unit);

    // Statistics text of one channel (0..3; other indexes are ignored),
    // without redrawing.
    void setMaxText(const QString &text, int channel);
    void setMinText(const QString &text, int channel);
    void setAvgText(const QString &text, int channel);
    // The recorded statistics as the driver reports them: [maxima T1..T4],
    // [minima T1..T4], [averages T1..T4]. Ignored when a list or a text is
    // missing; does not redraw.
    void setStatistics(const QList<QList<QString>> &info);

    // Writes every text to the tiles, and the names by the difference mode.
    void refreshTexts();

    // Difference buttons of tiles 1..4, with the button's new state.
    void on_pb_ch_diff_mode_clicked(bool checked);
    void on_pb_ch_diff_mode_2_clicked(bool checked);
    void on_pb_ch_diff_mode_3_clicked(bool checked);
    void on_pb_ch_diff_mode_4_clicked(bool checked);
    // The value is not a control; clicking it does nothing.
    void on_pb_ch_value_clicked();

private:
    // Controls of one tile.
    struct Tile
    {
        NavButton *name = nullptr;
        NavButton *value = nullptr;
        NavButton *type = nullptr;
        NavButton *max = nullptr;
        NavButton *min = nullptr;
        NavButton *avg = nullptr;
        NavButton *diffMode = nullptr;
        QLabel *unit = nullptr;
        QWidget *card = nullptr;
    };

    void collectTiles();
    void applyLook();
    void showUnit();
    void differenceButtonClicked(int tile, bool on);

    Ui::Bash *ui;
    std::array<Tile, kChannelCount> m_tiles;
    std::array<bool, kChannelCount> m_alarmed{};

    DashboardTexts m_texts;
    _T_PRINT_OUT_DATA m_lastReading;
    bool m_hasReading = false;
    bool m_recording = false;
    unit_type m_unit = 0;
    int m_differenceMode = kNoDifference;
};
