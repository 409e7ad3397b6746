#include "WindowsGalleryPage.h"

#include <mirakit/interactive/CursorRect.h>
#include <mirakit/interactive/ViewBehaverWrapper.h>
#include <mirakit/windows/SheetWindowCloseProtocol.h>
#include <mirakit/windows/WindowPresentation.h>

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mira::gallery {

namespace {

// The page shown in the presented windows; it closes itself through its badge or its button.
class DemoSheetPage final : public QWidget, public SheetWindowCloseProtocol {
public:
    explicit DemoSheetPage(const QString &styleName)
    {
        // A light page whatever the theme: its own background and its own text.
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        palette.setColor(QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f));
        palette.setColor(QPalette::Button, QColor(0xf2, 0xf2, 0xf4));
        palette.setColor(QPalette::ButtonText, QColor(0x1d, 0x1d, 0x1f));
        setPalette(palette);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(28, 28, 20, 16);
        auto *title = new QLabel(tr("Presented as \"%1\"").arg(styleName), this);
        QFont font = title->font();
        font.setBold(true);
        title->setFont(font);
        layout->addWidget(title);
        layout->addWidget(new QLabel(tr("Close it with the badge or the button below."), this));
        auto *done = new QPushButton(tr("Done"), this);
        connect(done, &QPushButton::clicked, this, [this] { dismiss(this); });
        layout->addWidget(done, 0, Qt::AlignRight);
        resize(320, 150);
    }

    void closeSheet(QAbstractButton *) override { dismiss(this); }
};

} // namespace

QWidget *createWindowsPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);

    auto *intro = new QLabel(page);
    intro->setTextFormat(Qt::RichText);
    intro->setWordWrap(true);
    intro->setText(QObject::tr("By continuing you accept the <a href=\"terms\">terms of use</a> and the "
                               "<a href=\"privacy\">privacy policy</a>."));
    auto *status = new QLabel(page);
    QObject::connect(intro, &QLabel::linkActivated, status,
        [status](const QString &link) { status->setText(QObject::tr("Opened: %1").arg(link)); });
    layout->addWidget(intro);
    layout->addWidget(status);

    auto *buttons = new QHBoxLayout;
    const std::pair<QString, WindowPresentStyle> styles[] = {
        { QStringLiteral("sheet"), WindowPresentStyle::sheet },
        { QStringLiteral("criticalSheet"), WindowPresentStyle::criticalSheet },
        { QStringLiteral("popup"), WindowPresentStyle::popup },
        { QStringLiteral("center"), WindowPresentStyle::center },
    };
    for (const auto &[name, style] : styles) {
        auto *button = new QPushButton(name, page);
        // The pointing hand over the right half shows cursor rectangles at work.
        viewBehaver(button).cursorRect()->addCursor(
            QCursor(Qt::PointingHandCursor), CursorArea::relative(QRectF(0.5, 0, 0.5, 1)));
        QObject::connect(button, &QPushButton::clicked, page,
            [page, name, style] { present(page, new DemoSheetPage(name), false, style, std::nullopt); });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    layout->addStretch();
    return page;
}

} // namespace mira::gallery
