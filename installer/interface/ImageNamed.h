#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

/**
 * The bundle image called @p name (images/<name>.svg, else .png), drawn at
 * @p size (its own size when empty) for screens of @p devicePixelRatio.
 *
 * Vector images are rendered at the device's resolution, so they stay crisp
 * on high-density screens. A name the bundle lacks answers a null pixmap.
 *
 * @code
 * imageView->setPixmap(imageNamed(QStringLiteral("Install_illustration_id1"), {340, 283}));
 * @endcode
 */
QPixmap imageNamed(const QString &name, const QSize &size = QSize(), qreal devicePixelRatio = 0);
