#pragma once

#include "platform/DateFormat.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

class QLabel;

// The text of the status-bar clock for a moment: weekday and month names and both separators
// from the settings, four-digit year, hours 00 to 23.
QString statusClockText(const QDateTime& moment, const FormatSettings& settings);

// Keeps a label showing the current date and time, recomputed once a second (also while a
// modal window or box runs its own event loop) and repainted only when the text changed.
class StatusClock : public QObject {
    Q_OBJECT
public:
    StatusClock(QLabel* label, const FormatSettings& settings);

    const QTimer& timer() const { return m_timer; }
    // Recomputes the text from the clock now.
    void tick();

private:
    QLabel* m_label;
    FormatSettings m_settings;
    QTimer m_timer;
};
