// The graph window's dialogs are narrow; the window manager cuts a caption that does not fit their
// title bar ("Save Attr..."). They are made at least as wide as their caption needs.
#pragma once

#include <QWidget>

namespace pavrin::graphics {

// The least width at which the title bar of `dialog` shows its whole caption: the caption in a bold
// application font, as title bars are drawn, and room for the window icon and three window buttons.
int CaptionWidth(const QWidget& dialog);

// Widens the minimum width of `dialog` (whose caption is set) to CaptionWidth where it is less.
void FitCaption(QWidget& dialog);

} // namespace pavrin::graphics
