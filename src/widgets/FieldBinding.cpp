#include "FieldBinding.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "platform/Guarded.h"

#include <QScopedValueRollback>

FieldBinding::FieldBinding(QObject* control) : QObject(control) {}

void FieldBinding::bind(DataSource* source, const QString& fieldName)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_fieldName = fieldName;
    if (source) {
        connect(source, &DataSource::dataChange, this, &FieldBinding::dataChanged);
        connect(source, &DataSource::stateChange, this, [this] { dataChanged(nullptr); });
    }
    emit valueChanged();
}

Field* FieldBinding::field() const
{
    if (!m_source || !m_source->dataset().isActive())
        return nullptr;
    return m_source->dataset().findField(m_fieldName);
}

bool FieldBinding::canModify() const
{
    const Field* bound = field();
    if (!bound || bound->isReadOnly() || bound->isCalculated())
        return false;
    const DatasetState state = m_source->dataset().state();
    return state == DatasetState::Insert || state == DatasetState::Edit ||
           (state == DatasetState::Browse && m_source->autoEdit());
}

void FieldBinding::modify(const std::function<void(Field&)>& write)
{
    bool written = false;
    guarded([&] {
        if (!canModify())
            return;
        // The control already shows what it writes: its own notifications are not echoed back.
        const QScopedValueRollback writing(m_writing, true);
        if (!m_source->edit())
            return;
        write(*field());
        written = true;
    });
    if (!written)
        emit valueChanged();
}

void FieldBinding::dataChanged(const Field* changed)
{
    if (m_writing)
        return;
    // A calculated field follows every change of its row.
    const Field* bound = field();
    if (changed && bound && changed != bound && !bound->isCalculated())
        return;
    emit valueChanged();
}
