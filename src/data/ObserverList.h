#pragma once

#include <algorithm>
#include <vector>

// Observers told by direct calls, in the order they were attached. An observer may detach
// itself (or another) during a notification: its place is cleared and reused by a later attach.
template <class Observer> class ObserverList {
public:
    void attach(Observer* observer)
    {
        const auto free = std::find(m_observers.begin(), m_observers.end(), nullptr);
        if (free != m_observers.end())
            *free = observer;
        else
            m_observers.push_back(observer);
    }

    void detach(Observer* observer)
    {
        std::replace(m_observers.begin(), m_observers.end(), observer,
                     static_cast<Observer*>(nullptr));
    }

    template <class Call> void forEach(Call call) const
    {
        // By index: the list may grow while it is walked.
        for (size_t i = 0; i < m_observers.size(); ++i)
            if (Observer* observer = m_observers[i])
                call(*observer);
    }

private:
    std::vector<Observer*> m_observers;
};
