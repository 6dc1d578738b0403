#pragma once

#include "data/DateTimeValue.h"
#include "platform/Clock.h"

#include <QDate>
#include <QString>
#include <array>

class Dataset;
class Field;
class ProgressStepper;
class QLabel;
class QProgressBar;

// How far ahead a reminder looks, in the order the checks of one date are made.
enum class Due { InTwoDays, Tomorrow, Today };

QString birthdayReminderText(const QString& fullName, Due due);
QString eventReminderText(const QString& eventText, Due due);

// The reminder scan: walks every contact from the first to the last and reminds, with a beep
// and a message box each, of every birthday and dated event due in two days, tomorrow or
// today; moves the progress bar on per contact and at the end shows the number of all loans.
// `scanning` is true while it runs, also when an error ends it early.
class ReminderScan {
public:
    ReminderScan(Dataset& contacts, Dataset& loans, QProgressBar& progressBar, QLabel& totalLoans,
                 bool& scanning);

    void run();

private:
    // The keys a date must have to be due, worked out again whenever the current date changes.
    class DueKeys {
    public:
        const DateTimeValue::CalendarKey& at(Due due)
        {
            const QDate today = Clock::today();
            if (today != m_today || !today.isValid())
                follow(today);
            return m_keys[size_t(due)];
        }

    private:
        void follow(const QDate& today);
        QDate m_today;
        std::array<DateTimeValue::CalendarKey, 3> m_keys{};
    };

    void checkContact(ProgressStepper& progress);
    void remind(ProgressStepper& progress, const QString& text);

    Dataset& m_contacts;
    Dataset& m_loans;
    QProgressBar& m_progressBar;
    QLabel& m_totalLoans;
    bool& m_scanning;
    DueKeys m_due;

    const Field* m_birthDate = nullptr;
    const Field* m_fullName = nullptr;
    std::array<const Field*, 4> m_eventDates{};
    std::array<const Field*, 4> m_eventTexts{};
};
