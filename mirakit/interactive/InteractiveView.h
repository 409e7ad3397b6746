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
 * press on a disabled view is swallowed. Disabled is QWidget's own state
 * (the view's or an ancestor's): a disabled view still sees the pointer
 * come and go and shows disabled + hovered.
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
    /// Default false.
    Q_PROPERTY(bool selected READ isSelected WRITE setSelected NOTIFY selectedChanged)
    /// Default 0.
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)

public:
    MIRA_STATE_PROPERTIES(QColor, BackgroundColor, backgroundColor, setBackgroundColor)
    MIRA_STATE_PROPERTIES(QColor, BorderColor, borderColor, setBorderColor)

    explicit InteractiveView(QWidget *parent = nullptr);
    ~InteractiveView() override;

    using InteractiveViewProtocol::cursor;
    using InteractiveViewProtocol::setCursor;
    using QWidget::cursor;
    using QWidget::setCursor;

    /// QWidget::isEnabled() / QWidget::setEnabled(), one state for Qt, the
    /// disabled look and assistive technology.
    using InteractiveViewProtocol::isEnabled;
    using InteractiveViewProtocol::setEnabled;

    void interactiveStateDidChanged(Interactive::State last) override;

Q_SIGNALS:
    /// A per-state value changed (one of the tables, or a gradient's direction).
    void appearanceChanged();
    void selectedChanged(bool selected);
    void cornerRadiusChanged(qreal radius);

protected:
    QWidget *trackedView() override { return this; }
    void notifyAppearanceChanged() override { Q_EMIT appearanceChanged(); }
    void notifySelectedChanged(bool selected) override { Q_EMIT selectedChanged(selected); }
    void notifyCornerRadiusChanged(qreal radius) override { Q_EMIT cornerRadiusChanged(radius); }
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace mira
