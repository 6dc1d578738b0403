#include "ShadowProgressBar.h"

#include <QPainter>

namespace {

constexpr int kShadow = 2;

} // namespace

ShadowProgressBar::ShadowProgressBar(QWidget* parent) : QProgressBar(parent)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Highlight, QColor(0x00, 0x80, 0x80));
    setPalette(colours);
}

int ShadowProgressBar::filledWidth(int span) const
{
    const qint64 steps = qint64(maximum()) - minimum();
    if (steps <= 0 || value() < minimum())
        return 0;
    return int((qint64(value()) - minimum()) * span / steps);
}

void ShadowProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect face = rect().adjusted(0, 0, -kShadow, -kShadow);
    const QColor shadow = palette().color(QPalette::Shadow);
    painter.fillRect(face.left() + kShadow, face.bottom() + 1, face.width(), kShadow, shadow);
    painter.fillRect(face.right() + 1, face.top() + kShadow, kShadow, face.height(), shadow);

    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(face.adjusted(0, 0, -1, -1));
    const QRect inside = face.adjusted(1, 1, -1, -1);
    painter.fillRect(inside, palette().base());
    const int filled = filledWidth(inside.width());
    painter.fillRect(inside.left(), inside.top(), filled, inside.height(), palette().highlight());

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
