#pragma once

#include "widgets/cswidget.h"
#include <QString>
#include <QVector>

class QAbstractButton;
class QGridLayout;
class QLabel;
class QLineEdit;

// What the Device page's list shows of one instrument found.
struct InstrumentRow
{
    QString port;
    QString label;
    QString name;
    QString firmware;
    bool linked = false;
    // The instrument panel shows this one.
    bool selected = false;
    // A recording waits for it to come back.
    bool waiting = false;
};

// The Device page's list of every instrument found: label (editable), port,
// name, firmware, link state and a connect switch per instrument, and a
// button that connects all. It only shows and reports; the instrument page
// decides.
class InstrumentList : public CsWidget
{
    Q_OBJECT

public:
    explicit InstrumentList(QWidget *parent = nullptr);

    // Rows are kept while their ports stay, so a label being typed is not
    // lost to a state report.
    void setRows(const QVector<InstrumentRow> &rows);
    int rowCount() const { return m_rows.size(); }
    QLineEdit *labelEdit(int row) const { return m_rows[row].label; }
    QAbstractButton *connectSwitch(int row) const { return m_rows[row].connect; }
    QAbstractButton *selectButton(int row) const { return m_rows[row].select; }
    QAbstractButton *connectAllButton() const { return m_connectAll; }

signals:
    void connectSwitched(const QString &port, bool on);
    void labelEdited(const QString &port, const QString &label);
    void connectAllClicked();
    void selectedChanged(const QString &port);

private:
    struct RowWidgets
    {
        QString port;
        QAbstractButton *select = nullptr;
        QLineEdit *label = nullptr;
        QLabel *portText = nullptr;
        QLabel *name = nullptr;
        QLabel *firmware = nullptr;
        QLabel *state = nullptr;
        QAbstractButton *connect = nullptr;
    };
    void rebuild(const QVector<InstrumentRow> &rows);
    void show(RowWidgets &widgets, const InstrumentRow &row);

    QGridLayout *m_grid;
    QAbstractButton *m_connectAll;
    QLabel *m_empty;
    QVector<RowWidgets> m_rows;
};
