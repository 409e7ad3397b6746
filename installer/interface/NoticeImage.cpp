#include "NoticeImage.h"

#include "ImageNamed.h"

NoticeImage::NoticeImage(Kind kind, const QPixmap &image)
    : m_kind(kind)
    , m_image(image)
{
}

NoticeImage NoticeImage::custom(const QPixmap &image)
{
    return NoticeImage(Kind::custom, image);
}

NoticeImage NoticeImage::warning()
{
    return NoticeImage(Kind::warning, QPixmap());
}

QString NoticeImage::warningImageName()
{
    return QStringLiteral("other_install_tips");
}

QPixmap NoticeImage::pixmap(qreal devicePixelRatio) const
{
    if (m_kind == Kind::custom)
        return m_image;
    return imageNamed(warningImageName(), QSize(), devicePixelRatio);
}
