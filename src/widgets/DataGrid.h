#pragma once

#include "DataGridModel.h"
#include "data/DataLink.h"

#include <QWidget>

class QColor;
class QLabel;
class QTableView;

// A data-bound grid: a table view over a data source that follows the dataset's cursor both
// ways (moving the focused row moves the cursor, which finishes a pending row), with an
// optional footer row holding the record count under one column.
class DataGrid : public QWidget {
    Q_OBJECT
public:
    DataGrid(DataSource& source, std::vector<GridColumn> columns, QWidget* parent = nullptr);

    QTableView* view() const { return m_view; }
    DataGridModel* model() const { return m_model; }
    // Shows the footer with the record count under the given column (-1: no footer).
    void setFooterCountColumn(int column);
    QLabel* footerCount() const { return m_footerCount; }
    // Colours of the footer row, once it is shown.
    void setFooterColors(const QColor& background, const QColor& text);
    // The column the focused cell takes when the grid has none yet (0 unless set).
    void setFocusColumn(int column) { m_focusColumn = column; }
    // Brings the focused row to the dataset's cursor now (it otherwise follows on the next
    // turn of the event loop, so that long cursor walks cost nothing here).
    void followCursor();
    // Hands the text of an open cell editor to the dataset and closes the editor, so that a
    // window about to close keeps what was typed.
    void commitEditor();

signals:
    // A mouse button was pressed and released on the same data cell.
    void cellClicked(const QModelIndex& index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void scheduleFollow();
    void moveCursorTo(int row);
    void updateFooter();

    DataGridModel* m_model;
    QTableView* m_view;
    DataLink m_link;
    QWidget* m_footer = nullptr;
    QLabel* m_footerCount = nullptr;
    int m_footerColumn = -1;
    int m_focusColumn = 0;
    bool m_followScheduled = false;
    bool m_following = false;
};
