#include "ImageNamed.h"

#include <platform/Bundle.h>

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

QPixmap imageNamed(const QString &name, const QSize &size, qreal devicePixelRatio)
{
    const platform::Bundle &bundle = platform::Bundle::main();
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : qGuiApp->devicePixelRatio();

    const QString svgPath = bundle.pathForResource(name, QStringLiteral("svg"), QStringLiteral("images"));
    if (!svgPath.isEmpty()) {
        QSvgRenderer renderer(svgPath);
        if (!renderer.isValid())
            return {};
        const QSize logical = size.isEmpty() ? renderer.defaultSize() : size;
        QPixmap pixmap(logical * ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(), QSizeF(pixmap.size())));
        painter.end();
        pixmap.setDevicePixelRatio(ratio);
        return pixmap;
    }

    const QString pngPath = bundle.pathForResource(name, QStringLiteral("png"), QStringLiteral("images"));
    QPixmap pixmap(pngPath);
    if (pixmap.isNull() || size.isEmpty())
        return pixmap;
    pixmap = pixmap.scaled(size * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}
