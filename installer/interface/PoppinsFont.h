#pragma once

#include <QFont>

/// The weights of the installer's typeface, Poppins.
enum class PoppinsWeight { bold, regular, medium, semibold, semiBoldItalic };

/**
 * The installer's font: Poppins of @p weight at @p size (in device-independent
 * pixels, the unit the page layouts are drawn in).
 *
 * The family ships in the installer's bundle; each weight's file is
 * registered the first time that weight is asked for.
 * When it cannot be loaded the system interface font of the matching weight
 * is answered instead. Scripts Poppins lacks (Japanese, Arabic) fall back
 * glyph by glyph to the system's fonts.
 */
QFont poppinsFont(qreal size, PoppinsWeight weight);

/// The font file name of @p weight, "Poppins-SemiBoldItalic" for example.
QString poppinsFontName(PoppinsWeight weight);

/// Registers the bundled Poppins file of @p weight with the application;
/// true when it provides the family. Safe to call more than once.
bool registerPoppinsFont(PoppinsWeight weight);
