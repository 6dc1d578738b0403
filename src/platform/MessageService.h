#pragma once

#include <QString>

// What the program takes from the desktop to talk to the user: the beep and the message boxes.
// The program uses the Qt implementation; tests install a recorder.
class MessageService {
public:
    virtual ~MessageService() = default;

    virtual void beep() = 0;
    // A plain modal box: caption the application title, the text, one OK, no icon.
    virtual void showMessage(const QString& text) = 0;
    // The confirmation box: caption "Confirm", question icon, Yes (default) and No (Escape).
    virtual bool confirm(const QString& text) = 0;
    // The error box: caption the application title, error icon, one OK.
    virtual void showError(const QString& text) = 0;
    // The fatal start-up box: caption "Application Error", error icon, one OK, modal for the
    // whole program.
    virtual void showFatalError(const QString& text) = 0;

    static MessageService& instance();
    // Installs a service (tests); nullptr restores the Qt one.
    static void setInstance(MessageService* service);
};

class QtMessageService : public MessageService {
public:
    void beep() override;
    void showMessage(const QString& text) override;
    bool confirm(const QString& text) override;
    void showError(const QString& text) override;
    void showFatalError(const QString& text) override;
};
