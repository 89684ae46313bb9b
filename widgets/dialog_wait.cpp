#include "widgets/dialog_wait.h"

#include "ui_dialog_wait.h"

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

void Dialog_wait::progressBar_range_update(int max, int now)
{
    ui->progressBar->setRange(0, max);
    ui->progressBar->setValue(max - now);
    ui->progressBar->show();
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
    ui->label->setText(tr("需要等待一些时间，请稍等\n%1秒后自动退出").arg(m_timeLimit - m_elapsed));
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
