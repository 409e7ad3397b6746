#pragma once

#include <mirakit/interactive/InteractiveViewProtocol.h>
#include <mirakit/mirakit_export.h>

#include <QWidget>

namespace mira {

/**
 * A clickable, hoverable panel whose background and border follow its
 * interaction state.
 *
 * Register colours, border widths, cursors and callables per state (see
 * InteractiveViewProtocol); they are applied whenever the state changes:
 * the background only when one resolves (a state with nothing registered
 * keeps the previous background), border colour and width only when they
 * resolve, then the state's callable. The owner learns about presses through
 * event actions; the press itself is passed on to the parent widget, while a
 * press on a disabled view is swallowed.
 *
 * Defaults: enabled, not selected, no background, no border, corner radius 0,
 * no focus.
 *
 * @code
 * auto *card = new mira::InteractiveView(parent);
 * card->setBackgroundColor(Qt::white, mira::Interactive::State::normal);
 * card->setBackgroundColor(QColor(0xF2F4F7), mira::Interactive::State::hovered);
 * card->setCursor(Qt::PointingHandCursor, mira::Interactive::State::hovered);
 * card->setEventAction([](const QVariant &) { openDetails(); }, mira::Interactive::Event::mouseUpInside);
 * @endcode
 *
 * The designable properties (normalBackgroundColor, hoveredBorderColor, …)
 * set the value of one state and read the value that applies in it, so that
 * Qt Designer files can configure the view.
 */
class MIRAKIT_EXPORT InteractiveView : public QWidget, public virtual InteractiveViewProtocol {
    Q_OBJECT
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(bool selected READ isSelected WRITE setSelected)
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius)
    Q_PROPERTY(QColor normalBackgroundColor READ normalBackgroundColor WRITE setNormalBackgroundColor STORED false)
    Q_PROPERTY(QColor hoveredBackgroundColor READ hoveredBackgroundColor WRITE setHoveredBackgroundColor STORED false)
    Q_PROPERTY(QColor clickedBackgroundColor READ clickedBackgroundColor WRITE setClickedBackgroundColor STORED false)
    Q_PROPERTY(
        QColor selectedBackgroundColor READ selectedBackgroundColor WRITE setSelectedBackgroundColor STORED false)
    Q_PROPERTY(
        QColor disabledBackgroundColor READ disabledBackgroundColor WRITE setDisabledBackgroundColor STORED false)
    Q_PROPERTY(QColor normalBorderColor READ normalBorderColor WRITE setNormalBorderColor STORED false)
    Q_PROPERTY(QColor hoveredBorderColor READ hoveredBorderColor WRITE setHoveredBorderColor STORED false)
    Q_PROPERTY(QColor clickedBorderColor READ clickedBorderColor WRITE setClickedBorderColor STORED false)
    Q_PROPERTY(QColor selectedBorderColor READ selectedBorderColor WRITE setSelectedBorderColor STORED false)
    Q_PROPERTY(QColor disabledBorderColor READ disabledBorderColor WRITE setDisabledBorderColor STORED false)

public:
    explicit InteractiveView(QWidget *parent = nullptr);
    ~InteractiveView() override;

    using InteractiveViewProtocol::cursor;
    using InteractiveViewProtocol::setCursor;
    using QWidget::cursor;
    using QWidget::setCursor;

    /// The control's own enabled flag. The widget itself stays enabled, so a
    /// disabled view still tracks the pointer and swallows presses.
    bool isEnabled() const override;
    void setEnabled(bool enabled) override;

    /// Rounds the painted background and border. Default 0.
    qreal cornerRadius() const;
    void setCornerRadius(qreal radius);

    void interactiveStateDidChanged(Interactive::State last) override;

    QColor normalBackgroundColor() const { return backgroundColor(Interactive::State::normal).value_or(QColor()); }
    QColor hoveredBackgroundColor() const { return backgroundColor(Interactive::State::hovered).value_or(QColor()); }
    QColor clickedBackgroundColor() const { return backgroundColor(Interactive::State::clicked).value_or(QColor()); }
    QColor selectedBackgroundColor() const { return backgroundColor(Interactive::State::selected).value_or(QColor()); }
    QColor disabledBackgroundColor() const { return backgroundColor(Interactive::State::disabled).value_or(QColor()); }
    void setNormalBackgroundColor(const QColor &c) { setBackgroundColor(c, Interactive::State::normal); }
    void setHoveredBackgroundColor(const QColor &c) { setBackgroundColor(c, Interactive::State::hovered); }
    void setClickedBackgroundColor(const QColor &c) { setBackgroundColor(c, Interactive::State::clicked); }
    void setSelectedBackgroundColor(const QColor &c) { setBackgroundColor(c, Interactive::State::selected); }
    void setDisabledBackgroundColor(const QColor &c) { setBackgroundColor(c, Interactive::State::disabled); }
    QColor normalBorderColor() const { return borderColor(Interactive::State::normal).value_or(QColor()); }
    QColor hoveredBorderColor() const { return borderColor(Interactive::State::hovered).value_or(QColor()); }
    QColor clickedBorderColor() const { return borderColor(Interactive::State::clicked).value_or(QColor()); }
    QColor selectedBorderColor() const { return borderColor(Interactive::State::selected).value_or(QColor()); }
    QColor disabledBorderColor() const { return borderColor(Interactive::State::disabled).value_or(QColor()); }
    void setNormalBorderColor(const QColor &c) { setBorderColor(c, Interactive::State::normal); }
    void setHoveredBorderColor(const QColor &c) { setBorderColor(c, Interactive::State::hovered); }
    void setClickedBorderColor(const QColor &c) { setBorderColor(c, Interactive::State::clicked); }
    void setSelectedBorderColor(const QColor &c) { setBorderColor(c, Interactive::State::selected); }
    void setDisabledBorderColor(const QColor &c) { setBorderColor(c, Interactive::State::disabled); }

protected:
    QWidget *trackedView() override { return this; }
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace mira
