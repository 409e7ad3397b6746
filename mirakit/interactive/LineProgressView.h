#pragma once

#include <mirakit/interactive/Layer.h>
#include <mirakit/mirakit_export.h>

#include <QList>
#include <QWidget>

#include <memory>
#include <optional>

namespace mira {

class LineProgressViewPrivate;

/**
 * A thin horizontal progress bar: a track that fills the view and a gradient
 * bar that grows from the left edge in proportion to progress / maxProgress.
 *
 * Writing progress moves the end of the bar towards the new value at a steady
 * speed, one step per screen refresh (a DisplayLink): fast enough to
 * cross the whole track, or a longer distance, in animationDuration (250 ms
 * by default; 0 jumps at once). A write while the bar moves carries on from
 * where the bar is, without slowing down first, so a bar fed every few
 * milliseconds stays within one frame of the value last written. A new
 * maxProgress is only stored: the bar follows it at the next layout (without
 * animation) or progress write. The ratio is not clamped:
 * progress above maxProgress gives a bar wider than the view, and a negative
 * progress a bar of negative width, which paints nothing. A maxProgress of
 * zero or below, or a ratio that is not a finite number, counts as an empty
 * bar rather than an infinite one. In a right-to-left
 * layout the bar grows from the right edge (its frames are given in reading
 * order either way). Assistive technology sees a progress bar whose value
 * is progress() and whose text is the percentage.
 *
 * Defaults: progress 0, maxProgress 1, a solid green bar (two copies of
 * rgb(63, 232, 161)), no locations (colours spread evenly), no track colour,
 * corner radius 0.
 *
 * @code
 * auto *bar = new mira::LineProgressView(page);
 * bar->setTrackColor(QColor(0xEDEFF2));
 * bar->setProgressCornerRadius(3);
 * bar->setProgress(0.42f);
 * @endcode
 */
class MIRAKIT_EXPORT LineProgressView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(float progress READ progress WRITE setProgress NOTIFY progressChanged)
    Q_PROPERTY(float maxProgress READ maxProgress WRITE setMaxProgress NOTIFY maxProgressChanged)
    Q_PROPERTY(QColor barTintColor READ barTintColor WRITE setBarTintColor NOTIFY barTintColorChanged)
    Q_PROPERTY(QColor trackColor READ trackColor WRITE setTrackColor NOTIFY trackColorChanged)
    Q_PROPERTY(qreal progressCornerRadius READ progressCornerRadius WRITE setProgressCornerRadius NOTIFY
            progressCornerRadiusChanged)
    Q_PROPERTY(QList<QColor> colors READ colors WRITE setColors NOTIFY colorsChanged)
    Q_PROPERTY(int animationDuration READ animationDuration WRITE setAnimationDuration NOTIFY animationDurationChanged)

public:
    explicit LineProgressView(QWidget *parent = nullptr);
    ~LineProgressView() override;

    float maxProgress() const;
    /// Only stored: the bar follows at the next layout or progress write.
    void setMaxProgress(float maxProgress);
    float progress() const;
    /// Stores @p progress and animates the bar to it.
    void setProgress(float progress);

    /// The bar's first gradient colour.
    QColor barTintColor() const;
    /// Paints the bar in one colour (clear for an invalid colour); colors() is unchanged.
    void setBarTintColor(const QColor &color);
    /// The track's colour; invalid when there is none.
    QColor trackColor() const;
    void setTrackColor(const QColor &color);
    /// The corner radius of the bar (the track has the same).
    qreal progressCornerRadius() const;
    void setProgressCornerRadius(qreal radius);
    QList<QColor> colors() const;
    void setColors(const QList<QColor> &colors);
    std::optional<QList<qreal>> locations() const;
    void setLocations(const std::optional<QList<qreal>> &locations);
    /// How long the bar takes to cross the whole track, in milliseconds
    /// (negative counts as 0: no animation). Default 250.
    int animationDuration() const;
    void setAnimationDuration(int milliseconds);

    /// The bar as painted: its look and its current frame.
    const Layer &progressLayer() const;
    QRectF progressFrame() const;
    const Layer &trackLayer() const;
    QRectF trackFrame() const;
    /// Whether the bar is still moving to the progress value last written.
    bool isAnimating() const;

    /// Positions the track over the bounds and the bar at the current ratio.
    void configerLayers(bool animation);

    QSize sizeHint() const override;

Q_SIGNALS:
    void progressChanged(float progress);
    void maxProgressChanged(float maxProgress);
    void barTintColorChanged(const QColor &color);
    void trackColorChanged(const QColor &color);
    void progressCornerRadiusChanged(qreal radius);
    void colorsChanged(const QList<QColor> &colors);
    void animationDurationChanged(int milliseconds);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    std::unique_ptr<LineProgressViewPrivate> const d;
};

} // namespace mira
