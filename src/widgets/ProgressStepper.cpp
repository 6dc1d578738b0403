#include "ProgressStepper.h"

#include <QEvent>
#include <QProgressBar>

ProgressStepper::ProgressStepper(QProgressBar& bar, int maximum)
    : m_bar(bar), m_maximum(maximum), m_width(bar.contentsRect().width()),
      m_nextChange(nextChangeAfter(0))
{
    m_bar.installEventFilter(this);
    m_bar.setRange(0, maximum);
    m_bar.setValue(0);
    if (!m_painted)
        m_bar.repaint();
}

ProgressStepper::~ProgressStepper()
{
    sync();
    m_bar.removeEventFilter(this);
}

bool ProgressStepper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_bar && event->type() == QEvent::Paint)
        m_painted = true;
    return false;
}

// The same arithmetic as the bar's "%p" text and its fill across the contents rectangle.
int ProgressStepper::percentAt(int position) const
{
    return m_maximum > 0 ? int(qint64(position) * 100.0 / m_maximum) : 0;
}

int ProgressStepper::filledAt(int position) const
{
    return m_maximum > 0 ? int(qint64(position) * m_width / m_maximum) : 0;
}

// The first position after `from` whose percentage or filled width differs from those at
// `from`; past the maximum when there is none.
int ProgressStepper::nextChangeAfter(int from) const
{
    if (m_maximum <= 0 || from >= m_maximum)
        return m_maximum + 1;
    const int percent = percentAt(from);
    const int filled = filledAt(from);
    // Start from just below the first candidate of either and walk up to the exact position,
    // using the same arithmetic as the bar.
    const qint64 percentCandidate = (qint64(percent) + 1) * m_maximum / 100;
    const qint64 filledCandidate =
        m_width > 0 ? (qint64(filled) + 1) * m_maximum / m_width : qint64(m_maximum);
    int position = int(qMax<qint64>(from, qMin(percentCandidate, filledCandidate) - 1));
    while (position < m_maximum && percentAt(position + 1) == percent &&
           filledAt(position + 1) == filled)
        ++position;
    return position + 1;
}

void ProgressStepper::step()
{
    if (++m_position < m_nextChange)
        return;
    m_nextChange = nextChangeAfter(m_position);
    show();
}

void ProgressStepper::show()
{
    m_painted = false;
    m_bar.setValue(m_position);
    if (!m_painted)
        m_bar.repaint();
}

void ProgressStepper::sync()
{
    if (m_bar.value() != m_position)
        m_bar.setValue(m_position);
}
