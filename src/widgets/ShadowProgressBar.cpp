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
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    const QRect inside = contentsRect();
    painter.fillRect(inside, palette().base());
    painter.fillRect(inside.left(), inside.top(), filledWidth(), inside.height(),
                     palette().highlight());

    const QString label = text();
    if (!isTextVisible() || label.isEmpty())
        return;
    // Drawing at a point skips the layout work that aligned drawText does on every paint.
    const QFontMetrics metrics = fontMetrics();
    const int x = inside.left() + (inside.width() - metrics.horizontalAdvance(label)) / 2;
    const int y = inside.top() + (inside.height() - metrics.height()) / 2 + metrics.ascent();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(x, y, label);
}
