#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

namespace Ui {
class Dialog_wait;
}

// Waiting dialog shown while the instrument erases its flash or sends its
// stored records: a message, a progress bar and a close mark. It counts down
// once a second and closes itself when the time limit has passed, so a
// transfer that never reports its end cannot keep it open.
class Dialog_wait : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog_wait(QWidget *parent = nullptr);
    ~Dialog_wait() override;

    // Time limit in seconds before the dialog closes by itself (default 60).
    void setWaitTime(int seconds);
    // The dialog waits for a download of `records` stored records: it says
    // how many have been read and about how long the rest will take, instead
    // of the erase's text.
    void setDownload(int records);
    int waitTime() const { return m_timeLimit; }
    int elapsedSeconds() const { return m_elapsed; }

    // Escape and the close mark stop the transfer and close the dialog.
    void reject() override;

signals:
    // The user asked to stop the transfer.
    void cancel();

public slots:
    // Range 0..max with value max - now, so "now" counts what is still to come.
    void progressBar_range_update(int max, int now);
    void trans_end();
    void on_pushButton_clicked();
    void handleTimeOut();
    void on_toolButton_2_clicked();

private:
    void showDownloadText();
    void fitToContents();

    Ui::Dialog_wait *ui;
    QElapsedTimer m_sinceStart;
    int m_downloadRecords = -1; // -1: an erase
    int m_readRecords = 0;
    QTimer m_timer;
    int m_elapsed = 0;
    int m_timeLimit = 60;
};
