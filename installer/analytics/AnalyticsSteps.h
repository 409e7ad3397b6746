#pragma once

/**
 * The three moments at which usage analytics joins the application's life:
 * the end of start-up, termination, and a window closed without a page
 * asking first.
 */
namespace AnalyticsSteps {

/// Configures the analytics client and reports the launch.
void startup();
/// Sends what is waiting and gives the last requests time to leave.
void termination();
/// Reports that the window was closed.
void windowClose();

} // namespace AnalyticsSteps
