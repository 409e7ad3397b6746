#pragma once

/**
 * How an InstallerAlertViewController lays out its notice.
 *
 * - nature: 384 wide with 32-pixel side margins, text aligned to the start
 *   of the reading direction, buttons at its end in the bottom row;
 * - center: the interface file's own layout, centred texts over a centred
 *   button row;
 * - vertical: as center, with the width-to-height ratio 328 : 379.
 */
enum class AlertStyle { nature = 0, center = 1, vertical = 2 };
