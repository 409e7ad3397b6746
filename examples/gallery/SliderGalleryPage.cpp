#include "SliderGalleryPage.h"

#include <mirakit/foundation/ColorExtensions.h>
#include <mirakit/interactive/LineProgressView.h>
#include <mirakit/interactive/ProgressGenerate.h>
#include <mirakit/windows/MiraSlider.h>

#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace mira::gallery {

namespace {

const QColor textColor = rgb(0x342929);

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(15);
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A label that shows @p slider's value with one decimal as it changes.
QLabel *readout(MiraSlider *slider, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setMinimumWidth(48);
    const auto show = [label](double value) { label->setText(QLocale().toString(value, 'f', 1)); };
    show(slider->value());
    QObject::connect(slider, &MiraSlider::valueChanged, label, show);
    return label;
}

MiraSlider *slider(const QString &name, double maxValue, double value, QUndoStack *undo, QWidget *parent)
{
    auto *slider = new MiraSlider(parent);
    slider->setAccessibleName(name);
    slider->setMaxValue(maxValue);
    slider->setValue(value);
    slider->setUndoStack(undo);
    return slider;
}

QWidget *slidersSection(QWidget *page)
{
    auto *section = new QWidget(page);
    auto *grid = new QGridLayout(section);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(16);
    auto *undo = new QUndoStack(section);

    auto *volume = slider(QStringLiteral("Volume"), 100, 40, undo, section);
    volume->setFixedSize(240, 20);
    grid->addWidget(new QLabel(QStringLiteral("Horizontal, 0 to 100"), section), 0, 0);
    grid->addWidget(volume, 0, 1);
    grid->addWidget(readout(volume, section), 0, 2);

    auto *disabled = slider(QStringLiteral("Balance"), 1, 0.6, undo, section);
    disabled->setFixedSize(240, 20);
    disabled->setEnabled(false);
    grid->addWidget(new QLabel(QStringLiteral("Disabled"), section), 1, 0);
    grid->addWidget(disabled, 1, 1);
    grid->addWidget(readout(disabled, section), 1, 2);

    auto *level = slider(QStringLiteral("Level"), 1, 0.7, undo, section);
    level->setFixedSize(20, 140);
    level->setTintColor(rgb(0x3FE8A1));
    grid->addWidget(new QLabel(QStringLiteral("Vertical, 0 to 1"), section), 2, 0, Qt::AlignTop);
    grid->addWidget(level, 2, 1, Qt::AlignHCenter);
    grid->addWidget(readout(level, section), 2, 2, Qt::AlignTop);

    auto *buttons = new QHBoxLayout;
    auto *undoButton = new QPushButton(QStringLiteral("Undo"), section);
    auto *redoButton = new QPushButton(QStringLiteral("Redo"), section);
    QObject::connect(undoButton, &QPushButton::clicked, undo, &QUndoStack::undo);
    QObject::connect(redoButton, &QPushButton::clicked, undo, &QUndoStack::redo);
    QObject::connect(undo, &QUndoStack::canUndoChanged, undoButton, &QPushButton::setEnabled);
    QObject::connect(undo, &QUndoStack::canRedoChanged, redoButton, &QPushButton::setEnabled);
    undoButton->setEnabled(false);
    redoButton->setEnabled(false);
    buttons->addWidget(undoButton);
    buttons->addWidget(redoButton);
    buttons->addStretch();
    grid->addLayout(buttons, 3, 1, 1, 2);
    grid->setColumnStretch(3, 1);
    return section;
}

// A bar and a percentage that a ProgressGenerate fills in two seconds.
QWidget *generatorSection(QWidget *page)
{
    auto *section = new QWidget(page);
    auto *row = new QHBoxLayout(section);
    row->setContentsMargins(0, 0, 0, 0);
    auto *bar = new LineProgressView(section);
    bar->setAnimationDuration(0); // the generator does the moving
    bar->setTrackColor(QColor(0xEDEFF2));
    bar->setProgressCornerRadius(3);
    bar->setFixedSize(240, 6);
    auto *percent = new QLabel(section);
    percent->setMinimumWidth(48);
    auto *run = new QPushButton(QStringLiteral("Run again"), section);

    auto *generate = new ProgressGenerate(section);
    generate->setWidget(bar);
    generate->setUpdateBlock([bar, percent](double value) {
        bar->setProgress(float(value));
        percent->setText(QLocale().toString(qRound(value * 100)) + QLatin1Char('%'));
    });
    QObject::connect(run, &QPushButton::clicked, generate, [generate] { generate->progressForm(0, 1, 2); });
    generate->progressForm(0, 1, 2);

    row->addWidget(new QLabel(QStringLiteral("ProgressGenerate, 2 s"), section));
    row->addWidget(bar);
    row->addWidget(percent);
    row->addWidget(run);
    row->addStretch();
    return section;
}

} // namespace

QWidget *createSliderPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, textColor);
    page->setPalette(palette);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(28, 24, 28, 28);
    layout->setSpacing(12);
    layout->addWidget(heading(QStringLiteral("Slider"), page));
    layout->addWidget(slidersSection(page));
    layout->addWidget(heading(QStringLiteral("Display-link animation"), page));
    layout->addWidget(generatorSection(page));
    layout->addStretch();
    return page;
}

} // namespace mira::gallery
