#include "StatusClock.h"

#include "data/DateTimeValue.h"
#include "platform/Clock.h"
#include "platform/Guarded.h"

#include <QLabel>

QString statusClockText(const QDateTime& moment, const FormatSettings& settings)
{
    return formatDateTime(QStringLiteral(" dddd dd/mmm/yyyyy   hh:mm:ss "),
                          DateTimeValue::fromQDateTime(moment), settings);
}

StatusClock::StatusClock(QLabel* label, const FormatSettings& settings)
    : QObject(label), m_label(label), m_settings(settings)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, [this] { guarded([this] { tick(); }); });
    m_timer.start();
    tick();
}

void StatusClock::tick()
{
    const QString text = statusClockText(Clock::now(), m_settings);
    if (text != m_label->text())
        m_label->setText(text);
}
