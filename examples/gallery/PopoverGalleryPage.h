#pragma once

class QWidget;

namespace mira::gallery {

/// The gallery page of popovers: one button per indicator direction and
/// alignment, and one per style, each opening a popover beside itself.
QWidget *createPopoverPage(QWidget *parent = nullptr);

} // namespace mira::gallery
