#pragma once

class QWidget;

namespace mira::gallery {

/// The gallery page of the stateful controls: buttons, views, spacing cells,
/// gradients and progress bars, each shown in every state it can take.
QWidget *createControlsPage(QWidget *parent = nullptr);

} // namespace mira::gallery
