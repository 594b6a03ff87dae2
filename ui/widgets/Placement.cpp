#include "Placement.h"

#include <algorithm>

namespace {

QRect OntoScreen(QRect place, const QRect& screen) {
    place.moveLeft(std::clamp(place.left(), screen.left(), screen.right() - place.width() + 1));
    place.moveTop(std::clamp(place.top(), screen.top(), screen.bottom() - place.height() + 1));
    return place;
}

qint64 Covered(const QRect& place, const QRect& existing) {
    const QRect both = place.intersected(existing);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

}  // namespace

QRect PlaceBeside(const QRect& screen, const QRect& existing, QSize size) {
    size = size.boundedTo(screen.size());
    const int top = existing.top();
    const int left = existing.left();
    const QRect candidates[] = {
        QRect(QPoint(existing.right() + 1, top), size),
        QRect(QPoint(left - size.width(), top), size),
        QRect(QPoint(left, existing.bottom() + 1), size),
        QRect(QPoint(left, top - size.height()), size),
    };
    QRect best;
    qint64 least = -1;
    for (const QRect& candidate : candidates) {
        const QRect place = OntoScreen(candidate, screen);
        const qint64 covered = Covered(place, existing);
        if (least < 0 || covered < least) {
            best = place;
            least = covered;
        }
    }
    return best;
}
