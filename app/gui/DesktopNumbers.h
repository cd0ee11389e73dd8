// The desktop's number conventions in the desktop program. What the user types and reads (entries,
// table cells, pasted rows, graph labels) uses the decimal separator of the desktop's locale; files,
// the run-file list and the engine keep ".", and so does every conversion of the C library, whatever
// the desktop's locale says.
#pragma once

#include <QLocale>

namespace pavrin::app::gui {

// The separator the program uses on a desktop with this locale: its decimal point when that is ","
// or "."; "." for any other (longer, or a character such as the Arabic decimal separator that the
// entries cannot carry).
char DesktopDecimalSeparator(const QLocale& locale);

// At start-up, once the application object exists (it has set the C library's conventions from the
// desktop's): the user's separator from `locale`, and the C library's numeric convention back to "C".
void ApplyDesktopNumberConventions(const QLocale& locale = QLocale::system());

} // namespace pavrin::app::gui
