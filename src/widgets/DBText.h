#pragma once

#include "FieldBinding.h"

#include <QLabel>

// A read-only label showing the display text of a field of the current record.
class DBText : public QLabel {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);

    void bind(DataSource* source, const QString& fieldName);
    const FieldBinding& binding() const { return m_binding; }

private:
    void loadValue();

    FieldBinding m_binding;
};
