#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// A fixed list of equally sized pictures compiled into the program, addressed by index:
// `icones()` (16 x 16, tool bars and push buttons) and `icones48()` (48 x 48, navigation bar).
class ImageList {
public:
    ImageList(const QString &resourceFolder, int size, int count);

    int count() const { return m_count; }
    QSize size() const { return QSize(m_size, m_size); }
    // A null pixmap / icon for an index outside the list.
    QPixmap pixmap(int index) const;
    QIcon icon(int index) const;

    static const ImageList &icones();
    static const ImageList &icones48();

private:
    QString m_folder;
    int m_size;
    int m_count;
};
