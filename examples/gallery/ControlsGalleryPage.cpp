#include "ControlsGalleryPage.h"

#include <mirakit/foundation/ColorExtensions.h>
#include <mirakit/interactive/GradientButton.h>
#include <mirakit/interactive/GradientView.h>
#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/InteractiveLabel.h>
#include <mirakit/interactive/InteractiveView.h>
#include <mirakit/interactive/LineProgressView.h>
#include <mirakit/interactive/SpacingButtonCell.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

namespace mira::gallery {

namespace {

using S = Interactive::State;

const QColor textColor = rgb(0x342929);

// The five states a control can be put in, with the flags that produce them.
struct StateSample {
    QString name;
    bool entered;
    bool clicked;
    bool selected;
    bool enabled;
};

const QList<StateSample> &stateSamples()
{
    static const QList<StateSample> samples {
        { QStringLiteral("Normal"), false, false, false, true },
        { QStringLiteral("Hovered"), true, false, false, true },
        { QStringLiteral("Pressed"), true, true, false, true },
        { QStringLiteral("Selected"), false, false, true, true },
        { QStringLiteral("Disabled"), false, false, false, false },
    };
    return samples;
}

// Puts a control in a sample's state without real pointer input.
void applyState(InteractiveViewProtocol *control, const StateSample &sample)
{
    control->setEnabled(sample.enabled);
    control->setSelected(sample.selected);
    control->setEntered(sample.entered);
    control->setClicked(sample.clicked);
    control->fixState();
}

// Showing and laying out the page renews every control's tracking region,
// which reports the real pointer (outside) and so clears the sample's hover.
// The pinner puts the sample states back once the page has settled.
class StatePinner : public QObject {
public:
    explicit StatePinner(QWidget *page)
        : QObject(page)
    {
        page->installEventFilter(this);
    }
    void pin(QWidget *control, const StateSample &sample)
    {
        m_samples.append({ control, sample });
        applyState(dynamic_cast<InteractiveViewProtocol *>(control), sample);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
            QTimer::singleShot(0, this, [this] { reapply(); });
        return false;
    }

private:
    void reapply()
    {
        for (const auto &[control, sample] : std::as_const(m_samples)) {
            if (auto *stateful = dynamic_cast<InteractiveViewProtocol *>(control.data()))
                applyState(stateful, sample);
        }
    }
    QList<QPair<QPointer<QWidget>, StateSample>> m_samples;
};

StatePinner *pinner(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        for (QObject *child : w->children()) {
            if (auto *found = dynamic_cast<StatePinner *>(child))
                return found;
        }
    }
    return nullptr;
}

void showState(QWidget *control, const StateSample &sample)
{
    pinner(control)->pin(control, sample);
}

void stylePrimary(InteractiveButton *button)
{
    button->setCornerRadius(6);
    button->setBackgroundColor(rgb(0x3BE5A2), S::normal);
    button->setBackgroundColor(rgb(0x36D395), S::hovered);
    button->setBackgroundColor(rgb(0x2FB782), S::clicked);
    button->setBackgroundColor(rgb(0x2CA978), S::selected);
    button->setBackgroundColor(rgb(0x000000, 0.05), S::disabled);
    button->setTextColor(textColor, S::normal);
    button->setTextColor(Qt::white, S::selected);
    button->setTextColor(rgb(0x000000, 0.25), S::disabled);
    button->setCursor(QCursor(Qt::PointingHandCursor), S::hovered);
}

void styleSecondary(InteractiveButton *button)
{
    button->setCornerRadius(6);
    button->setBorderWidth(1, S::normal);
    button->setBorderColor(rgb(0xD8DEE4), S::normal);
    button->setBorderColor(rgb(0x3BE5A2), S::selected);
    button->setBackgroundColor(rgb(0xFFFFFF), S::normal);
    button->setBackgroundColor(rgb(0x000000, 0.05), S::hovered);
    button->setBackgroundColor(rgb(0x000000, 0.1), S::clicked);
    button->setBackgroundColor(rgb(0x000000, 0.05), S::disabled);
    button->setTextColor(textColor, S::normal);
    button->setTextColor(rgb(0x000000, 0.25), S::disabled);
}

QPixmap glyph(QColor color)
{
    QPixmap pixmap(16 * 2, 16 * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(1, 1, 14, 14));
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(5, 8.5), QPointF(7.5, 11));
    painter.drawLine(QPointF(7.5, 11), QPointF(11.5, 5.5));
    return pixmap;
}

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(15);
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(11);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// A row of one control per state, with the state's name under each.
template <typename Make> QWidget *stateRow(QWidget *parent, Make make)
{
    auto *row = new QWidget(parent);
    auto *grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(14);
    for (int column = 0; column < stateSamples().size(); ++column) {
        const StateSample &sample = stateSamples().at(column);
        QWidget *control = make(row, sample);
        grid->addWidget(control, 0, column);
        grid->addWidget(caption(sample.name, row), 1, column);
    }
    grid->setColumnStretch(int(stateSamples().size()), 1);
    return row;
}

QWidget *spacingRow(QWidget *parent)
{
    using P = ButtonCell::ImagePosition;
    const QList<QPair<QString, P>> positions {
        { QStringLiteral("Left"), P::imageLeft },
        { QStringLiteral("Right"), P::imageRight },
        { QStringLiteral("Above"), P::imageAbove },
        { QStringLiteral("Below"), P::imageBelow },
        { QStringLiteral("Leading"), P::imageLeading },
        { QStringLiteral("Trailing"), P::imageTrailing },
        { QStringLiteral("Overlaps"), P::imageOverlaps },
        { QStringLiteral("Image only"), P::imageOnly },
        { QStringLiteral("No image"), P::noImage },
    };
    auto *row = new QWidget(parent);
    auto *grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    for (int column = 0; column < positions.size(); ++column) {
        auto *button = new InteractiveButton(QStringLiteral("Save"), row);
        auto cell = std::make_unique<SpacingButtonCell>();
        cell->setSpacing(6);
        cell->setContentEdgeInset({ 6, 10, 6, 10 });
        button->replaceButtonCell(std::move(cell));
        button->setImage(glyph(rgb(0x2EB27E)));
        button->setImagePosition(positions.at(column).second);
        styleSecondary(button);
        button->setFixedSize(button->sizeHint().expandedTo(QSize(72, 32)));
        grid->addWidget(button, 0, column, Qt::AlignBottom | Qt::AlignHCenter);
        grid->addWidget(caption(positions.at(column).first, row), 1, column);
    }
    grid->setColumnStretch(int(positions.size()), 1);
    return row;
}

QWidget *gradientRow(QWidget *parent)
{
    using D = Interactive::GradientDirection;
    const QList<QPair<QString, D>> directions {
        { QStringLiteral("Horizontal"), D::horizontal },
        { QStringLiteral("Vertical"), D::vertical },
        { QStringLiteral("Oblique upward"), D::obliqueUpward },
        { QStringLiteral("Oblique descent"), D::obliqueDescent },
    };
    auto *row = new QWidget(parent);
    auto *grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(14);
    for (int column = 0; column < directions.size(); ++column) {
        auto *view = new GradientView(row);
        view->setFixedSize(96, 56);
        view->setCornerRadius(8);
        view->setDirection(directions.at(column).second);
        view->setColors({ rgb(0x3BE5A2), rgb(0x2D7DD2) }, S::normal);
        view->setColors({ rgb(0x36D395), rgb(0x7B5CD6) }, S::hovered);
        grid->addWidget(view, 0, column);
        grid->addWidget(caption(directions.at(column).first, row), 1, column);
    }
    grid->setColumnStretch(int(directions.size()), 1);
    return row;
}

QWidget *progressRow(QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(14);
    const QList<float> values { 0.0f, 0.25f, 0.6f, 1.0f };
    for (int column = 0; column < values.size(); ++column) {
        auto *bar = new LineProgressView(row);
        bar->setAnimationDuration(0);
        bar->setFixedSize(140, 6);
        bar->setTrackColor(rgb(0xEDEFF2));
        bar->setProgressCornerRadius(3);
        bar->setColors({ rgb(0x3BE5A2), rgb(0x36C5D3) });
        bar->setProgress(values.at(column));
        grid->addWidget(bar, 0, column);
        grid->addWidget(caption(QStringLiteral("%1%").arg(qRound(values.at(column) * 100)), row), 1, column);
    }
    grid->setColumnStretch(int(values.size()), 1);
    return row;
}

// A sentence with two links that underline, change colour on hover and say which one was pressed.
QWidget *linkRow(QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *column = new QVBoxLayout(row);
    column->setContentsMargins(0, 0, 0, 0);
    const QString text = QStringLiteral("Read the terms of use and the privacy notice.");
    auto *label = new InteractiveLabel(text, row);
    label->setTextColor(textColor);
    auto *pressed = caption(QStringLiteral("Press a link."), row);
    pressed->setAlignment(Qt::AlignLeft);
    for (const QString &link : { QStringLiteral("terms of use"), QStringLiteral("privacy notice") }) {
        const TextRange range { text.indexOf(link), link.size() };
        QTextCharFormat normal;
        normal.setFontUnderline(true);
        normal.setForeground(rgb(0x2D7DD2));
        QTextCharFormat hovered = normal;
        hovered.setForeground(rgb(0x2FB782));
        label->setAttributes(normal, range, S::normal);
        label->setAttributes(hovered, range, S::hovered);
        label->setCursor(Qt::PointingHandCursor, range, S::normal);
        label->setEventAction([pressed, link](TextRange) { pressed->setText(QStringLiteral("Pressed: %1").arg(link)); },
            Interactive::Event::mouseUpInside, range);
    }
    column->addWidget(label);
    column->addWidget(pressed);
    return row;
}

} // namespace

QWidget *createControlsPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    new StatePinner(page);
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, textColor);
    page->setPalette(palette);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(28, 24, 28, 28);
    layout->setSpacing(10);

    layout->addWidget(heading(QStringLiteral("Primary button"), page));
    layout->addWidget(stateRow(page, [](QWidget *row, const StateSample &sample) {
        auto *button = new InteractiveButton(QStringLiteral("Install"), row);
        button->setFixedSize(112, 36);
        stylePrimary(button);
        showState(button, sample);
        return button;
    }));
    layout->addWidget(heading(QStringLiteral("Secondary button"), page));
    layout->addWidget(stateRow(page, [](QWidget *row, const StateSample &sample) {
        auto *button = new InteractiveButton(QStringLiteral("Cancel"), row);
        button->setFixedSize(112, 36);
        styleSecondary(button);
        showState(button, sample);
        return button;
    }));
    layout->addWidget(heading(QStringLiteral("Interactive view"), page));
    layout->addWidget(stateRow(page, [](QWidget *row, const StateSample &sample) {
        auto *card = new InteractiveView(row);
        card->setFixedSize(112, 56);
        card->setCornerRadius(10);
        card->setBorderWidth(1, S::normal);
        card->setBorderColor(rgb(0xD8DEE4), S::normal);
        card->setBorderColor(rgb(0x3BE5A2), S::selected);
        card->setBackgroundColor(Qt::white, S::normal);
        card->setBackgroundColor(rgb(0xF3FDF8), S::hovered);
        card->setBackgroundColor(rgb(0xE2F9EF), S::clicked);
        card->setBackgroundColor(rgb(0xF3FDF8), S::selected);
        card->setBackgroundColor(rgb(0xF4F5F7), S::disabled);
        showState(card, sample);
        return card;
    }));
    layout->addWidget(heading(QStringLiteral("Gradient button"), page));
    layout->addWidget(stateRow(page, [](QWidget *row, const StateSample &sample) {
        auto *button = new GradientButton(row);
        button->setTitle(QStringLiteral("Start"));
        button->setFixedSize(112, 36);
        button->setCornerRadius(18);
        button->setColors({ rgb(0x3BE5A2), rgb(0x36C5D3) }, S::normal);
        button->setColors({ rgb(0x36D395), rgb(0x2FB7C4) }, S::hovered);
        button->setColors({ rgb(0x2FB782), rgb(0x299FAA) }, S::clicked);
        button->setColors({ rgb(0x2CA978), rgb(0x2D7DD2) }, S::selected);
        button->setColors({ rgb(0xE4E7EB), rgb(0xE4E7EB) }, S::disabled);
        button->setTextColor(textColor, S::normal);
        button->setTextColor(Qt::white, S::selected);
        button->setTextColor(rgb(0x000000, 0.25), S::disabled);
        showState(button, sample);
        return button;
    }));
    layout->addWidget(heading(QStringLiteral("Spacing cell: image positions"), page));
    layout->addWidget(spacingRow(page));
    layout->addWidget(heading(QStringLiteral("Gradient directions"), page));
    layout->addWidget(gradientRow(page));
    layout->addWidget(heading(QStringLiteral("Line progress"), page));
    layout->addWidget(progressRow(page));
    layout->addWidget(heading(QStringLiteral("Interactive label"), page));
    layout->addWidget(linkRow(page));
    layout->addStretch(1);
    return page;
}

} // namespace mira::gallery
