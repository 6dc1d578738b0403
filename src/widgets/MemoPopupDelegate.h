#pragma once

#include <QStyledItemDelegate>

class QPlainTextEdit;

// Shows a memo cell as its first line with a drop-down button at the right. A click on the
// button, or a double click on the cell, opens the whole text read-only in a pop-up with a
// vertical scroll bar; the pop-up closes on a click outside or on Escape.
class MemoPopupDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit MemoPopupDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // The drop-down button's place within a cell.
    static QRect buttonRect(const QRect& cell);
    // Opens the pop-up under the given cell of a view.
    static QPlainTextEdit* openPopup(QWidget* view, const QRect& cell, const QString& text);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
