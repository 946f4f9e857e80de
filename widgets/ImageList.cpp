#include "widgets/ImageList.h"

#include <QIcon>

ImageList::ImageList(const QString &resourceFolder, int size, int count)
    : m_folder(resourceFolder), m_size(size), m_count(count) {}

QPixmap ImageList::pixmap(int index) const {
    if (index < 0 || index >= m_count)
        return {};
    const QString path = QStringLiteral("%1/%2.svg").arg(m_folder).arg(index, 2, 10, QLatin1Char('0'));
    return QIcon(path).pixmap(size());
}

QIcon ImageList::icon(int index) const {
    const QPixmap p = pixmap(index);
    return p.isNull() ? QIcon() : QIcon(p);
}

const ImageList &ImageList::icones() {
    static const ImageList list(QStringLiteral(":/icones"), 16, 17);
    return list;
}

const ImageList &ImageList::icones48() {
    static const ImageList list(QStringLiteral(":/icones48"), 48, 8);
    return list;
}
