#include "DBTextEdit.h"

#include "data/Field.h"
#include "platform/Guarded.h"

namespace {
// QLineEdit's own limit, for fields without a size.
constexpr int kUnlimited = 32767;
} // namespace

DBTextEdit::DBTextEdit(QWidget* parent) : QLineEdit(parent), m_binding(this)
{
    connect(&m_binding, &FieldBinding::valueChanged, this,
            [this] { guarded([this] { loadValue(); }); });
    connect(this, &QLineEdit::textEdited, this, &DBTextEdit::textTyped);
}

void DBTextEdit::bind(DataSource* source, const QString& fieldName)
{
    m_binding.bind(source, fieldName);
}

void DBTextEdit::loadValue()
{
    const Field* field = m_binding.field();
    setMaxLength(field && field->size() > 0 ? field->size() : kUnlimited);
    const QString text = field ? field->asString() : QString();
    // Replacing the text would move the caret: only a different value is loaded.
    if (text != this->text())
        setText(text);
    setReadOnly(!m_binding.canModify());
}

void DBTextEdit::textTyped(const QString& text)
{
    m_binding.modify([&](Field& field) { field.setAsString(text); });
}
