#pragma once

/**
 * Implemented by pages that decide what the window's close button does
 * while they are showing (a confirmation, or pausing a download first).
 *
 * RootWindowController routes its close button to the page on show through
 * this interface; content that does not implement it lets the window close
 * and the installer quit.
 */
class PageCloseHandler {
public:
    virtual ~PageCloseHandler() = default;

    /// Called when the user presses the window's close button. The page shows
    /// its own confirmation and ends the process itself if the user agrees.
    virtual void closeRequest() = 0;
};
