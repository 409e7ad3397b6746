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
 * | ButtonExtensions.h | QAbstractButton: one replaceable target-action |
 * | ListViewRegister.h | item views: cell widgets registered and made by class |
 */

#include <mirakit/foundation/Blocked.h>
#include <mirakit/foundation/BoolExtensions.h>
#include <mirakit/foundation/BundleExtensions.h>
#include <mirakit/foundation/ButtonExtensions.h>
#include <mirakit/foundation/CollectionExtensions.h>
#include <mirakit/foundation/ColorExtensions.h>
#include <mirakit/foundation/DataExtensions.h>
#include <mirakit/foundation/DateExtensions.h>
#include <mirakit/foundation/FontExtensions.h>
#include <mirakit/foundation/GeometryExtensions.h>
#include <mirakit/foundation/ListViewRegister.h>
#include <mirakit/foundation/StringExtensions.h>
#include <mirakit/foundation/VersionCompare.h>
#include <mirakit/foundation/Weak.h>
