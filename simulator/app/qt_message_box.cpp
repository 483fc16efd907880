// The simulator's message boxes: the plain message, and the Qt boxes shown only on the GUI thread.
#include "app/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "platform/msgbox.h"

namespace {
thread_local HeldMessages* heldMessages = nullptr;
}

void ShowMessage(const std::string& text)
{
    if (heldMessages) {
        heldMessages->texts_.push_back(text);
        return;
    }
    plat_message_box("Kestrovane", text.c_str(), PLAT_ICON_NONE, PLAT_BUTTONS_OK);
}

HeldMessages::HeldMessages() : outer_(heldMessages)
{
    heldMessages = this;
}

HeldMessages::~HeldMessages()
{
    heldMessages = outer_;
    for (const std::string& text : texts_)
        ShowMessage(text);
}

int QtMessageBox(const char* caption, const char* text, int icon, int buttons)
{
    const QString title = QString::fromLatin1(caption);
    QString body = QString::fromLatin1(text);
    body.replace("\r\n", "\n").replace('\r', '\n');
    QMessageBox::Icon shape = QMessageBox::NoIcon;
    switch (icon) {
    case PLAT_ICON_ERROR: shape = QMessageBox::Critical; break;
    case PLAT_ICON_WARNING: shape = QMessageBox::Warning; break;
    case PLAT_ICON_INFO: shape = QMessageBox::Information; break;
    case PLAT_ICON_QUESTION: shape = QMessageBox::Question; break;
    default: break;
    }
    QMessageBox::StandardButtons choice = QMessageBox::Ok;
    if (buttons == PLAT_BUTTONS_OK_CANCEL)
        choice = QMessageBox::Ok | QMessageBox::Cancel;
    else if (buttons == PLAT_BUTTONS_YES_NO)
        choice = QMessageBox::Yes | QMessageBox::No;
    else if (buttons == PLAT_BUTTONS_YES_NO_CANCEL)
        choice = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;

    if (QThread::currentThread() != qApp->thread()) {
        QMetaObject::invokeMethod(
            qApp, [=] { QMessageBox(shape, title, body, choice).exec(); },
            Qt::QueuedConnection);
        return buttons == PLAT_BUTTONS_YES_NO || buttons == PLAT_BUTTONS_YES_NO_CANCEL
                   ? PLAT_ANSWER_YES
                   : PLAT_ANSWER_OK;
    }
    switch (QMessageBox(shape, title, body, choice).exec()) {
    case QMessageBox::Cancel: return PLAT_ANSWER_CANCEL;
    case QMessageBox::Yes: return PLAT_ANSWER_YES;
    case QMessageBox::No: return PLAT_ANSWER_NO;
    default: return PLAT_ANSWER_OK;
    }
}
