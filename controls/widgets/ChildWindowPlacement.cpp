#include "ChildWindowPlacement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <QList>

#include <algorithm>

namespace pavrin::controls {

QSize WorkAreaSize(const QMdiSubWindow& window) {
    const QMdiArea* area = window.mdiArea();
    return area != nullptr ? area->viewport()->size() : QSize();
}

void KeepInsideWorkArea(QMdiSubWindow& window) {
    const QSize work = WorkAreaSize(window);
    if (work.isEmpty() || window.isHidden() || window.isMaximized() || window.isMinimized())
        return;
    const QSize minimum = window.minimumSize();
    const QSize size(std::max(std::min(window.width(), work.width()), minimum.width()),
                     std::max(std::min(window.height(), work.height()), minimum.height()));
    if (size != window.size())
        window.resize(size);
    const int x = std::max(0, std::min(window.x(), work.width() - size.width()));
    const int y = std::max(0, std::min(window.y(), work.height() - size.height()));
    if (QPoint(x, y) != window.pos())
        window.move(x, y);
}

void PlaceNewWindow(QMdiSubWindow& window) {
    const QSize work = WorkAreaSize(window);
    if (work.isEmpty() || window.isHidden() || window.isMaximized() || window.isMinimized())
        return;
    const QRect inside(QPoint(0, 0), work);
    if (inside.contains(window.geometry()))
        return;
    const QList<QMdiSubWindow*> others = window.mdiArea()->subWindowList(QMdiArea::StackingOrder);
    for (auto it = others.crbegin(); it != others.crend(); ++it) { // the topmost first
        const QMdiSubWindow* other = *it;
        if (other == &window || other->isHidden() || other->isMinimized() || other->isMaximized())
            continue;
        for (const QPoint at : {QPoint(other->x(), other->geometry().bottom() + 1),
                                QPoint(0, other->geometry().bottom() + 1)}) {
            if (inside.contains(QRect(at, window.size()))) {
                window.move(at);
                return;
            }
        }
    }
    KeepInsideWorkArea(window);
}

} // namespace pavrin::controls
