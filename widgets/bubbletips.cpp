#include "widgets/bubbletips.h"

#include "ui_bubbletips.h"

#include <QtMath>

BubbleTips::BubbleTips(QWidget *parent) : QWidget(parent), ui(new Ui::BubbleTips)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->gridLayout->setContentsMargins(0, 0, 0, 0);
    QTextEdit *edit = ui->textEdit;
    edit->setReadOnly(true);
    edit->setLineWrapMode(QTextEdit::NoWrap);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitToText();
}

BubbleTips::~BubbleTips()
{
    delete ui;
}

void BubbleTips::setText(const QString &text)
{
    // The chart sets the text on every mouse move, mostly unchanged.
    if (text == m_text)
        return;
    m_text = text;
    ui->textEdit->setText(text);
    fitToText();
}

QString BubbleTips::text() const
{
    return ui->textEdit->toPlainText();
}

void BubbleTips::fitToText()
{
    QTextEdit *edit = ui->textEdit;
    const QTextDocument *document = edit->document();
    const int frame = 2 * edit->frameWidth();
    const QSize size(qCeil(document->idealWidth()) + frame,
                     qCeil(document->size().height()) + frame);
    edit->setFixedSize(size);
    setFixedSize(size);
}
