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

Placement PlaceBeside(const QRect& screen, const QRect& existing, QSize size) {
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
    if (least == 0)
        return {best, existing};

    // Every place of the whole size covers some of the window: rather the
    // largest free band beside it, the window shrunk to the band, where that
    // leaves it big enough to be of use.
    const QSize kSmallest(480, 360);
    const int rightRoom = screen.right() - existing.right();
    const int leftRoom = existing.left() - screen.left();
    const int belowRoom = screen.bottom() - existing.bottom();
    const int aboveRoom = existing.top() - screen.top();
    const QRect bands[] = {
        QRect(QPoint(existing.right() + 1, top), QSize(std::min(size.width(), rightRoom), size.height())),
        QRect(QPoint(existing.left() - std::min(size.width(), leftRoom), top),
              QSize(std::min(size.width(), leftRoom), size.height())),
        QRect(QPoint(left, existing.bottom() + 1), QSize(size.width(), std::min(size.height(), belowRoom))),
        QRect(QPoint(left, existing.top() - std::min(size.height(), aboveRoom)),
              QSize(size.width(), std::min(size.height(), aboveRoom))),
    };
    qint64 largest = 0;
    QRect widest;
    for (const QRect& band : bands) {
        if (band.width() < kSmallest.width() || band.height() < kSmallest.height())
            continue;
        const QRect place = OntoScreen(band, screen);
        const qint64 area = qint64(place.width()) * place.height();
        if (Covered(place, existing) == 0 && area > largest) {
            widest = place;
            largest = area;
        }
    }
    if (largest > 0)
        return {widest, existing};

    // No band is of use: the existing window goes to the nearer edge, the
    // new one into the room on the other side.
    const QRect onScreen = OntoScreen(existing, screen);
    const int acrossRoom = screen.width() - onScreen.width();
    if (acrossRoom >= kSmallest.width()) {
        const bool toLeft = onScreen.left() - screen.left() <= screen.right() - onScreen.right();
        QRect moved = onScreen;
        moved.moveLeft(toLeft ? screen.left() : screen.right() - onScreen.width() + 1);
        const QSize shrunk(std::min(size.width(), acrossRoom), size.height());
        const QPoint at(toLeft ? moved.right() + 1 : moved.left() - shrunk.width(), onScreen.top());
        return {OntoScreen(QRect(at, shrunk), screen), moved};
    }
    const int downRoom = screen.height() - onScreen.height();
    if (downRoom >= kSmallest.height()) {
        const bool toTop = onScreen.top() - screen.top() <= screen.bottom() - onScreen.bottom();
        QRect moved = onScreen;
        moved.moveTop(toTop ? screen.top() : screen.bottom() - onScreen.height() + 1);
        const QSize shrunk(size.width(), std::min(size.height(), downRoom));
        const QPoint at(onScreen.left(), toTop ? moved.bottom() + 1 : moved.top() - shrunk.height());
        return {OntoScreen(QRect(at, shrunk), screen), moved};
    }
    return {best, existing};
}
