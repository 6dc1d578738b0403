#include "MessageService.h"

#include "ApplicationTitle.h"

#include <QApplication>
#include <QMessageBox>

static MessageService* installed = nullptr;

MessageService& MessageService::instance()
{
    static QtMessageService qtService;
    return installed ? *installed : qtService;
}

void MessageService::setInstance(MessageService* service)
{
    installed = service;
}

void QtMessageService::beep()
{
    QApplication::beep();
}

void QtMessageService::showMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok);
    box.exec();
}

bool QtMessageService::confirm(const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtMessageService::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void QtMessageService::showFatalError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"), text,
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
