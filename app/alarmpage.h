#pragma once

#include "app/alarmconfig.h"

#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

// The settings window's alarm page: how limits act (hysteresis, delay),
// which further alarms there are (probe, lost instrument) and how they tell
// someone (notification, sound). The limits themselves are set on the
// settings window's instrument tab ("Alarm limits"). Only shows and collects;
// whoever owns it stores and applies.
class AlarmPage : public QWidget
{
    Q_OBJECT

public:
    explicit AlarmPage(QWidget *parent = nullptr);

    void setOptions(const AlarmOptions &options);
    AlarmOptions options() const;
    // The hysteresis is shown in `unit` (0 Celsius, 1 Fahrenheit, 2 Kelvin).
    void setUnit(int unit);
    // Why the alarm sound is not heard, shown under its switch; empty hides it.
    void setSoundProblem(const QString &text);
    QString soundProblem() const;

signals:
    void edited();

private:
    QDoubleSpinBox *m_hysteresis;
    QSpinBox *m_delay;
    QCheckBox *m_probe;
    QSpinBox *m_linkLost;
    QCheckBox *m_notify;
    QCheckBox *m_sound;
    QLabel *m_soundProblem;
    int m_unit = 0;
    double m_hysteresisC = 0.5; // kept exact while the box rounds
};
