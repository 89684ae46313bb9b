#pragma once

#include "chart/overlayrules.h"

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

// The compact row above the chart while it compares measurements: how their
// time axes are aligned (clock, start, or the crossing of a temperature by a
// channel, rising or falling), and notes on what the chart could not do as
// asked (a measurement that never crossed, more measurements than it shows).
class OverlayControls : public QWidget
{
    Q_OBJECT

public:
    explicit OverlayControls(QWidget *parent = nullptr);

    // The rule chosen; the temperature box is in `unit` (0 Celsius, 1
    // Fahrenheit, 2 Kelvin), the rule in Celsius.
    AlignmentRule rule(int unit) const;
    void setUnitSymbol(const QString &symbol);
    // `notCrossed` names the measurements shown from their start instead;
    // `chosen` is how many were chosen, of which the chart shows kMaxOverlaid.
    void setNotes(const QStringList &notCrossed, int chosen);
    QString noteText() const;

signals:
    void ruleChanged();

private:
    QComboBox *m_mode = nullptr;
    QComboBox *m_channel = nullptr;
    QDoubleSpinBox *m_temperature = nullptr;
    QComboBox *m_direction = nullptr;
    QLabel *m_note = nullptr;
};
