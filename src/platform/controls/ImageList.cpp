#include "platform/controls/ImageList.h"

#include "platform/controls/ListErrors.h"

int ImageList::add(const QIcon& icon, const QString& tag, const QString& meaning)
{
    m_images.push_back({icon, tag, meaning});
    return count();
}

const ImageList::Image& ImageList::image(int index) const
{
    if (index < 1 || index > count())
        throw listIndexOutOfBounds(index, count(), QStringLiteral("ImageList"));
    return m_images[static_cast<size_t>(index - 1)];
}

const QIcon& ImageList::icon(int index) const
{
    return image(index).icon;
}

const QString& ImageList::tag(int index) const
{
    return image(index).tag;
}

const QString& ImageList::meaning(int index) const
{
    return image(index).meaning;
}
