#include "AnchorLayout.h"

#include <QWidget>

AnchorLayout::AnchorLayout(QWidget* container, const QSize& designSize)
    : QLayout(container), m_designSize(designSize)
{
    setContentsMargins(0, 0, 0, 0);
}

AnchorLayout::~AnchorLayout()
{
    for (const Entry& entry : std::as_const(m_entries))
        delete entry.item;
}

void AnchorLayout::addWidget(QWidget* widget, const QRect& designRect, Anchors anchors,
                             bool autoWidth)
{
    addChildWidget(widget);
    m_entries.append({new QWidgetItem(widget), designRect, anchors, autoWidth});
    invalidate();
}

QRect AnchorLayout::place(const QRect& designRect, Anchors anchors, const QSize& designSize,
                          const QSize& actual)
{
    const int dx = actual.width() - designSize.width();
    const int dy = actual.height() - designSize.height();
    QRect rect = designRect;
    if (anchors.testFlag(Right)) {
        if (anchors.testFlag(Left))
            rect.setWidth(qMax(0, rect.width() + dx));
        else
            rect.moveLeft(rect.left() + dx);
    }
    if (anchors.testFlag(Bottom)) {
        if (anchors.testFlag(Top))
            rect.setHeight(qMax(0, rect.height() + dy));
        else
            rect.moveTop(rect.top() + dy);
    }
    return rect;
}

void AnchorLayout::addItem(QLayoutItem* item)
{
    // Items added without a design position stay where they are.
    const QRect current = item->widget() ? item->widget()->geometry() : item->geometry();
    m_entries.append({item, current, {Left, Top}, false});
}

QLayoutItem* AnchorLayout::itemAt(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries[index].item : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index)
{
    if (index < 0 || index >= m_entries.size())
        return nullptr;
    return m_entries.takeAt(index).item;
}

int AnchorLayout::count() const
{
    return int(m_entries.size());
}

QSize AnchorLayout::sizeHint() const
{
    return m_designSize;
}

QSize AnchorLayout::minimumSize() const
{
    // The container may shrink below its design size; controls then keep their minimum size.
    return {0, 0};
}

void AnchorLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    // Positions count from the container's top-left corner, frames and titles included, and
    // are taken exactly, whatever size the control would prefer.
    const QSize size = parentWidget() ? parentWidget()->size() : rect.size();
    for (const Entry& entry : std::as_const(m_entries)) {
        QRect placed = place(entry.designRect, entry.anchors, m_designSize, size);
        if (entry.autoWidth)
            placed.setWidth(entry.item->sizeHint().width());
        if (QWidget* widget = entry.item->widget())
            widget->setGeometry(placed);
        else
            entry.item->setGeometry(placed);
    }
}
