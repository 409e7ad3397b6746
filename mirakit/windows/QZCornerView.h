#pragma once

#include <mirakit/mirakit_export.h>

#include <QColor>
#include <QWidget>

#include <memory>

namespace mira {

class QZCornerViewPrivate;

/**
 * A view filled with one colour whose chosen corners are rounded; the
 * content of a QZAlert. Corners without their bit stay square, and what lies
 * outside the rounded corners stays transparent.
 *
 * @code
 * auto *view = new mira::QZCornerView;
 * view->setCornerRadius(10);
 * view->setCornerMasks(mira::QZCornerView::lowerLeft | mira::QZCornerView::lowerRight);
 * @endcode
 */
class MIRAKIT_EXPORT QZCornerView : public QWidget {
    Q_OBJECT
    /// Radius of the rounded corners, in points. Default: 0 (square).
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)
    /// Which corners are rounded: an OR of Corner bits. Default: lowerLeft | lowerRight (3).
    Q_PROPERTY(uint cornerMasks READ cornerMasks WRITE setCornerMasks NOTIFY cornerMasksChanged)
    /// The fill. Default: white.
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor NOTIFY backgroundColorChanged)
public:
    /// Corner bits as seen on screen: the lower corners are the bottom ones.
    enum Corner : uint { lowerLeft = 1, lowerRight = 2, upperLeft = 4, upperRight = 8 };
    Q_ENUM(Corner)

    explicit QZCornerView(QWidget *parent = nullptr);
    ~QZCornerView() override;

    qreal cornerRadius() const;
    void setCornerRadius(qreal radius);

    uint cornerMasks() const;
    void setCornerMasks(uint masks);

    QColor backgroundColor() const;
    void setBackgroundColor(const QColor &color);

public Q_SLOTS:
    /// Ends the sheet this view is shown in with SheetWindow::returnCodeClose; outside a sheet it does nothing.
    void closeSheet();

Q_SIGNALS:
    void cornerRadiusChanged(qreal radius);
    void cornerMasksChanged(uint masks);
    void backgroundColorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::unique_ptr<QZCornerViewPrivate> const d;
};

} // namespace mira
