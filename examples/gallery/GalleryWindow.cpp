#include "GalleryWindow.h"

#include "AlertsGalleryPage.h"
#include "ControlsGalleryPage.h"
#include "InputsGalleryPage.h"
#include "NibGalleryPage.h"
#include "PopoverGalleryPage.h"
#include "SliderGalleryPage.h"
#include "StatesGalleryPage.h"
#include "WindowsGalleryPage.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

namespace mira::gallery {

namespace {

QScrollArea *scrolling(QWidget *page)
{
    auto *area = new QScrollArea;
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(page);
    return area;
}

} // namespace

QTabWidget *createGalleryWindow()
{
    auto *window = new QTabWidget;
    window->setWindowTitle(QStringLiteral("MiraKit gallery"));
    window->addTab(scrolling(createControlsPage()), QStringLiteral("Controls"));
    window->addTab(scrolling(createWindowsPage()), QStringLiteral("Windows"));
    window->addTab(scrolling(createAlertsPage()), QStringLiteral("Alerts"));
    window->addTab(scrolling(createSliderPage()), QStringLiteral("Slider"));
    window->addTab(scrolling(createInputsPage()), QStringLiteral("Inputs"));
    window->addTab(scrolling(createStatesPage()), QStringLiteral("States"));
    window->addTab(scrolling(createPopoverPage()), QStringLiteral("Popovers"));
    window->addTab(scrolling(createNibPage()), QStringLiteral("Designed in files"));
    window->setMinimumSize(480, 360);

    QSize wanted;
    for (int index = 0; index < window->count(); ++index) {
        const auto *area = static_cast<QScrollArea *>(window->widget(index));
        wanted = wanted.expandedTo(area->widget()->sizeHint());
    }
    const int scrollBar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    wanted += QSize(scrollBar, window->tabBar()->sizeHint().height() + scrollBar);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableSize() * 0.9 : wanted;
    window->resize(wanted.boundedTo(available).expandedTo(window->minimumSize()));
    return window;
}

} // namespace mira::gallery
