#pragma once

#include <QLabel>

/// An image that drags its window when pressed, like the window's background.
class MoveableImageView : public QLabel {
    Q_OBJECT
public:
    explicit MoveableImageView(QWidget *parent = nullptr);

    /// True: a press on the image may move the window.
    bool mouseDownCanMoveWindow() const { return true; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
