#include "LinkLabel.h"

#include <QMouseEvent>
#include <QPainter>

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(text);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    setPalette(colours);
}

QSize LinkLabel::sizeHint() const
{
    const QSize whole = QLabel::sizeHint();
    return {qMin(whole.width(), maximumWidth()), whole.height()};
}

QSize LinkLabel::minimumSizeHint() const
{
    return sizeHint();
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

void LinkLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect room = contentsRect();
    painter.drawText(room, int(alignment()),
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()));
}
