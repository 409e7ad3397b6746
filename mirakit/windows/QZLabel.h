#pragma once

#include <mirakit/mirakit_export.h>

#include <QString>

class QLabel;
class QWidget;

namespace mira {

/// Makes the plain text labels of code-built alerts.
class MIRAKIT_EXPORT QZLabel {
public:
    /// A label that shows @p text as plain text, wraps it at the label's
    /// width, cannot be edited or selected, and draws no frame or background.
    static QLabel *label(const QString &text = QString(), QWidget *parent = nullptr);
};

} // namespace mira
