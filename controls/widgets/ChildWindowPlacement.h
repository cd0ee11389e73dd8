// Where a child window of the multiple-document area goes: fully inside the work area (the area's
// viewport), at its own size when that fits and shrunk to the work area when it does not, so that
// no window opens partly off-screen behind a scroll bar.
#pragma once

#include <QSize>

class QMdiSubWindow;

namespace pavrin::controls {

// The size of the work area that holds `window`; empty when it is in no area.
QSize WorkAreaSize(const QMdiSubWindow& window);

// Moves `window` so that it lies fully inside its work area, first shrinking it (never below its
// minimum size) where it is wider or taller than the area. Maximised, minimised and hidden windows,
// and windows in no area, are left alone.
void KeepInsideWorkArea(QMdiSubWindow& window);

// Places a window that has just opened: where the area put it when it lies fully inside the work
// area there; else below one of the other windows (the window it was opened from, as a rule) where
// it fits there; else as KeepInsideWorkArea does.
void PlaceNewWindow(QMdiSubWindow& window);

} // namespace pavrin::controls
