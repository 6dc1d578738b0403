#include "DataGrid.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "platform/Guarded.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

DataGrid::DataGrid(DataSource& source, std::vector<GridColumn> columns, QWidget* parent)
    : QWidget(parent), m_model(new DataGridModel(source, std::move(columns), this)),
      m_view(new QTableView(this)), m_link(source, [this](const Field* field) {
          // A field of the pending row changed: repaint its row; else the cursor may have moved.
          if (field)
              m_model->currentRowChanged();
          else
              scheduleFollow();
      })
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(18);
    m_view->setWordWrap(false);
    for (int c = 0; c < int(m_model->columns().size()); ++c)
        m_view->setColumnWidth(c, m_model->columns()[c].width);

    connect(&source, &DataSource::stateChange, this, [this] {
        m_model->currentRowChanged();
        scheduleFollow();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        updateFooter();
        scheduleFollow();
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_following && current.isValid())
                    moveCursorTo(current.row());
            });
    connect(m_view, &QAbstractItemView::clicked, this, &DataGrid::cellClicked);
    connect(m_view->horizontalHeader(), &QHeaderView::sectionResized, this,
            &DataGrid::updateFooter);
    followCursor();
}

void DataGrid::moveCursorTo(int row)
{
    // A cell write that failed on leaving the row keeps the row and its unsaved changes.
    if (m_model->writeJustFailed()) {
        scheduleFollow();
        return;
    }
    guarded([&] {
        Dataset& data = m_model->dataset();
        if (data.isActive() && row != data.position())
            data.moveTo(row);
    });
    // A move that failed (a pending row that could not be written) leaves the cursor: show it.
    scheduleFollow();
}

void DataGrid::scheduleFollow()
{
    if (m_followScheduled)
        return;
    m_followScheduled = true;
    QTimer::singleShot(0, this, &DataGrid::followCursor);
}

void DataGrid::followCursor()
{
    m_followScheduled = false;
    const Dataset& data = m_model->dataset();
    const int row = data.isActive() ? data.position() : -1;
    m_following = true;
    if (row >= 0 && row < m_model->rowCount()) {
        const QModelIndex current = m_view->currentIndex();
        const QModelIndex target =
            m_model->index(row, current.isValid() ? current.column() : m_focusColumn);
        if (current != target) {
            m_view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
            m_view->scrollTo(target);
        }
    } else {
        m_view->selectionModel()->clearCurrentIndex();
        m_view->clearSelection();
    }
    m_following = false;
    updateFooter();
}

void DataGrid::commitEditor()
{
    const QModelIndex current = m_view->currentIndex();
    QWidget* editor = current.isValid() ? m_view->indexWidget(current) : nullptr;
    if (!editor)
        return;
    QAbstractItemDelegate* delegate = m_view->itemDelegateForIndex(current);
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor);
}

void DataGrid::setFooterCountColumn(int column)
{
    m_footerColumn = column;
    if (!m_footer) {
        m_footer = new QWidget(this);
        m_footer->setObjectName(QStringLiteral("footer"));
        m_footer->setFixedHeight(18);
        // Its own role, so that the colours set here hold whatever role the parent uses.
        m_footer->setBackgroundRole(QPalette::Window);
        m_footer->setAutoFillBackground(true);
        m_footerCount = new QLabel(m_footer);
        m_footerCount->setObjectName(QStringLiteral("footerCount"));
        static_cast<QVBoxLayout*>(layout())->addWidget(m_footer);
    }
    m_footer->setVisible(column >= 0);
    updateFooter();
}

void DataGrid::setFooterColors(const QColor& background, const QColor& text)
{
    if (!m_footer)
        return;
    QPalette palette = m_footer->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    m_footer->setPalette(palette);
}

void DataGrid::updateFooter()
{
    if (!m_footerCount || m_footerColumn < 0)
        return;
    const Dataset& data = m_model->dataset();
    m_footerCount->setText(data.isActive() ? QString::number(data.recordCount()) : QString());
    const QHeaderView* header = m_view->horizontalHeader();
    m_footerCount->setGeometry(header->sectionViewportPosition(m_footerColumn) +
                                   m_view->frameWidth() + 2,
                               1, header->sectionSize(m_footerColumn) - 4, 16);
}

void DataGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateFooter();
}
