#include "ImageList.h"

#include <QPixmap>

ImageList::ImageList(const QString& pathPattern, int count, const QSize& size) : m_size(size)
{
    for (int index = 0; index < count; ++index) {
        const QPixmap image(pathPattern.arg(index, 2, 10, QLatin1Char('0')));
        m_icons.append(QIcon(image.scaled(size)));
    }
}
