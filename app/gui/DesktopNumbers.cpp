#include "DesktopNumbers.h"

#include "DecimalSeparator.h"

#include <clocale>

namespace pavrin::app::gui {

char DesktopDecimalSeparator(const QLocale& locale) {
    const QString point = locale.decimalPoint();
    if (point == QStringLiteral(","))
        return ',';
    return '.';
}

void ApplyDesktopNumberConventions(const QLocale& locale) {
    controls::SetDecimalSeparator(DesktopDecimalSeparator(locale));
    // The application object took LC_ALL from the environment; formatting and reading numbers with
    // the C library must not follow a desktop that writes "1,5".
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace pavrin::app::gui
