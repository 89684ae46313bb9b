#pragma once

#include <QMainWindow>

namespace Ui {
class MainWindow;
}
class FramelessResizer;

// The program's only top-level window: a frameless window with its own title
// bar (drag to move, double click to maximise), resizable at its borders,
// holding the workspace of the generated form.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The generated form, for tests that look up controls by their form names.
    Ui::MainWindow *form() const { return ui; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void loadStyleSheet();
    bool overTitleBar() const;
    void toggleMaximized();

    Ui::MainWindow *ui;
    FramelessResizer *m_resizer = nullptr;

    // Title-bar dragging: whether a drag runs and where it was pressed, in
    // window coordinates.
    bool m_dragging = false;
    int m_pressX = 0;
    int m_pressY = 0;
};
