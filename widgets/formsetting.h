#pragma once

#include "widgets/titlebardrag.h"

#include <QWidget>

namespace Ui {
class FormSetting;
}
class FramelessResizer;
class QScrollArea;
class QVBoxLayout;

// Frameless settings window with its own title bar: dragged by the title bar,
// maximised or restored by a double click on it, resized at its borders.
// The main window moves its settings page into pageLayout() while the window
// is open; further pages are added with addPage(). Closing only hides it and emits
// sys_setting_close.
class FormSetting : public QWidget
{
    Q_OBJECT

public:
    explicit FormSetting(QWidget *parent = nullptr);
    ~FormSetting() override;

    // Empty layout on the window's first page, meant for the settings page.
    QVBoxLayout *pageLayout() const;
    // Adds a page of its own after the first; the window takes `page`. The
    // tabs show once there is more than one page.
    void addPage(QWidget *page, const QString &title);

signals:
    void sys_setting_close();

public slots:
    void on_pb_win_close_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitAddedPages();

    Ui::FormSetting *ui;
    FramelessResizer *m_resizer;
    TitleBarDrag m_titleDrag;
    QList<QScrollArea *> m_addedPages;
};
