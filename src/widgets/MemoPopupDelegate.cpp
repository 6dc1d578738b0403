#include "MemoPopupDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>

namespace {

constexpr int kButtonWidth = 16;
constexpr int kPopupMinimumWidth = 250;
constexpr int kPopupHeight = 120;

// A read-only text box keeps Escape to itself; the pop-up closes on it.
class MemoPopup : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Cancel))
            close();
        else
            QPlainTextEdit::keyPressEvent(event);
    }
};

QString cellText(const QModelIndex& index)
{
    return index.data(Qt::DisplayRole).toString();
}

} // namespace

MemoPopupDelegate::MemoPopupDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QRect MemoPopupDelegate::buttonRect(const QRect& cell)
{
    return QRect(cell.right() - kButtonWidth + 1, cell.top(), kButtonWidth, cell.height());
}

void MemoPopupDelegate::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = option->text.section(QLatin1Char('\n'), 0, 0);
}

void MemoPopupDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QStyleOptionViewItem textOption = option;
    textOption.rect.setRight(option.rect.right() - kButtonWidth);
    QStyledItemDelegate::paint(painter, textOption, index);
    if (cellText(index).isEmpty())
        return;

    QStyleOptionButton button;
    button.rect = buttonRect(option.rect);
    button.state = QStyle::State_Enabled | QStyle::State_Raised;
    button.palette = option.palette;
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButtonBevel, &button, painter, option.widget);
    QStyleOption arrow = button;
    arrow.rect = button.rect.adjusted(4, 5, -4, -5);
    style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, option.widget);
}

bool MemoPopupDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                    const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const bool opens = (event->type() == QEvent::MouseButtonRelease &&
                        buttonRect(option.rect)
                            .contains(static_cast<QMouseEvent*>(event)->position().toPoint())) ||
                       event->type() == QEvent::MouseButtonDblClick;
    const QString text = cellText(index);
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    if (!opens || text.isEmpty() || !view)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    openPopup(view->viewport(), option.rect, text);
    return true;
}

QPlainTextEdit* MemoPopupDelegate::openPopup(QWidget* view, const QRect& cell, const QString& text)
{
    auto* popup = new MemoPopup(view);
    popup->setObjectName(QStringLiteral("memoPopup"));
    popup->setWindowFlags(Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setReadOnly(true);
    popup->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    popup->setPlainText(text);
    popup->resize(qMax(cell.width(), kPopupMinimumWidth), kPopupHeight);
    QPoint place = view->mapToGlobal(cell.bottomLeft() + QPoint(0, 1));
    if (const QScreen* screen = view->screen()) {
        const QRect room = screen->availableGeometry();
        place.setX(qBound(room.left(), place.x(), room.right() - popup->width()));
        if (place.y() + popup->height() > room.bottom())
            place.setY(view->mapToGlobal(cell.topLeft()).y() - popup->height());
    }
    popup->move(place);
    popup->show();
    return popup;
}
