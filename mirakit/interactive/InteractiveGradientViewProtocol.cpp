#include "InteractiveGradientViewProtocol.h"

namespace mira {

struct InteractiveGradientViewProtocol::Data {
    Interactive::GradientDirection direction = Interactive::GradientDirection::horizontal;
    StateTable<QList<QColor>> colors;
    StateTable<GradientPoints> points;
    StateTable<QList<qreal>> locations;
};

InteractiveGradientViewProtocol::InteractiveGradientViewProtocol()
    : d_gradient(std::make_unique<Data>())
{
}

InteractiveGradientViewProtocol::~InteractiveGradientViewProtocol() = default;

InteractiveGradientButtonProtocol::~InteractiveGradientButtonProtocol() = default;

Interactive::GradientDirection InteractiveGradientViewProtocol::direction() const
{
    return d_gradient->direction;
}

void InteractiveGradientViewProtocol::setDirection(Interactive::GradientDirection direction)
{
    if (d_gradient->direction == direction)
        return;
    d_gradient->direction = direction;
    notifyAppearanceChanged();
}

StateTable<QList<QColor>> InteractiveGradientViewProtocol::interactiveColors() const
{
    return d_gradient->colors;
}

void InteractiveGradientViewProtocol::setInteractiveColors(const StateTable<QList<QColor>> &table)
{
    d_gradient->colors = table;
}

StateTable<GradientPoints> InteractiveGradientViewProtocol::interactivePoints() const
{
    return d_gradient->points;
}

void InteractiveGradientViewProtocol::setInteractivePoints(const StateTable<GradientPoints> &table)
{
    d_gradient->points = table;
}

StateTable<QList<qreal>> InteractiveGradientViewProtocol::interactiveLocations() const
{
    return d_gradient->locations;
}

void InteractiveGradientViewProtocol::setInteractiveLocations(const StateTable<QList<qreal>> &table)
{
    d_gradient->locations = table;
}

std::optional<QList<QColor>> InteractiveGradientViewProtocol::colors(Interactive::State state) const
{
    return adapterValue(interactiveColors(), statePriority(state));
}

void InteractiveGradientViewProtocol::setColors(const QList<QColor> &colors, Interactive::State state)
{
    if (colors.isEmpty())
        return;
    auto table = interactiveColors();
    if (storeStateValue(table, state, colors)) {
        setInteractiveColors(table);
        notifyAppearanceChanged();
    }
    fixState();
}

std::optional<GradientPoints> InteractiveGradientViewProtocol::points(Interactive::State state) const
{
    return adapterValue(interactivePoints(), statePriority(state));
}

void InteractiveGradientViewProtocol::setPoints(const GradientPoints &points, Interactive::State state)
{
    auto table = interactivePoints();
    if (storeStateValue(table, state, points)) {
        setInteractivePoints(table);
        notifyAppearanceChanged();
    }
    fixState();
}

std::optional<QList<qreal>> InteractiveGradientViewProtocol::location(Interactive::State state) const
{
    return adapterValue(interactiveLocations(), statePriority(state));
}

void InteractiveGradientViewProtocol::setLocation(const QList<qreal> &locations, Interactive::State state)
{
    if (locations.isEmpty())
        return;
    auto table = interactiveLocations();
    if (storeStateValue(table, state, locations)) {
        setInteractiveLocations(table);
        notifyAppearanceChanged();
    }
    fixState();
}

QColor InteractiveGradientViewProtocol::startColor(Interactive::State state) const
{
    const std::optional<QList<QColor>> pair = colors(state);
    return pair ? pair->first() : QColor();
}

QColor InteractiveGradientViewProtocol::endColor(Interactive::State state) const
{
    const std::optional<QList<QColor>> pair = colors(state);
    return pair ? pair->last() : QColor();
}

void InteractiveGradientViewProtocol::setStartColor(const QColor &color, Interactive::State state)
{
    if (!color.isValid())
        return;
    QList<QColor> pair = colors(state).value_or(QList<QColor> { color, color });
    pair.first() = color;
    setColors(pair, state);
}

void InteractiveGradientViewProtocol::setEndColor(const QColor &color, Interactive::State state)
{
    if (!color.isValid())
        return;
    QList<QColor> pair = colors(state).value_or(QList<QColor> { color, color });
    pair.last() = color;
    setColors(pair, state);
}

void InteractiveGradientViewProtocol::applyGradient()
{
    const QList<Interactive::State> &priority = statePriority(interactiveState());
    const Interactive::GradientInfo defaults = Interactive::info(direction());
    const std::optional<QList<QColor>> resolved = adapterValue(interactiveColors(), priority);
    if (!resolved)
        return;
    const GradientPoints ends
        = adapterValue(interactivePoints(), priority).value_or(GradientPoints { defaults.start, defaults.end });
    Layer next = layer();
    next.colors = *resolved;
    next.startPoint = ends.start;
    next.endPoint = ends.end;
    next.locations = adapterValue(interactiveLocations(), priority).value_or(QList<qreal> { 0, 1 });
    setLayer(next);
}

} // namespace mira
