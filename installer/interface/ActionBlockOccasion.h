#pragma once

/**
 * When a notice runs the action of the choice the user took.
 *
 * - dismiss: the notice closes first; the action runs on the next turn of
 *   the main event loop.
 * - touch: the action runs at once and the notice stays open.
 */
enum class ActionBlockOccasion { dismiss = 0, touch = 1 };
