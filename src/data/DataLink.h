#pragma once

#include <functional>

class DataSource;
class Field;

// A control's link to a data source: told of every data change by a direct call for as long
// as the link lives. Grids and forms that follow the cursor use it, since a scan moves the
// cursor once per row and a signal per move would cost more than the scan's own work.
class DataLink {
public:
    using Handler = std::function<void(const Field* field)>;

    DataLink(DataSource& source, Handler handler);
    ~DataLink();
    DataLink(const DataLink&) = delete;
    DataLink& operator=(const DataLink&) = delete;

private:
    friend class DataSource;

    DataSource* m_source; // null once the data source is gone
    Handler m_handler;
};
