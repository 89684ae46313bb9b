#include "app/userdialogs.h"

#include "app/shellrules.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

UserDialogs::Responder &responder()
{
    static UserDialogs::Responder r;
    return r;
}

DialogAnswer ask(const DialogRequest &request)
{
    return responder()(request);
}

QString askFileName(DialogRequest::Kind kind, const QString &caption, const QString &directory,
                    const QString &filter, QString *selectedFilter = nullptr)
{
    DialogRequest request;
    request.kind = kind;
    request.title = caption;
    request.directory = directory;
    request.filter = filter;
    const DialogAnswer a = ask(request);
    if (selectedFilter)
        *selectedFilter = a.accepted ? a.selectedFilter : QString();
    return a.accepted ? a.text : QString();
}

class Text
{
    Q_DECLARE_TR_FUNCTIONS(UserDialogs)
};

int runMessageBox(QWidget *parent, QMessageBox::Icon icon, const DialogRequest &request)
{
    // Without a title the window manager would show the program's file name.
    QString title = request.title;
    if (title.isEmpty())
        title = icon == QMessageBox::Question ? Text::tr("请确认") : Text::tr("提示");
    // A box asked without a parent belongs to the window in front (the
    // settings window when it is open), so it does not come up behind it.
    if (!parent)
        parent = QApplication::activeWindow();
    // Not in front (another program is): the program's main window, so the
    // box is still centred on it rather than placed by the screen.
    if (!parent) {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->isVisible() && top->inherits("QMainWindow")) {
                parent = top;
                break;
            }
    }
    QMessageBox box(icon, title, request.text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> buttons;
    for (const QString &text : request.buttons)
        buttons << box.addButton(text, QMessageBox::AcceptRole);
    if (buttons.isEmpty()) {
        QPushButton *ok = box.addButton(QMessageBox::Ok);
        box.setDefaultButton(ok);
    } else {
        if (request.defaultButton >= 0 && request.defaultButton < buttons.size())
            box.setDefaultButton(qobject_cast<QPushButton *>(buttons[request.defaultButton]));
        if (request.escapeButton >= 0 && request.escapeButton < buttons.size())
            box.setEscapeButton(buttons[request.escapeButton]);
    }
    box.exec();
    return buttons.indexOf(box.clickedButton());
}

} // namespace

void UserDialogs::setResponder(Responder r)
{
    responder() = std::move(r);
}

void UserDialogs::information(QWidget *parent, const QString &title, const QString &text,
                              const QString &buttonText)
{
    DialogRequest request;
    request.kind = DialogRequest::Information;
    request.title = title;
    request.text = text;
    request.buttons = QStringList{buttonText};
    request.defaultButton = 0;
    request.escapeButton = 0;
    if (responder())
        ask(request);
    else
        runMessageBox(parent, QMessageBox::Information, request);
}

void UserDialogs::informationOk(QWidget *parent, const QString &title, const QString &text)
{
    DialogRequest request;
    request.kind = DialogRequest::Information;
    request.title = title;
    request.text = text;
    if (responder())
        ask(request);
    else
        runMessageBox(parent, QMessageBox::Information, request);
}

int UserDialogs::question(QWidget *parent, const QString &title, const QString &text,
                          const QStringList &buttons, int defaultButton, int escapeButton)
{
    DialogRequest request;
    request.kind = DialogRequest::Question;
    request.title = title;
    request.text = text;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    request.escapeButton = escapeButton;
    if (responder())
        return ask(request).button;
    return runMessageBox(parent, QMessageBox::Question, request);
}

QString UserDialogs::openFileName(QWidget *parent, const QString &caption, const QString &directory,
                                  const QString &filter)
{
    if (responder())
        return askFileName(DialogRequest::OpenFile, caption, directory, filter);
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString UserDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                  const QString &filter, QString *selectedFilter)
{
    QString chosenFilter;
    const QString name =
        responder()
            ? askFileName(DialogRequest::SaveFile, caption, directory, filter, &chosenFilter)
            : QFileDialog::getSaveFileName(parent, caption, directory, filter, &chosenFilter);
    if (selectedFilter)
        *selectedFilter = chosenFilter;
    // With several filters and none reported, the name's own extension
    // decides what is written.
    if (chosenFilter.isEmpty() && !filter.contains(QLatin1String(";;")))
        chosenFilter = filter;
    return withFilterSuffix(name, chosenFilter);
}

QColor UserDialogs::color(const QColor &initial, QWidget *parent, const QString &title)
{
    if (responder()) {
        DialogRequest request;
        request.kind = DialogRequest::Color;
        request.title = title;
        request.color = initial;
        const DialogAnswer a = ask(request);
        return a.accepted ? a.color : QColor();
    }
    return QColorDialog::getColor(initial, parent, title);
}

QString UserDialogs::text(QWidget *parent, const QString &title, const QString &label,
                          const QString &initial, bool *ok)
{
    if (responder()) {
        DialogRequest request;
        request.kind = DialogRequest::Text;
        request.title = title;
        request.text = label;
        request.initialText = initial;
        const DialogAnswer a = ask(request);
        if (ok)
            *ok = a.accepted;
        return a.accepted ? a.text : QString();
    }
    return QInputDialog::getText(parent, title, label, QLineEdit::Normal, initial, ok);
}
