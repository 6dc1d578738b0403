#include "ReminderScan.h"

#include "data/Dataset.h"
#include "data/DateTimeValue.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "widgets/ProgressStepper.h"

#include <QLabel>
#include <QProgressBar>
#include <QScopeGuard>

namespace {

constexpr std::array<Due, 3> kChecks{Due::InTwoDays, Due::Tomorrow, Due::Today};

int daysAhead(Due due)
{
    switch (due) {
    case Due::InTwoDays:
        return 2;
    case Due::Tomorrow:
        return 1;
    case Due::Today:
        break;
    }
    return 0;
}

} // namespace

QString birthdayReminderText(const QString& fullName, Due due)
{
    switch (due) {
    case Due::InTwoDays:
        return fullName + QLatin1String(" - Birth Day after 2 days !");
    case Due::Tomorrow:
        return fullName + QLatin1String(" - Birth Day tomorrow !");
    case Due::Today:
        break;
    }
    return fullName + QLatin1String(" has a Birth Day.Send him/her greetings!");
}

QString eventReminderText(const QString& eventText, Due due)
{
    const QLatin1String prefix("Event    ** ");
    switch (due) {
    case Due::InTwoDays:
        return prefix + eventText + QLatin1String(" **    - after 2 days !");
    case Due::Tomorrow:
        return prefix + eventText + QLatin1String(" **    - Tomorrow !");
    case Due::Today:
        break;
    }
    return prefix + eventText + QLatin1String(" **    - is Today !");
}

void ReminderScan::DueKeys::follow(const QDate& today)
{
    m_today = today;
    for (const Due due : kChecks)
        m_keys[size_t(due)] = DateTimeValue::calendarKey(today.addDays(daysAhead(due)));
}

ReminderScan::ReminderScan(Dataset& contacts, Dataset& loans, QProgressBar& progressBar,
                           QLabel& totalLoans, bool& scanning)
    : m_contacts(contacts), m_loans(loans), m_progressBar(progressBar), m_totalLoans(totalLoans),
      m_scanning(scanning), m_birthDate(&contacts.fieldByName(QStringLiteral("rd"))),
      m_fullName(&contacts.fieldByName(QStringLiteral("fullnames")))
{
    for (int n = 0; n < 4; ++n) {
        const QString number = QString::number(n + 1);
        m_eventDates[n] = &contacts.fieldByName(QLatin1String("timer") + number);
        m_eventTexts[n] = &contacts.fieldByName(QLatin1String("ts") + number);
    }
}

void ReminderScan::run()
{
    m_scanning = true;
    const auto stopScanning = qScopeGuard([this] { m_scanning = false; });
    ProgressStepper progress(m_progressBar, m_contacts.recordCount());
    m_contacts.first();
    while (!m_contacts.eof()) {
        checkContact(progress);
        progress.step();
        m_contacts.next();
    }
    m_totalLoans.setText(QString::number(m_loans.recordCount()));
}

// The keys of each date were worked out when its row was read; "now" is asked afresh for every
// comparison, so checks made after midnight (a box left open) compare with the new date.
void ReminderScan::checkContact(ProgressStepper& progress)
{
    const DateTimeValue::CalendarKey birth = m_birthDate->calendarKey();
    if (birth.dated) {
        for (const Due due : kChecks)
            if (birth.dayMonth == m_due.at(due).dayMonth)
                remind(progress, birthdayReminderText(m_fullName->asString(), due));
    }
    for (size_t n = 0; n < m_eventDates.size(); ++n) {
        // An empty date is compared all the same; it never matches.
        const DateTimeValue::CalendarKey date = m_eventDates[n]->calendarKey();
        for (const Due due : kChecks)
            if (date.day == m_due.at(due).day && date.dated)
                remind(progress, eventReminderText(m_eventTexts[n]->asString(), due));
    }
}

void ReminderScan::remind(ProgressStepper& progress, const QString& text)
{
    progress.sync();
    MessageService& messages = MessageService::instance();
    messages.beep();
    messages.showMessage(text);
}
