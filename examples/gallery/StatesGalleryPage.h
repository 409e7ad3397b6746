#pragma once

class QWidget;

namespace mira::gallery {

/// The gallery page of enabled and disabled: the same controls enabled,
/// disabled one by one, and inside a disabled panel (which disables them too).
QWidget *createStatesPage(QWidget *parent = nullptr);

} // namespace mira::gallery
