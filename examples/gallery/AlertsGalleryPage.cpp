#include "AlertsGalleryPage.h"

#include <mirakit/windows/QZAlert.h>

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace mira::gallery {

namespace {

// Shows one alert on @p page's window in the given layout, reporting its return code in @p status.
void showAlert(QWidget *page, QLabel *status, int alignment, bool closeButton)
{
    QZAlertSet &setting = QZAlert::setting();
    const QZAlertSet saved = setting;
    setting.setAlignment(alignment);
    setting.displayCloseButton = closeButton;
    QZAlert *alert = QZAlert::alertWithTitle(QObject::tr("Quit the installation?"),
        QObject::tr("Prismora is not installed yet. You can start the installation again at any time."));
    alert->addCancelButton(new QPushButton(QObject::tr("Continue")));
    alert->addConfirmButton(new QPushButton(QObject::tr("Quit")));
    const QPointer<QLabel> label = status;
    alert->beginSheetInWindow(page->window(), [label](int returnCode) {
        if (label)
            label->setText(QObject::tr("The last alert ended with %1.").arg(returnCode));
    });
    setting = saved;
}

} // namespace

QWidget *createAlertsPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    auto *intro = new QLabel(QObject::tr("Alerts end with 1 (confirm or Return), 0 (cancel) or -1000 "
                                         "(close button or Escape)."),
        page);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *status = new QLabel(QObject::tr("No alert has ended yet."), page);
    status->setObjectName(QStringLiteral("alertStatus"));

    auto *grid = new QGridLayout;
    const struct {
        QString title;
        int alignment;
        bool closeButton;
    } choices[] = {
        { QObject::tr("Side by side"), 0, true },
        { QObject::tr("Side by side, no close button"), 0, false },
        { QObject::tr("Centred"), 1, true },
        { QObject::tr("Centred, no close button"), 1, false },
    };
    int index = 0;
    for (const auto &choice : choices) {
        auto *button = new QPushButton(choice.title, page);
        QObject::connect(button, &QPushButton::clicked, page,
            [page, status, alignment = choice.alignment, closeButton = choice.closeButton] {
                showAlert(page, status, alignment, closeButton);
            });
        grid->addWidget(button, index / 2, index % 2);
        ++index;
    }
    layout->addLayout(grid);
    layout->addWidget(status);
    layout->addStretch();
    return page;
}

} // namespace mira::gallery
