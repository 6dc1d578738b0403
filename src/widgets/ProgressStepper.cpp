#include "ProgressStepper.h"

#include <QEvent>
#include <QProgressBar>

ProgressStepper::ProgressStepper(QProgressBar& bar, int maximum)
    : m_bar(bar), m_maximum(maximum), m_width(bar.contentsRect().width())
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

void ProgressStepper::step()
{
    ++m_position;
    const int percent = percentAt(m_position);
    const int filled = filledAt(m_position);
    if (percent == m_shownPercent && filled == m_shownFilled)
        return;
    m_shownPercent = percent;
    m_shownFilled = filled;
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
