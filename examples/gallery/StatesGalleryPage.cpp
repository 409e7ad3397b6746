#include "StatesGalleryPage.h"

#include <mirakit/foundation/ColorExtensions.h>
#include <mirakit/interactive/GradientButton.h>
#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/InteractiveLabel.h>
#include <mirakit/interactive/InteractiveView.h>
#include <mirakit/interactive/LineProgressView.h>

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace mira::gallery {

namespace {

using S = Interactive::State;

const QColor ink = rgb(0x342929);
const QColor faded = rgb(0x000000, 0.25);

QWidget *button(QWidget *parent)
{
    auto *button = new InteractiveButton(QStringLiteral("Install"), parent);
    button->setMinimumSize(120, 34);
    button->setCornerRadius(6);
    button->setBackgroundColor(rgb(0x3BE5A2), S::normal);
    button->setBackgroundColor(rgb(0x36D395), S::hovered);
    button->setBackgroundColor(rgb(0x000000, 0.05), S::disabled);
    button->setTextColor(ink, S::normal);
    button->setTextColor(faded, S::disabled);
    return button;
}

QWidget *gradientButton(QWidget *parent)
{
    auto *button = new GradientButton(parent);
    button->setTitle(QStringLiteral("Start"));
    button->setMinimumSize(120, 34);
    button->setCornerRadius(6);
    button->setColors({ rgb(0x3BE5A2), rgb(0x2D7DD2) }, S::normal);
    button->setColors({ rgb(0xE4E7EB), rgb(0xD0D5DB) }, S::disabled);
    button->setTextColor(Qt::white, S::normal);
    button->setTextColor(faded, S::disabled);
    return button;
}

QWidget *view(QWidget *parent)
{
    auto *view = new InteractiveView(parent);
    view->setMinimumSize(120, 34);
    view->setCornerRadius(6);
    view->setBorderWidth(1, S::normal);
    view->setBorderColor(rgb(0xD8DEE4), S::normal);
    view->setBackgroundColor(rgb(0xF2F4F7), S::normal);
    view->setBackgroundColor(rgb(0xFAFBFC), S::disabled);
    view->setBorderColor(rgb(0xECEFF2), S::disabled);
    return view;
}

QWidget *label(QWidget *parent)
{
    auto *label = new InteractiveLabel(QStringLiteral("Read the terms"), parent);
    label->setTextColor(ink);
    const TextRange link { 9, 5 };
    QTextCharFormat linked;
    linked.setFontUnderline(true);
    linked.setForeground(rgb(0x2D7DD2));
    QTextCharFormat disabled = linked;
    disabled.setForeground(faded);
    label->setAttributes(linked, link, S::normal);
    label->setAttributes(disabled, link, S::disabled);
    label->setEventAction([](TextRange) {}, Interactive::Event::mouseUpInside, link);
    return label;
}

QWidget *progress(QWidget *parent)
{
    auto *bar = new LineProgressView(parent);
    bar->setTrackColor(rgb(0xEDEFF2));
    bar->setProgressCornerRadius(3);
    bar->setAnimationDuration(0);
    bar->setProgress(0.6f);
    return bar;
}

// One column of every control; @p disableEach switches each one off itself.
QWidget *column(QWidget *parent, bool disableEach)
{
    auto *panel = new QWidget(parent);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    for (auto make : { button, gradientButton, view, label, progress }) {
        QWidget *control = make(panel);
        control->setEnabled(!disableEach);
        layout->addWidget(control);
    }
    return panel;
}

} // namespace

QWidget *createStatesPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("statesPage"));
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(24, 24, 24, 24);
    grid->setHorizontalSpacing(28);
    grid->setVerticalSpacing(12);
    auto *intro = new QLabel(QStringLiteral("A control is disabled when it or a parent is: Qt, its look and "
                                            "assistive technology agree."),
        page);
    intro->setWordWrap(true);
    grid->addWidget(intro, 0, 0, 1, 3);

    QWidget *panel = column(page, false);
    panel->setObjectName(QStringLiteral("disabledPanel"));
    panel->setEnabled(false);
    auto *panelSwitch = new QCheckBox(QStringLiteral("Panel enabled"), page);
    QObject::connect(panelSwitch, &QCheckBox::toggled, panel, &QWidget::setEnabled);

    grid->addWidget(new QLabel(QStringLiteral("Enabled"), page), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Disabled"), page), 1, 1);
    grid->addWidget(panelSwitch, 1, 2);
    grid->addWidget(column(page, false), 2, 0, Qt::AlignTop);
    grid->addWidget(column(page, true), 2, 1, Qt::AlignTop);
    grid->addWidget(panel, 2, 2, Qt::AlignTop);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(3, 1);
    return page;
}

} // namespace mira::gallery
