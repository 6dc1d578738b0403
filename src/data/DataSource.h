#pragma once

#include <QObject>

class Dataset;
class Field;

// Presents one dataset to bound controls: forwards its data-change notification and starts an
// edit when a control changes a value while the dataset is browsing (automatic editing).
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Dataset& dataset, QObject* parent = nullptr);

    Dataset& dataset() const { return *m_dataset; }
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool autoEdit) { m_autoEdit = autoEdit; }

    // Called by a bound control before it writes: starts an edit (or an insert on an empty
    // dataset) when the dataset is browsing; false when editing is not possible.
    bool edit();

signals:
    void dataChange(const Field* field);
    void rowsChanged();
    void stateChange();

private:
    Dataset* m_dataset;
    bool m_autoEdit = true;
};
