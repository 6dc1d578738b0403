#pragma once

#include "data/DataSource.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
class Field;

// Ties a control to one field of the dataset behind a data source: tells the control when the
// value to show has changed, and writes the control's changes into the field, starting an edit
// first when the dataset is browsing.
class FieldBinding : public QObject {
    Q_OBJECT
public:
    explicit FieldBinding(QObject* control);

    void bind(DataSource* source, const QString& fieldName);
    DataSource* dataSource() const { return m_source; }
    const QString& fieldName() const { return m_fieldName; }

    // The bound field; nullptr without a data source, with a closed dataset or an unknown name.
    Field* field() const;
    // Whether a change of the control can reach the field now.
    bool canModify() const;

    // Hands the field to `write` after starting an edit where needed. Errors go to the error box.
    // When nothing could be written, `valueChanged` asks the control to show the field again.
    void modify(const std::function<void(Field&)>& write);

signals:
    // The control should show the field's value again: the record, the dataset's state or this
    // field changed by anything other than the control itself.
    void valueChanged();

private:
    void dataChanged(const Field* field);

    QPointer<DataSource> m_source;
    QString m_fieldName;
    bool m_writing = false;
};
