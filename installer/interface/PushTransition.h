#pragma once

#include <QPixmap>
#include <QWidget>

#include <chrono>

class QVariantAnimation;

/**
 * Slides new content in from the right while the old content leaves to the
 * left, over a widget whose content has just been replaced.
 *
 * Take a snapshot of the view before changing it, change it, then start the
 * transition; it covers the view with both pictures, moves them, and
 * removes itself when done. Right-to-left layouts push from the left.
 *
 * @code
 * const QPixmap before = view->grab();
 * imageView->setPixmap(next);
 * PushTransition::push(view, before, std::chrono::milliseconds(500));
 * @endcode
 */
class PushTransition : public QWidget {
    Q_OBJECT
public:
    /// Starts a push over @p view from @p before to the view's current look.
    static PushTransition *push(QWidget *view, const QPixmap &before, std::chrono::milliseconds duration);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PushTransition(QWidget *view, const QPixmap &before, const QPixmap &after, std::chrono::milliseconds duration);

    QPixmap m_before;
    QPixmap m_after;
    qreal m_progress = 0;
    QVariantAnimation *m_animation;
};
