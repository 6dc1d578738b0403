#pragma once

#include "ObserverList.h"

#include <QObject>

class DataLink;
class Dataset;
class Field;

// Presents one dataset to bound controls: forwards its data-change notification and starts an
// edit when a control changes a value while the dataset is browsing (automatic editing).
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Dataset& dataset, QObject* parent = nullptr);
    ~DataSource() override;
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    Dataset& dataset() const { return *m_dataset; }
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool autoEdit) { m_autoEdit = autoEdit; }

    // Called by a bound control before it writes: starts an edit (or an insert on an empty
    // dataset) when the dataset is browsing; false when editing is not possible.
    bool edit();

signals:
    // Sent after the data links were told; `field` as in Dataset::dataChanged.
    void dataChange(const Field* field);
    void rowsChanged();
    void stateChange();

private:
    friend class Dataset;
    friend class DataLink;

    // Called by the dataset for each of its data changes.
    void notifyDataChange(const Field* field);

    Dataset* m_dataset; // null once the dataset is gone
    ObserverList<DataLink> m_links;
    bool m_autoEdit = true;
};
