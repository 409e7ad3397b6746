#pragma once

#include <mirakit/mirakit_export.h>

#include <QFlags>
#include <QRectF>

#include <cstdint>

namespace mira {

/**
 * A region of a view that reports pointer entry, exit and motion, recorded
 * per view by MouseTrackingView.
 *
 * The option values are those stored by callers (643 for entered/exited +
 * moved + active always + in visible rect; 129 for entered/exited + active
 * always), so they are kept as plain bits. Each area created by create()
 * has its own identity; copies compare equal to the original.
 */
class MIRAKIT_EXPORT MouseTrackingArea {
public:
    enum Option : std::uint32_t {
        MouseEnteredAndExited = 0x01,
        MouseMoved = 0x02,
        CursorUpdate = 0x04,
        ActiveWhenFirstResponder = 0x10,
        ActiveInKeyWindow = 0x20,
        ActiveInActiveApp = 0x40,
        ActiveAlways = 0x80,
        AssumeInside = 0x100,
        InVisibleRect = 0x200,
        EnabledDuringMouseDrag = 0x400,
    };
    Q_DECLARE_FLAGS(Options, Option)

    /// An invalid area (no identity); isValid() is false.
    MouseTrackingArea() = default;

    /// A new area with its own identity.
    static MouseTrackingArea create(const QRectF &rect, Options options);

    bool isValid() const { return m_id != 0; }
    QRectF rect() const { return m_rect; }
    Options options() const { return m_options; }
    std::uint64_t id() const { return m_id; }

    friend bool operator==(const MouseTrackingArea &a, const MouseTrackingArea &b) { return a.m_id == b.m_id; }

private:
    QRectF m_rect;
    Options m_options;
    std::uint64_t m_id = 0;
};

} // namespace mira

Q_DECLARE_OPERATORS_FOR_FLAGS(mira::MouseTrackingArea::Options)
