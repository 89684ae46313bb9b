#include "widgets/bubbletips.h"

#include "ui_bubbletips.h"

BubbleTips::BubbleTips(QWidget *parent) : QWidget(parent), ui(new Ui::BubbleTips)
{
    ui->setupUi(this);
}

BubbleTips::~BubbleTips()
{
    delete ui;
}

void BubbleTips::setText(const QString &text)
{
    ui->textEdit->setText(text);
}

QString BubbleTips::text() const
{
    return ui->textEdit->toPlainText();
}
