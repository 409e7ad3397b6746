#pragma once

#include <QPixmap>

/**
 * The illustration of a notice: a given image, or the installer's warning
 * sign (the bundle image "other_install_tips").
 *
 * @code
 * configer.image = NoticeImage::warning();
 * configer.image = NoticeImage::custom(QPixmap(QStringLiteral(":/logo.png")));
 * @endcode
 */
class NoticeImage {
public:
    enum class Kind { custom, warning };

    /// The image @p image, shown as it is.
    static NoticeImage custom(const QPixmap &image);
    /// The warning sign.
    static NoticeImage warning();

    Kind kind() const { return m_kind; }
    /// The given image of a custom notice image; null for the warning sign.
    QPixmap customImage() const { return m_image; }

    /**
     * The picture to show on a screen of @p devicePixelRatio: the custom
     * image, or the warning sign drawn at its own size (64 × 64) at that
     * resolution. Null when the bundle lacks the sign.
     */
    QPixmap pixmap(qreal devicePixelRatio = 1) const;

    /// The bundle name of the warning sign.
    static QString warningImageName();

private:
    NoticeImage(Kind kind, const QPixmap &image);

    Kind m_kind;
    QPixmap m_image;
};
