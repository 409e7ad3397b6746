#pragma once

#include <QPointer>
#include <QWidget>

namespace mira {

// What makes a sheet modal inside its parent window: a clear child of the
// parent that covers it just below the sheet, takes every press and wheel
// turn meant for the page underneath, keeps the sheet at the parent's top
// centre as the parent resizes, and gives focus back to where it was once
// the sheet ends. It deletes itself when the sheet ends or goes.
class SheetShield final : public QWidget {
    Q_OBJECT
public:
    // Covers @p parent below @p sheet, which must already be a child of it.
    SheetShield(QWidget *parent, QWidget *sheet);

    // The shield that holds @p sheet down in its parent, or nullptr.
    static SheetShield *of(const QWidget *sheet);
    // Removes the shield of @p sheet and restores the focus it took.
    static void release(QWidget *sheet);

    // Puts the sheet back at the parent's top centre and covers the parent again.
    void place();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QPointer<QWidget> m_sheet;
    QPointer<QWidget> m_previousFocus;
};

} // namespace mira
