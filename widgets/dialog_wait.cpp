#include "widgets/dialog_wait.h"

#include "ui_dialog_wait.h"

#include <QLayout>

Dialog_wait::Dialog_wait(QWidget *parent) : QDialog(parent), ui(new Ui::Dialog_wait)
{
    ui->setupUi(this);

    m_timer.setParent(this);
    connect(&m_timer, &QTimer::timeout, this, &Dialog_wait::handleTimeOut);
    m_timer.start(1000);

    ui->pushButton->hide();
    ui->progressBar->hide();
}

Dialog_wait::~Dialog_wait()
{
    delete ui;
}

void Dialog_wait::setWaitTime(int seconds)
{
    m_timeLimit = seconds;
}

void Dialog_wait::setDownload(int records)
{
    m_downloadRecords = records;
    m_readRecords = 0;
    m_sinceStart.start();
    showDownloadText();
}

void Dialog_wait::progressBar_range_update(int max, int now)
{
    ui->progressBar->setRange(0, max);
    ui->progressBar->setValue(max - now);
    if (ui->progressBar->isHidden()) {
        ui->progressBar->show();
        fitToContents();
    }
    if (m_downloadRecords >= 0 && max > 0) {
        // The progress counts blocks of 32 records; the last one may be short.
        m_readRecords = int(qMin<qint64>(m_downloadRecords, qint64(max - now) * 32));
        showDownloadText();
    }
}

// The time left is estimated from the pace so far, once there is one.
void Dialog_wait::showDownloadText()
{
    QString text = tr("正在读取仪器中存储的记录…\n已读取 %1 / %2 条")
                       .arg(m_readRecords)
                       .arg(m_downloadRecords);
    const qint64 elapsedMs = m_sinceStart.isValid() ? m_sinceStart.elapsed() : 0;
    if (m_readRecords > 0 && m_readRecords < m_downloadRecords && elapsedMs > 0) {
        const qint64 leftMs = elapsedMs * (m_downloadRecords - m_readRecords) / m_readRecords;
        text += tr("，剩余约 %1 秒").arg((leftMs + 999) / 1000);
    }
    ui->label->setText(text);
    fitToContents();
}

// The texts differ in length between the languages and grow as a download
// goes on; the dialog grows to show them whole, and never shrinks while
// open, so it does not jump at every count.
void Dialog_wait::fitToContents()
{
    if (QLayout *grid = layout())
        grid->activate();
    resize(size().expandedTo(sizeHint()));
}

// done() rather than close(): closing goes through reject(), which would
// ask the instrument to stop a transfer that has ended.
void Dialog_wait::trans_end()
{
    done(QDialog::Accepted);
}

void Dialog_wait::on_pushButton_clicked()
{
    done(QDialog::Rejected);
}

void Dialog_wait::handleTimeOut()
{
    if (m_downloadRecords >= 0)
        showDownloadText();
    else {
        ui->label->setText(
            tr("需要等待一些时间，请稍等\n%1秒后自动退出").arg(m_timeLimit - m_elapsed));
        fitToContents();
    }
    ++m_elapsed;
    if (m_elapsed > m_timeLimit)
        done(QDialog::Rejected);
}

void Dialog_wait::on_toolButton_2_clicked()
{
    reject();
}

void Dialog_wait::reject()
{
    emit cancel();
    QDialog::reject();
}
