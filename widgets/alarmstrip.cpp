#include "widgets/alarmstrip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// Active alarms on red, those already over on amber: both stand out from the
// window's greys, and the difference shows what still needs a look.
const char kActiveStyle[] = "background-color: #c62828; color: white;";
const char kOverStyle[] = "background-color: #f9a825; color: black;";
constexpr int kMaxRows = 8; // more would push the dashboard away
} // namespace

AlarmStrip::AlarmStrip(QWidget *parent) : QFrame(parent), m_rows(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("alarmStrip"));
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    hide();
}

void AlarmStrip::setRows(const QVector<AlarmStripRow> &rows)
{
    // Later: a row's button may be what is being clicked.
    while (QLayoutItem *item = m_rows->takeAt(0)) {
        if (QWidget *w = item->widget()) {
            w->hide();
            w->setParent(nullptr);
            w->deleteLater();
        }
        delete item;
    }
    const int shown = std::min<int>(rows.size(), kMaxRows);
    for (int i = 0; i < shown; ++i) {
        const AlarmStripRow &row = rows[rows.size() - shown + i]; // the newest
        auto *line = new QWidget(this);
        line->setObjectName(QStringLiteral("alarmStripRow"));
        line->setAttribute(Qt::WA_StyledBackground);
        line->setStyleSheet(QLatin1String(row.active ? kActiveStyle : kOverStyle));
        auto *layout = new QHBoxLayout(line);
        layout->setContentsMargins(8, 2, 4, 2);
        auto *text = new QLabel(row.text, line);
        text->setObjectName(QStringLiteral("label_alarm"));
        text->setStyleSheet(QLatin1String(row.active ? kActiveStyle : kOverStyle));
        layout->addWidget(text, 1);
        if (row.acknowledged) {
            m_rows->addWidget(line);
            continue;
        }
        auto *ack = new QPushButton(tr("确认"), line);
        ack->setObjectName(QStringLiteral("pushButton_alarm_ack"));
        ack->setToolTip(tr("确认此告警：停止提示音并收回桌面通知"));
        const quint64 id = row.id;
        connect(ack, &QPushButton::clicked, this, [this, id] { emit acknowledgeClicked(id); });
        layout->addWidget(ack);
        m_rows->addWidget(line);
    }
    if (rows.size() > shown) {
        auto *more = new QWidget(this);
        auto *layout = new QHBoxLayout(more);
        layout->setContentsMargins(8, 2, 4, 2);
        layout->addWidget(new QLabel(tr("另有 %1 条较早的告警").arg(rows.size() - shown), more), 1);
        auto *all = new QPushButton(tr("全部确认"), more);
        all->setObjectName(QStringLiteral("pushButton_alarm_ack_all"));
        connect(all, &QPushButton::clicked, this, &AlarmStrip::acknowledgeAllClicked);
        layout->addWidget(all);
        m_rows->addWidget(more);
    }
    setVisible(!rows.isEmpty());
}

QStringList AlarmStrip::texts() const
{
    QStringList out;
    for (const QLabel *label : findChildren<QLabel *>(QStringLiteral("label_alarm")))
        out << label->text();
    return out;
}
