#include "Guarded.h"

#include "MessageService.h"
#include "data/Errors.h"

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString errorMessage(const std::exception& error)
{
    if (const auto* ours = dynamic_cast<const TembrelError*>(&error))
        return ours->message();
    return QString::fromLocal8Bit(error.what());
}

void showErrorBox(const QString& message)
{
    MessageService::instance().showError(errorBoxText(message));
}

void guarded(const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& error) {
        showErrorBox(errorMessage(error));
    }
}
