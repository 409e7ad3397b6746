#pragma once

class QWidget;

namespace mira::gallery {

/// The gallery page of the motion controls: horizontal, vertical and disabled
/// sliders with their values and an undo stack, and a progress bar driven by
/// a ProgressGenerate.
QWidget *createSliderPage(QWidget *parent = nullptr);

} // namespace mira::gallery
