#pragma once

class QWidget;

namespace mira::gallery {

/// The gallery page of views designed in files: a card laid out in Qt Designer
/// (ProfileCard.ui, with MiraKit widgets inside) filling a NibDesignView.
QWidget *createNibPage(QWidget *parent = nullptr);

} // namespace mira::gallery
