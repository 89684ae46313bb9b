#include "app/alarmpage.h"

#include "instrument/temperature.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
// A difference of temperatures: Fahrenheit degrees are smaller.
double differenceFromCelsius(double c, int unit)
{
    return unit == 1 ? c * 1.8 : c;
}
double differenceToCelsius(double v, int unit)
{
    return unit == 1 ? v / 1.8 : v;
}
} // namespace

AlarmPage::AlarmPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("alarmPage"));
    m_hysteresis = new QDoubleSpinBox(this);
    m_hysteresis->setObjectName(QStringLiteral("doubleSpinBox_alarm_hysteresis"));
    m_hysteresis->setDecimals(1);
    m_hysteresis->setSingleStep(0.1);
    m_hysteresis->setToolTip(
        tr("告警在读数回到限值以内这么多之后才解除，探头在限值附近抖动时不会反复告警。"));
    m_delay = new QSpinBox(this);
    m_delay->setObjectName(QStringLiteral("spinBox_alarm_delay"));
    m_delay->setRange(0, 3600);
    m_delay->setSuffix(tr(" 秒"));
    m_delay->setToolTip(tr("超限状态持续这么久才告警。"));
    m_probe = new QCheckBox(tr("探头开路或超出量程时告警"), this);
    m_probe->setObjectName(QStringLiteral("checkBox_alarm_probe"));
    m_linkLost = new QSpinBox(this);
    m_linkLost->setObjectName(QStringLiteral("spinBox_alarm_link"));
    m_linkLost->setRange(0, 86400);
    m_linkLost->setSuffix(tr(" 秒"));
    m_linkLost->setSpecialValueText(tr("不告警"));
    m_linkLost->setToolTip(tr("连接或记录时，与仪器的连接断开这么久后告警。"));
    m_notify = new QCheckBox(tr("窗口不在前台时显示桌面通知"), this);
    m_notify->setObjectName(QStringLiteral("checkBox_alarm_notify"));
    m_sound = new QCheckBox(tr("告警时播放提示音，直到确认"), this);
    m_sound->setObjectName(QStringLiteral("checkBox_alarm_sound"));
    m_soundProblem = new QLabel(this);
    m_soundProblem->setObjectName(QStringLiteral("label_alarm_sound_problem"));
    m_soundProblem->setWordWrap(true);
    m_soundProblem->setStyleSheet(QStringLiteral("color: #d9480f;"));
    m_soundProblem->hide();

    auto *form = new QFormLayout;
    form->addRow(tr("回差"), m_hysteresis);
    form->addRow(tr("告警延时"), m_delay);
    form->addRow(tr("仪器断开告警"), m_linkLost);
    auto *note = new QLabel(
        tr("上下限在本窗口“仪器”页的“报警阈值”中设置并开启。告警显示在主窗口上方的告警栏中，"
           "直到情况恢复并被确认。"),
        this);
    note->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addWidget(m_probe);
    layout->addWidget(m_notify);
    layout->addWidget(m_sound);
    layout->addWidget(m_soundProblem);
    layout->addStretch(1);

    connect(m_hysteresis, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            [this](double v) {
                m_hysteresisC = differenceToCelsius(v, m_unit);
                emit edited();
            });
    for (QSpinBox *box : {m_delay, m_linkLost})
        connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, &AlarmPage::edited);
    for (QCheckBox *box : {m_probe, m_notify, m_sound})
        connect(box, &QCheckBox::toggled, this, &AlarmPage::edited);
    setUnit(0);
}

void AlarmPage::setOptions(const AlarmOptions &options)
{
    const QSignalBlocker b1(m_hysteresis), b2(m_delay), b3(m_probe), b4(m_linkLost), b5(m_notify),
        b6(m_sound);
    m_hysteresisC = options.hysteresisC;
    m_hysteresis->setValue(differenceFromCelsius(options.hysteresisC, m_unit));
    m_delay->setValue(options.delaySeconds);
    m_probe->setChecked(options.probe);
    m_linkLost->setValue(options.linkLostSeconds);
    m_notify->setChecked(options.notify);
    m_sound->setChecked(options.sound);
}

AlarmOptions AlarmPage::options() const
{
    AlarmOptions o;
    o.hysteresisC = m_hysteresisC;
    o.delaySeconds = m_delay->value();
    o.probe = m_probe->isChecked();
    o.linkLostSeconds = m_linkLost->value();
    o.notify = m_notify->isChecked();
    o.sound = m_sound->isChecked();
    return o;
}

void AlarmPage::setSoundProblem(const QString &text)
{
    m_soundProblem->setText(text);
    m_soundProblem->setVisible(!text.isEmpty());
}

QString AlarmPage::soundProblem() const
{
    return m_soundProblem->text();
}

void AlarmPage::setUnit(int unit)
{
    m_unit = unit;
    const QSignalBlocker block(m_hysteresis);
    m_hysteresis->setRange(0, differenceFromCelsius(50, unit));
    m_hysteresis->setSuffix(QLatin1Char(' ') + unitSymbol(unit));
    m_hysteresis->setValue(differenceFromCelsius(m_hysteresisC, unit));
}
