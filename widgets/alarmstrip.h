#pragma once

#include <QFrame>
#include <QString>
#include <QVector>

class QVBoxLayout;

// One line of the alarm strip: an active alarm, or one already over that
// nobody has acknowledged yet.
struct AlarmStripRow
{
    quint64 id = 0;
    QString text;
    bool active = true;
    bool acknowledged = false; // no button then
};

// The window's alarm strip: a line per alarm that is active or that someone
// has yet to acknowledge, the latter with an acknowledge button. It takes room in the
// layout rather than covering anything, and is hidden when there is
// nothing to show.
class AlarmStrip : public QFrame
{
    Q_OBJECT

public:
    explicit AlarmStrip(QWidget *parent = nullptr);

    void setRows(const QVector<AlarmStripRow> &rows);
    // The texts shown, in order.
    QStringList texts() const;

signals:
    void acknowledgeClicked(quint64 id);
    void acknowledgeAllClicked();

private:
    QVBoxLayout *m_rows;
};
