#pragma once

#include <mirakit/mirakit_export.h>

#include <QAbstractButton>

#include <memory>

namespace mira {

class SheetCloseButtonPrivate;

/**
 * The close button of a sheet window's badge: a light cross drawn for a dark
 * background, brighter while highlighted.
 */
class MIRAKIT_EXPORT SheetCloseButton : public QAbstractButton {
    Q_OBJECT
    /// Drawn brighter while the pointer is over the badge. Default: false.
    Q_PROPERTY(bool highlighted READ isHighlighted WRITE setHighlighted NOTIFY highlightedChanged)
    /// Opacity of the whole button, 0 to 1. Default: 1.
    Q_PROPERTY(qreal alphaValue READ alphaValue WRITE setAlphaValue NOTIFY alphaValueChanged)
public:
    explicit SheetCloseButton(QWidget *parent = nullptr);
    ~SheetCloseButton() override;

    bool isHighlighted() const;
    void setHighlighted(bool highlighted);

    qreal alphaValue() const;
    void setAlphaValue(qreal alpha);

    QSize sizeHint() const override;

Q_SIGNALS:
    void highlightedChanged(bool highlighted);
    void alphaValueChanged(qreal alpha);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::unique_ptr<SheetCloseButtonPrivate> const d;
};

} // namespace mira
