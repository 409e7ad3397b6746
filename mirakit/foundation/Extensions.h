#pragma once

/**
 * @file
 * All value and platform-type helpers of MiraKit in one include.
 *
 * | Header | Extends |
 * |---|---|
 * | ColorExtensions.h | QColor: rgb/rgba/argb from numbers and hex text, components, interpolation |
 * | FontExtensions.h | QFont: the named cuts of the library's sans-serif face |
 * | StringExtensions.h | QString: characters by offset, substrings, UTF-16 ranges, pattern checks |
 * | VersionCompare.h | QString: dotted version comparison |
 * | CollectionExtensions.h | lists of text, lists, maps and indexed collections |
 * | DateExtensions.h | QDateTime: pattern formatting, components, component arithmetic |
 * | DataExtensions.h | QByteArray: repeating-key exclusive-or |
 * | GeometryExtensions.h | QPointF, QRectF, QSizeF, QPainterPath |
 * | BoolExtensions.h | bool: as number and as word |
 * | BundleExtensions.h | bundle facts and per-application folders |
 * | Blocked.h, Weak.h | a value with a write callback; a weak object box |
 *
 * Not provided, because Qt already answers them directly: setting a
 * button's target and action (connect to QAbstractButton::clicked), and
 * registering cell views with a table view by class name (Qt item views
 * draw cells through delegates and create no views per row).
 */

#include <mirakit/foundation/Blocked.h>
#include <mirakit/foundation/BoolExtensions.h>
#include <mirakit/foundation/BundleExtensions.h>
#include <mirakit/foundation/CollectionExtensions.h>
#include <mirakit/foundation/ColorExtensions.h>
#include <mirakit/foundation/DataExtensions.h>
#include <mirakit/foundation/DateExtensions.h>
#include <mirakit/foundation/FontExtensions.h>
#include <mirakit/foundation/GeometryExtensions.h>
#include <mirakit/foundation/StringExtensions.h>
#include <mirakit/foundation/VersionCompare.h>
#include <mirakit/foundation/Weak.h>
