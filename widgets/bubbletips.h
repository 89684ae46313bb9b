#pragma once

#include <QWidget>

namespace Ui {
class BubbleTips;
}

// Small text panel shown over the chart as its value tip. It takes the size
// of its text, lines unwrapped, and lets the mouse through to what lies
// below.
class BubbleTips : public QWidget
{
    Q_OBJECT

public:
    explicit BubbleTips(QWidget *parent = nullptr);
    ~BubbleTips() override;

    // Replaces the shown text; QTextEdit decides between plain and rich text.
    void setText(const QString &text);
    // The shown text as plain text.
    QString text() const;

private:
    void fitToText();

    Ui::BubbleTips *ui;
    QString m_text;
};
