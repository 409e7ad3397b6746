#pragma once

#include <chrono>

/**
 * The three moments at which usage analytics joins the application's life:
 * the end of start-up, termination, and a window closed without a page
 * asking first.
 *
 * Analytics can be switched off: with DO_NOT_TRACK or PRISMORA_NO_ANALYTICS
 * set to a true value ("1", "true", "yes", "on"), start-up leaves the client
 * unconfigured, so every event is dropped and nothing is sent.
 */
namespace AnalyticsSteps {

/// Configures the analytics client and reports the launch.
void startup();
/// Sends what is waiting and gives the last requests time to leave.
void termination();
/// Reports that the window was closed.
void windowClose();

/// True when the environment asks for no analytics.
bool isOptedOut();

/// How long termination() blocks after the flush (default 500 ms).
std::chrono::milliseconds terminationPause();
/// Tests shorten the pause; the program keeps the default.
void setTerminationPause(std::chrono::milliseconds pause);

} // namespace AnalyticsSteps
