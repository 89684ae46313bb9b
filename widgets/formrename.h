#pragma once

#include <QWidget>

namespace Ui {
class FormRename;
}

// One-line rename form hosted in a modal dialog. OK writes the line edit's
// text into the caller's string (even when empty) and accepts the hosting
// dialog; Cancel rejects it and leaves the string alone.
class FormRename : public QWidget
{
    Q_OBJECT

public:
    // name: the caller's string, read now and written on OK; it must outlive
    // the form. parent: the hosting dialog.
    explicit FormRename(QString *name, QWidget *parent = nullptr);
    ~FormRename() override;

public slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    void finish(bool accepted);

    Ui::FormRename *ui;
    QString *m_name;
};
