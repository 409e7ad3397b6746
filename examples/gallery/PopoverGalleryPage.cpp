#include "PopoverGalleryPage.h"

#include <mirakit/windows/PopoverPresentation.h>
#include <mirakit/windows/PopoverWindow.h>

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mira::gallery {

namespace {

using D = WindowPopoverDirection;
using A = PopoverDirectionAlignment;
using S = WindowPopoverStyle;

// What a popover shows: a line about how it was opened and a button that closes it.
QWidget *makeContent(const QString &title)
{
    auto *content = new QWidget;
    content->setWindowTitle(title);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(14, 10, 14, 10);
    auto *label = new QLabel(title, content);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    layout->addWidget(label);
    layout->addWidget(new QLabel(QObject::tr("Escape or a press elsewhere closes it."), content));
    auto *done = new QPushButton(QObject::tr("Done"), content);
    QObject::connect(done, &QPushButton::clicked, content, [content] { dismissPopover(content); });
    layout->addWidget(done, 0, Qt::AlignRight);
    return content;
}

QPushButton *addOpener(QWidget *page, QGridLayout *grid, int row, int column, const QString &name, S style,
    const PopoverConfiger &configer)
{
    auto *button = new QPushButton(name, page);
    button->setObjectName(name);
    QObject::connect(button, &QPushButton::clicked, page,
        [button, name, style, configer] { popover(button, makeContent(name), button, style, configer); });
    grid->addWidget(button, row, column);
    return button;
}

} // namespace

QWidget *createPopoverPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);

    auto *directions = new QGroupBox(QObject::tr("Directions and alignments"), page);
    auto *directionGrid = new QGridLayout(directions);
    directionGrid->setSpacing(16);
    const std::pair<QString, A> alignments[] = {
        { QStringLiteral("leading"), A::leading },
        { QStringLiteral("center"), A::center },
        { QStringLiteral("trailing"), A::trailing },
    };
    int column = 0;
    for (const auto &[alignmentName, alignment] : alignments) {
        for (const auto &[row, directionName, direction] :
            { std::tuple(0, QStringLiteral("bottom"), D::bottom), std::tuple(1, QStringLiteral("top"), D::top) }) {
            PopoverConfiger configer;
            configer.indicatorDirection = direction;
            configer.indicatorAlignment = alignment;
            configer.indicatorOffset = QPointF(0, 0);
            configer.autoHidden = true;
            addOpener(page, directionGrid, row, column, directionName + QLatin1Char(' ') + alignmentName, S::popover,
                configer);
        }
        ++column;
    }
    for (const auto &[row, name, direction] :
        { std::tuple(2, QStringLiteral("left"), D::left), std::tuple(3, QStringLiteral("right"), D::right) }) {
        PopoverConfiger configer;
        configer.indicatorDirection = direction;
        configer.indicatorOffset = QPointF(0, 0);
        configer.autoHidden = true;
        addOpener(page, directionGrid, row, 1, name, S::popover, configer);
    }
    layout->addWidget(directions);

    auto *styles = new QGroupBox(QObject::tr("Styles (default configer)"), page);
    auto *styleGrid = new QGridLayout(styles);
    styleGrid->setSpacing(16);
    const std::pair<QString, S> styleNames[] = {
        { QStringLiteral("none"), S::none },
        { QStringLiteral("popup"), S::popup },
        { QStringLiteral("popover"), S::popover },
    };
    column = 0;
    for (const auto &[name, style] : styleNames) {
        PopoverConfiger configer;
        configer.autoHidden = style != S::none;
        addOpener(page, styleGrid, 0, column++, name, style, configer);
    }
    layout->addWidget(styles);
    layout->addStretch();
    return page;
}

} // namespace mira::gallery
