#pragma once

#include <mirakit/mirakit_export.h>

#include <QPointF>

class QAbstractButton;

namespace mira {

/**
 * Optional interface of a page shown in a mira::SheetWindow, to control the
 * window's close badge. Inherit it next to QWidget:
 *
 * @code
 * class AlertPage : public QWidget, public mira::SheetWindowCloseProtocol
 * {
 *     void closeSheet(QAbstractButton *) override { mira::dismiss(this); }
 * };
 * @endcode
 *
 * A page that does not adopt it gets the badge at the default place and the
 * badge closes the window directly.
 */
class MIRAKIT_EXPORT SheetWindowCloseProtocol {
public:
    virtual ~SheetWindowCloseProtocol();

    /// Whether the window shows its close badge. Default: true.
    virtual bool closeEnable() const;
    /// Extra distance of the badge from the page's top-left corner. Default: (0, 0).
    /// x moves the badge down and y moves it right (both add to the 8-point inset).
    virtual QPointF closeOffset() const;
    /// Called with the badge's button when the user asks to close; the page
    /// decides how to close (usually mira::dismiss(this)).
    virtual void closeSheet(QAbstractButton *sender) = 0;
};

} // namespace mira
