#pragma once

#include <QIcon>
#include <QString>
#include <vector>

// The image-list control: pictures in index order (1-based, as the suite's
// windows count them), each with a tag text by which code finds it and, where
// the picture means something, that meaning in words for a screen reader.
class ImageList
{
public:
    // Appends an image; returns its index.
    int add(const QIcon& icon, const QString& tag, const QString& meaning = {});
    void clear() { m_images.clear(); }

    int count() const { return static_cast<int>(m_images.size()); }
    const QIcon& icon(int index) const;
    const QString& tag(int index) const;
    const QString& meaning(int index) const;

private:
    struct Image
    {
        QIcon icon;
        QString tag;
        QString meaning;
    };
    const Image& image(int index) const;

    std::vector<Image> m_images;
};
