#pragma once

class QWidget;

namespace mira::gallery {

/// The gallery page of the input controls: switches off, on, disabled,
/// narrow and right-to-left, a plain text field and a secure one with a
/// switch that shows its text.
QWidget *createInputsPage(QWidget *parent = nullptr);

} // namespace mira::gallery
