#pragma once

/**
 * How an InstallerAlertViewController lays out its notice.
 *
 * | Style | Layout |
 * |---|---|
 * | nature | 384 wide, 32-pixel side margins, text aligned to the reading start, buttons at the trailing end of the bottom row |
 * | center | the interface file's own layout: centred texts and a centred button row |
 * | vertical | as center, with the width-to-height ratio 328 : 379 |
 */
enum class AlertStyle { nature = 0, center = 1, vertical = 2 };
