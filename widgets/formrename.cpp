#include "widgets/formrename.h"

#include "ui_formrename.h"

#include <QDialog>

FormRename::FormRename(QString *name, QWidget *parent)
    : QWidget(parent), ui(new Ui::FormRename), m_name(name)
{
    ui->setupUi(this);
    setWindowTitle(tr("重命名"));
    if (m_name)
        ui->lineEdit->setText(*m_name);
}

FormRename::~FormRename()
{
    delete ui;
}

void FormRename::on_pushButton_clicked()
{
    if (m_name)
        *m_name = ui->lineEdit->text();
    finish(true);
}

void FormRename::on_pushButton_2_clicked()
{
    finish(false);
}

// Ends the hosting dialog so that its modal run returns; a form shown on its
// own simply closes.
void FormRename::finish(bool accepted)
{
    if (auto *dialog = qobject_cast<QDialog *>(window())) {
        if (accepted)
            dialog->accept();
        else
            dialog->reject();
        return;
    }
    window()->close();
}
