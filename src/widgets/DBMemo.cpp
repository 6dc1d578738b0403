#include "DBMemo.h"

#include "data/Field.h"
#include "platform/Guarded.h"

#include <QScopedValueRollback>

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent), m_binding(this)
{
    setTabChangesFocus(true);
    connect(&m_binding, &FieldBinding::valueChanged, this,
            [this] { guarded([this] { loadValue(); }); });
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::textTyped);
}

void DBMemo::bind(DataSource* source, const QString& fieldName)
{
    m_binding.bind(source, fieldName);
}

void DBMemo::loadValue()
{
    const Field* field = m_binding.field();
    const QString text = field ? field->asString() : QString();
    // Replacing the text would move the caret: only a different value is loaded.
    if (text != toPlainText()) {
        const QScopedValueRollback loading(m_loading, true);
        setPlainText(text);
    }
    setReadOnly(!m_binding.canModify());
}

void DBMemo::textTyped()
{
    if (m_loading)
        return;
    m_binding.modify([this](Field& field) { field.setAsString(toPlainText()); });
}
