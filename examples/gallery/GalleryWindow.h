#pragma once

class QTabWidget;

namespace mira::gallery {

/**
 * The gallery's window: the controls and windows pages as tabs, each in a
 * scroll area, so that no control is ever squeezed below the size it needs
 * on a small or scaled screen. The window opens at the size its pages ask
 * for, kept within the available area of its screen.
 */
QTabWidget *createGalleryWindow();

} // namespace mira::gallery
