#include "ShadowProgressBar.h"

#include <QPainter>

namespace {

constexpr int kShadow = 2;
constexpr int kFrame = 1;

} // namespace

ShadowProgressBar::ShadowProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setContentsMargins(kFrame, kFrame, kFrame + kShadow, kFrame + kShadow);
    // The bar paints every pixel itself, so a repaint need not paint the window beneath first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette colours = palette();
    colours.setColor(QPalette::Highlight, QColor(0x00, 0x80, 0x80));
    setPalette(colours);
}

int ShadowProgressBar::filledWidth() const
{
    const qint64 steps = qint64(maximum()) - minimum();
    if (steps <= 0 || value() < minimum())
        return 0;
    return int((qint64(value()) - minimum()) * contentsRect().width() / steps);
}

void ShadowProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRect box = rect().adjusted(0, 0, -kShadow, -kShadow);
    const QColor shadow = palette().color(QPalette::Shadow);
    painter.fillRect(box.left() + kShadow, box.bottom() + 1, box.width(), kShadow, shadow);
    painter.fillRect(box.right() + 1, box.top() + kShadow, kShadow, box.height(), shadow);
    // The frame as four filled lines: a stroked rectangle costs more than all the rest.
    const QColor frame = palette().color(QPalette::Dark);
    painter.fillRect(box.left(), box.top(), box.width(), kFrame, frame);
    painter.fillRect(box.left(), box.bottom(), box.width(), kFrame, frame);
    painter.fillRect(box.left(), box.top(), kFrame, box.height(), frame);
    painter.fillRect(box.right(), box.top(), kFrame, box.height(), frame);
    const QRect inside = contentsRect();
    painter.fillRect(inside, palette().base());
    painter.fillRect(inside.left(), inside.top(), filledWidth(), inside.height(),
                     palette().highlight());

    const QString label = text();
    if (!isTextVisible() || label.isEmpty())
        return;
    // The laid-out text is kept until the text or the font changes: shaping it anew on every
    // paint would cost more than the rest of the paint.
    if (m_label.text() != label || m_labelFont != font()) {
        m_label.setText(label);
        m_label.prepare(QTransform(), font());
        m_labelFont = font();
    }
    const QSizeF size = m_label.size();
    const QPointF at(inside.left() + (inside.width() - size.width()) / 2,
                     inside.top() + (inside.height() - size.height()) / 2);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawStaticText(at, m_label);
}
