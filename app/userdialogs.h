#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// What the program asks the user through a standard dialog.
struct DialogRequest
{
    enum Kind
    {
        Information,
        Question,
        OpenFile,
        SaveFile,
        Color,
        Text
    };
    Kind kind = Information;
    QString title;
    QString text;        // message, or the label of a text input
    QStringList buttons; // message-box button texts in order; empty = the toolkit's OK
    int defaultButton = -1;
    // Question boxes: the button that Escape and the box's close button
    // press (-1: none).
    int escapeButton = -1;
    QString directory;   // file dialogs: start directory or proposed file
    QString filter;      // file dialogs
    QColor color;        // colour dialog: the initial colour
    QString initialText; // text input
};

// The user's answer: for message boxes the index of the pressed button in
// DialogRequest::buttons (-1 when closed otherwise); for file, colour and text
// dialogs `accepted` and the chosen value.
struct DialogAnswer
{
    int button = -1;
    bool accepted = false;
    QString text;
    QColor color;
    QString selectedFilter; // save dialogs: the filter chosen with the name
};

// Every message box and file, colour and input dialog of the program goes
// through here, so a test can install a responder that answers in place of a
// person (and sees exactly what was asked).
class UserDialogs
{
public:
    using Responder = std::function<DialogAnswer(const DialogRequest &)>;

    // An empty responder restores the real dialogs.
    static void setResponder(Responder responder);

    // Information box with one button labelled `buttonText`.
    static void information(QWidget *parent, const QString &title, const QString &text,
                            const QString &buttonText);
    // Information box with the toolkit's standard OK button (also the default).
    static void informationOk(QWidget *parent, const QString &title, const QString &text);
    // Question box with `defaultButton` pressed by Enter and `escapeButton`
    // by Escape or closing the box. A question that destroys or changes
    // something gives the safe answer for both. Returns the pressed index.
    static int question(QWidget *parent, const QString &title, const QString &text,
                        const QStringList &buttons, int defaultButton, int escapeButton);
    // Return an empty string when cancelled.
    static QString openFileName(QWidget *parent, const QString &caption, const QString &directory,
                                const QString &filter);
    // `selectedFilter`, when given, receives the filter the name was chosen with;
    // the name gets that filter's extension when it lacks it.
    static QString saveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                const QString &filter, QString *selectedFilter = nullptr);
    // Returns an invalid colour when cancelled.
    static QColor color(const QColor &initial, QWidget *parent, const QString &title);
    static QString text(QWidget *parent, const QString &title, const QString &label,
                        const QString &initial, bool *ok);
};
