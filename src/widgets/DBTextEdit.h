#pragma once

#include "FieldBinding.h"

#include <QLineEdit>

// A one-line editor bound to a text field: shows the field of the current record, writes each
// change into it at once and takes no more characters than the field holds.
class DBTextEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBTextEdit(QWidget* parent = nullptr);

    void bind(DataSource* source, const QString& fieldName);
    const FieldBinding& binding() const { return m_binding; }

private:
    void loadValue();
    void textTyped(const QString& text);

    FieldBinding m_binding;
};
