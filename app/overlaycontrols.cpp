#include "app/overlaycontrols.h"

#include "instrument/temperature.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>

OverlayControls::OverlayControls(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("overlay_controls"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("overlay_alignment"));
    // In the order of OverlayAlignment.
    m_mode->addItems({tr("按时钟对齐"), tr("按开始对齐"), tr("按越过温度对齐")});
    m_channel = new QComboBox(this);
    m_channel->setObjectName(QStringLiteral("overlay_channel"));
    for (int ch = 0; ch < kChannelCount; ++ch)
        m_channel->addItem(QStringLiteral("T%1").arg(ch + 1));
    m_temperature = new QDoubleSpinBox(this);
    m_temperature->setObjectName(QStringLiteral("overlay_temperature"));
    m_temperature->setRange(-400, 3000);
    m_temperature->setDecimals(1);
    m_temperature->setValue(100);
    m_temperature->setKeyboardTracking(false);
    m_direction = new QComboBox(this);
    m_direction->setObjectName(QStringLiteral("overlay_direction"));
    m_direction->addItems({tr("上升"), tr("下降")});
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("overlay_note"));
    m_note->setWordWrap(true);
    row->addWidget(new QLabel(tr("对齐："), this));
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_mode, m_channel, m_temperature, m_direction})
        row->addWidget(w);
    row->addWidget(m_note, 1);

    const auto modeChanged = [this] {
        const bool crossing = m_mode->currentIndex() == int(OverlayAlignment::Crossing);
        m_channel->setEnabled(crossing);
        m_temperature->setEnabled(crossing);
        m_direction->setEnabled(crossing);
        emit ruleChanged();
    };
    connect(m_mode, qOverload<int>(&QComboBox::currentIndexChanged), this, modeChanged);
    modeChanged();
    for (QComboBox *box : {m_channel, m_direction})
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this,
                &OverlayControls::ruleChanged);
    connect(m_temperature, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &OverlayControls::ruleChanged);
}

AlignmentRule OverlayControls::rule(int unit) const
{
    AlignmentRule rule;
    rule.mode = OverlayAlignment(m_mode->currentIndex());
    rule.channel = m_channel->currentIndex();
    rule.celsius = double(unitToCelsius(float(m_temperature->value()), unit));
    rule.rising = m_direction->currentIndex() == 0;
    return rule;
}

void OverlayControls::setUnitSymbol(const QString &symbol)
{
    m_temperature->setSuffix(QLatin1Char(' ') + symbol);
}

void OverlayControls::setNotes(const QStringList &notCrossed, int chosen)
{
    QStringList notes;
    if (!notCrossed.isEmpty())
        notes << tr("未越过该温度，按开始显示：%1").arg(notCrossed.join(QStringLiteral("、")));
    if (chosen > kMaxOverlaid)
        notes << tr("选择了 %1 个测量，最多比较 %2 个，只显示前 %2 个。")
                     .arg(chosen)
                     .arg(kMaxOverlaid);
    m_note->setText(notes.join(QLatin1Char('\n')));
}

QString OverlayControls::noteText() const
{
    return m_note->text();
}
