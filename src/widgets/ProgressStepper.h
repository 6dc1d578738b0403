#pragma once

#include <QObject>

class QProgressBar;

// Drives a progress bar through a long loop on the user-interface thread: sets its range,
// moves it on one step at a time and repaints it at once whenever what it shows changes (its
// percentage or its filled width in pixels), not at steps that change nothing visible. The bar's
// value follows the steps at those changes, at `sync()` and when the stepper goes away (also
// after an error), so the bar is left on the position reached.
class ProgressStepper : public QObject {
public:
    ProgressStepper(QProgressBar& bar, int maximum);
    ~ProgressStepper() override;
    ProgressStepper(const ProgressStepper&) = delete;
    ProgressStepper& operator=(const ProgressStepper&) = delete;

    int position() const { return m_position; }
    void step();
    // Puts the position reached into the bar, for anything that looks at it now.
    void sync();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int percentAt(int position) const;
    int filledAt(int position) const;
    int nextChangeAfter(int position) const;
    // Sets the bar's value and repaints it unless setting the value already did.
    void show();

    QProgressBar& m_bar;
    int m_maximum;
    int m_width;
    int m_position = 0;
    int m_nextChange; // the next position at which what the bar shows changes
    bool m_painted = false;
};
