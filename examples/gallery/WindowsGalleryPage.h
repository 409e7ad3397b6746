#pragma once

class QWidget;

namespace mira::gallery {

/// The gallery page for windows and pointer-aware text: a label with two
/// links and one button per presentation style of mira::SheetWindow.
QWidget *createWindowsPage(QWidget *parent = nullptr);

} // namespace mira::gallery
