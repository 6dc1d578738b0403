#include "IncrementalSearch.h"

#include "DataGridModel.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>

QString foldForSearch(const QString& text)
{
    return text.toCaseFolded();
}

int findPrefixRow(const std::vector<QString>& foldedTexts, const QString& foldedPrefix, int from,
                  SearchDirection direction)
{
    const int count = int(foldedTexts.size());
    const auto matches = [&](int row) { return foldedTexts[row].startsWith(foldedPrefix); };
    switch (direction) {
    case SearchDirection::Wrap:
        from = qBound(0, from, count);
        for (int row = from; row < count; ++row)
            if (matches(row))
                return row;
        for (int row = 0; row < from; ++row)
            if (matches(row))
                return row;
        return -1;
    case SearchDirection::Down:
        for (int row = qMax(from + 1, 0); row < count; ++row)
            if (matches(row))
                return row;
        return -1;
    case SearchDirection::Up:
        for (int row = qMin(from, count) - 1; row >= 0; --row)
            if (matches(row))
                return row;
        return -1;
    }
    return -1;
}

int matchedLength(const QString& text, const QString& foldedPrefix)
{
    // Folding may change the length of a character (for example a sharp s), so measure the
    // original characters that fold into the prefix.
    for (int length = 1; length <= text.size(); ++length) {
        const QString folded = foldForSearch(text.left(length));
        if (folded == foldedPrefix)
            return length;
        if (folded.size() > foldedPrefix.size())
            break;
    }
    return 0;
}

namespace {

// Draws the column's cells with the matched beginning of the focused row on the highlight.
class SearchHighlightDelegate : public QStyledItemDelegate {
public:
    explicit SearchHighlightDelegate(IncrementalSearch* search)
        : QStyledItemDelegate(search), m_search(search)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const int length = m_search->highlightedLength(index.row());
        if (length == 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        const QWidget* widget = item.widget;
        QStyle* style = widget->style();
        item.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget)
                                   .adjusted(margin, 0, -margin, 0);
        const QFontMetrics metrics(item.font);
        const QString shown = metrics.elidedText(text, item.textElideMode, textRect.width());
        QRect matched = textRect;
        matched.setWidth(qMin(textRect.width(), metrics.horizontalAdvance(text.left(length))));
        painter->save();
        painter->fillRect(matched, m_search->highlight());
        const bool selected = item.state.testFlag(QStyle::State_Selected);
        painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(item.font);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        painter->restore();
    }

private:
    IncrementalSearch* m_search;
};

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

} // namespace

IncrementalSearch::IncrementalSearch(QTableView* view, int column, const QColor& highlight)
    : QObject(view), m_view(view), m_column(column), m_highlight(highlight)
{
    view->setItemDelegateForColumn(column, new SearchHighlightDelegate(this));
    view->installEventFilter(this);
    QAbstractItemModel* model = view->model();
    const auto rowsChanged = [this] {
        m_foldedValid = false;
        end();
    };
    connect(model, &QAbstractItemModel::modelReset, this, rowsChanged);
    connect(model, &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(model, &QAbstractItemModel::dataChanged, this, [this] { m_foldedValid = false; });
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_moving)
            end();
    });
}

int IncrementalSearch::highlightedLength(int row) const
{
    if (!isActive() || row != focusedRow())
        return 0;
    const QString text = m_view->model()->index(row, m_column).data().toString();
    return matchedLength(text, foldForSearch(m_text));
}

void IncrementalSearch::end()
{
    if (m_text.isEmpty())
        return;
    m_text.clear();
    repaintFocusedRow();
}

bool IncrementalSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress)
        return handleKey(static_cast<const QKeyEvent&>(*event));
    return QObject::eventFilter(watched, event);
}

bool IncrementalSearch::handleKey(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    const bool inColumn = m_view->currentIndex().column() == m_column;
    if (isActive() && modifiers == Qt::ControlModifier &&
        (key.key() == Qt::Key_Down || key.key() == Qt::Key_Up)) {
        step(key.key() == Qt::Key_Down ? SearchDirection::Down : SearchDirection::Up);
        return true;
    }
    if (isActive() && modifiers == Qt::NoModifier && key.key() == Qt::Key_Escape) {
        end();
        return true;
    }
    if (isActive() && key.key() == Qt::Key_Backspace) {
        backspace();
        return true;
    }
    const QString text = key.text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                           !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
    if (printable) {
        // Typing never reaches the view's own keyboard search.
        if (inColumn)
            type(text);
        return true;
    }
    if (!isModifierKey(key.key()))
        end();
    return false;
}

void IncrementalSearch::type(const QString& characters)
{
    const QString extended = m_text + characters;
    if (search(extended, SearchDirection::Wrap))
        m_text = extended;
    repaintFocusedRow();
}

void IncrementalSearch::backspace()
{
    m_text.chop(1);
    if (isActive())
        search(m_text, SearchDirection::Wrap);
    repaintFocusedRow();
}

void IncrementalSearch::step(SearchDirection direction)
{
    search(m_text, direction);
    repaintFocusedRow();
}

bool IncrementalSearch::search(const QString& text, SearchDirection direction)
{
    const int row = findPrefixRow(foldedTexts(), foldForSearch(text), focusedRow(), direction);
    if (row < 0)
        return false;
    focusRow(row);
    return true;
}

const std::vector<QString>& IncrementalSearch::foldedTexts()
{
    if (!m_foldedValid) {
        const QAbstractItemModel* model = m_view->model();
        const auto* gridModel = qobject_cast<const DataGridModel*>(model);
        const int rows = model->rowCount();
        m_folded.assign(rows, QString());
        for (int row = 0; row < rows; ++row)
            m_folded[row] =
                foldForSearch(gridModel ? gridModel->cellText(row, m_column)
                                        : model->index(row, m_column).data().toString());
        m_foldedValid = true;
    }
    return m_folded;
}

int IncrementalSearch::focusedRow() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.row() : 0;
}

void IncrementalSearch::focusRow(int row)
{
    const int previous = focusedRow();
    if (row == previous && m_view->currentIndex().isValid())
        return;
    const QModelIndex target = m_view->model()->index(row, m_column);
    m_moving = true;
    m_view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    m_moving = false;
    m_view->scrollTo(target);
}

void IncrementalSearch::repaintFocusedRow()
{
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid())
        m_view->update(m_view->model()->index(current.row(), m_column));
}
