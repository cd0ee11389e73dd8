#include "DialogCaption.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>

#include <algorithm>

namespace pavrin::graphics {

int CaptionWidth(const QWidget& dialog) {
    QFont font = QApplication::font();
    font.setBold(true);
    const int button = std::max(dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &dialog), 24);
    return QFontMetrics(font).horizontalAdvance(dialog.windowTitle()) + 4 * button + 2 * button;
}

void FitCaption(QWidget& dialog) {
    dialog.setMinimumWidth(std::max(dialog.minimumWidth(), CaptionWidth(dialog)));
}

} // namespace pavrin::graphics
