#pragma once

class QWidget;

namespace mira::gallery {

/// The gallery page of the stateful controls: buttons, views, spacing cells,
/// gradients, progress bars and a label with links, each shown in every state it can take.
QWidget *createControlsPage(QWidget *parent = nullptr);

} // namespace mira::gallery
