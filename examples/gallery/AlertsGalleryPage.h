#pragma once

class QWidget;

namespace mira::gallery {

/// The gallery page of the code-built alerts: one button for each layout of
/// mira::QZAlert, with and without its close button, and the return code the
/// last alert ended with.
QWidget *createAlertsPage(QWidget *parent = nullptr);

} // namespace mira::gallery
