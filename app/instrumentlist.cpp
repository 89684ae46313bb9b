#include "app/instrumentlist.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <array>

namespace {

enum Column
{
    SelectColumn,
    LabelColumn,
    PortColumn,
    NameColumn,
    FirmwareColumn,
    StateColumn,
    SwitchColumn,
};

} // namespace

InstrumentList::InstrumentList(QWidget *parent) : CsWidget(parent)
{
    setObjectName(QStringLiteral("widget_instruments"));
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(20, 10, 20, 10);
    auto *title = new QLabel(tr("仪器列表"), this);
    title->setStyleSheet(QStringLiteral("font-weight: bold;"));
    box->addWidget(title);
    m_grid = new QGridLayout;
    m_grid->setHorizontalSpacing(16);
    const std::array<QString, SwitchColumn + 1> heads = {
        QString(), tr("标签"), tr("端口"), tr("名称"), tr("固件"), tr("状态"), tr("连接")};
    for (int c = 0; c <= SwitchColumn; ++c) {
        auto *head = new QLabel(heads[c], this);
        head->setStyleSheet(QStringLiteral("color: #666;"));
        m_grid->addWidget(head, 0, c);
    }
    m_grid->setColumnStretch(NameColumn, 1);
    box->addLayout(m_grid);
    m_empty = new QLabel(tr("未找到仪器"), this);
    box->addWidget(m_empty);
    auto *allButton = new QPushButton(tr("连接全部"), this);
    allButton->setObjectName(QStringLiteral("pb_connect_all"));
    allButton->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    connect(allButton, &QPushButton::clicked, this, &InstrumentList::connectAllClicked);
    box->addWidget(allButton);
    m_connectAll = allButton;
}

void InstrumentList::setRows(const QVector<InstrumentRow> &rows)
{
    bool samePorts = rows.size() == m_rows.size();
    for (int i = 0; samePorts && i < rows.size(); ++i)
        samePorts = rows[i].port == m_rows[i].port;
    if (!samePorts)
        rebuild(rows);
    for (int i = 0; i < rows.size(); ++i)
        show(m_rows[i], rows[i]);
    m_empty->setVisible(rows.isEmpty());
    m_connectAll->setEnabled(!rows.isEmpty());
}

void InstrumentList::rebuild(const QVector<InstrumentRow> &rows)
{
    for (const RowWidgets &old : qAsConst(m_rows))
        for (QWidget *w :
             std::initializer_list<QWidget *>{old.select, old.label, old.portText, old.name,
                                              old.firmware, old.state, old.connect})
            delete w;
    m_rows.clear();
    for (int i = 0; i < rows.size(); ++i) {
        RowWidgets r;
        r.port = rows[i].port;
        auto *select = new QRadioButton(this);
        select->setObjectName(QStringLiteral("rb_instrument_select_%1").arg(i));
        select->setToolTip(tr("在仪器面板上显示和设置此仪器"));
        // Checked only as the instrument page reports the choice.
        select->setAutoExclusive(false);
        r.select = select;
        r.label = new QLineEdit(this);
        r.label->setObjectName(QStringLiteral("lineEdit_instrument_label_%1").arg(i));
        r.label->setMaxLength(32);
        r.label->setMinimumWidth(r.label->fontMetrics().horizontalAdvance(QLatin1Char('m')) * 12);
        r.portText = new QLabel(this);
        r.name = new QLabel(this);
        r.firmware = new QLabel(this);
        r.state = new QLabel(this);
        auto *toggle = new QCheckBox(this);
        toggle->setObjectName(QStringLiteral("pb_instrument_connect_%1").arg(i));
        r.connect = toggle;
        const QString port = r.port;
        QLineEdit *edit = r.label;
        connect(edit, &QLineEdit::editingFinished, this, [this, port, edit] {
            if (!edit->isModified())
                return;
            edit->setModified(false);
            emit labelEdited(port, edit->text().trimmed());
        });
        connect(toggle, &QCheckBox::clicked, this,
                [this, port](bool on) { emit connectSwitched(port, on); });
        connect(select, &QRadioButton::clicked, this, [this, port] { emit selectedChanged(port); });
        const int gridRow = i + 1;
        m_grid->addWidget(r.select, gridRow, SelectColumn);
        m_grid->addWidget(r.label, gridRow, LabelColumn);
        m_grid->addWidget(r.portText, gridRow, PortColumn);
        m_grid->addWidget(r.name, gridRow, NameColumn);
        m_grid->addWidget(r.firmware, gridRow, FirmwareColumn);
        m_grid->addWidget(r.state, gridRow, StateColumn);
        m_grid->addWidget(r.connect, gridRow, SwitchColumn);
        m_rows << r;
    }
}

void InstrumentList::show(RowWidgets &widgets, const InstrumentRow &row)
{
    if (!widgets.label->isModified())
        widgets.label->setText(row.label);
    // The device file's name; the whole path on hovering.
    widgets.portText->setText(QFileInfo(row.port).fileName());
    widgets.portText->setToolTip(row.port);
    widgets.name->setText(row.name);
    widgets.firmware->setText(row.firmware);
    widgets.state->setText(row.linked    ? tr("已连接")
                           : row.waiting ? tr("等待重新连接")
                                         : tr("未连接"));
    const QSignalBlocker block(widgets.connect);
    widgets.connect->setChecked(row.linked || row.waiting);
    widgets.select->setEnabled(row.linked);
    widgets.select->setChecked(row.selected);
}
