#pragma once

#include "FieldBinding.h"

#include <QPlainTextEdit>

// A multi-line editor bound to a text or memo field: Enter starts a new line, Tab moves on to the
// next control, and each change reaches the field at once.
class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);

    void bind(DataSource* source, const QString& fieldName);
    const FieldBinding& binding() const { return m_binding; }

private:
    void loadValue();
    void textTyped();

    FieldBinding m_binding;
    bool m_loading = false;
};
