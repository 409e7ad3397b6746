#include "RootWindowController.h"

#include "AppDelegate.h"
#include "PageCloseHandler.h"

#include <installer/analytics/AnalyticsSteps.h>
#include <installer/interface/AccessibleRole.h>

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// Focus goes to the page's first control Tab reaches, else to the page.
void focusPage(QWidget *page)
{
    for (QWidget *widget = page->nextInFocusChain(); widget && widget != page; widget = widget->nextInFocusChain()) {
        if (page->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(page)
            && widget->isEnabled()) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    page->setFocus(Qt::OtherFocusReason);
}

} // namespace

RootWindowController::RootWindowController(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("RootWindow"));
    setWindowTitle(QStringLiteral("Prismora"));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setAccessibleRole(this, AccessibleRole::frame);
    windowDidLoad();
}

RootWindowController::~RootWindowController() = default;

QSize RootWindowController::windowSize()
{
    return { 800, 520 };
}

QWidget *RootWindowController::contentViewController() const
{
    return m_content;
}

void RootWindowController::setContentViewController(QWidget *page)
{
    if (page == m_content)
        return;
    if (m_content) {
        m_content->hide();
        m_content->deleteLater();
    }
    m_content = page;
    Q_EMIT contentViewControllerChanged(page);
    if (!page)
        return;
    layout()->addWidget(page);
    page->show();
    // The page that held focus is gone: focus moves into the new page unless
    // the page placed it itself.
    if (!page->isAncestorOf(QApplication::focusWidget()))
        focusPage(page);
}

QPoint RootWindowController::centeredOrigin(const QRect &visibleFrame, const QSize &size)
{
    const QPointF middle = QRectF(visibleFrame).center();
    return { int(middle.x() - size.width() / 2.0), int(middle.y() - size.height() / 2.0) };
}

void RootWindowController::windowDidLoad()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint);
    setFixedSize(windowSize());
    centerOnPrimaryScreen(windowSize());
}

void RootWindowController::centerOnPrimaryScreen(const QSize &frameSize)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect visible = screen ? screen->availableGeometry() : QRect();
    move(centeredOrigin(visible, frameSize));
}

void RootWindowController::showEvent(QShowEvent *event)
{
    // The frame (title bar, borders) is known only once the window exists;
    // centre the whole frame, not just the content.
    if (!m_centredWithFrame) {
        m_centredWithFrame = true;
        centerOnPrimaryScreen(frameGeometry().size());
    }
    QWidget::showEvent(event);
}

void RootWindowController::closeWindowEventWithSender(QObject *)
{
    if (auto *handler = dynamic_cast<PageCloseHandler *>(m_content.data())) {
        handler->closeRequest();
        return;
    }
    close();
}

void RootWindowController::closeEvent(QCloseEvent *event)
{
    if (AppDelegate::isTerminating()) {
        event->accept();
        return;
    }
    if (auto *handler = dynamic_cast<PageCloseHandler *>(m_content.data())) {
        event->ignore();
        handler->closeRequest();
        return;
    }
    AnalyticsSteps::windowClose();
    event->accept();
    if (m_content)
        AppDelegate::terminate();
}

void RootWindowController::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
}

void RootWindowController::mousePressEvent(QMouseEvent *event)
{
    // Only presses that no control took reach the window: the background.
    if (event->button() == Qt::LeftButton && windowHandle()) {
        windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
