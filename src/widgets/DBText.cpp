#include "DBText.h"

#include "data/Field.h"
#include "platform/Guarded.h"

DBText::DBText(QWidget* parent) : QLabel(parent), m_binding(this)
{
    setTextFormat(Qt::PlainText);
    connect(&m_binding, &FieldBinding::valueChanged, this,
            [this] { guarded([this] { loadValue(); }); });
}

void DBText::bind(DataSource* source, const QString& fieldName)
{
    m_binding.bind(source, fieldName);
}

void DBText::loadValue()
{
    const Field* field = m_binding.field();
    setText(field ? field->displayText() : QString());
}
