#include "NoticeImage.h"

#include <platform/Bundle.h>

#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

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
    const QString path
        = platform::Bundle::main().pathForResource(warningImageName(), QStringLiteral("svg"), QStringLiteral("images"));
    if (path.isEmpty())
        return QPixmap();
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return QPixmap();
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
    const QSize size = renderer.defaultSize();
    QPixmap picture(QSize(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio))));
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter);
    painter.end();
    picture.setDevicePixelRatio(ratio);
    return picture;
}
