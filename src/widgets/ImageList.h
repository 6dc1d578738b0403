#pragma once

#include <QIcon>
#include <QList>
#include <QSize>
#include <QString>

// A list of icons of one size addressed by index, read from numbered image files.
class ImageList {
public:
    // `pathPattern` holds %1 for the index in two digits (":/icons/icon%1.png").
    ImageList(const QString& pathPattern, int count, const QSize& size);

    int count() const { return int(m_icons.size()); }
    QSize size() const { return m_size; }
    QIcon icon(int index) const { return m_icons.value(index); }

private:
    QList<QIcon> m_icons;
    QSize m_size;
};
