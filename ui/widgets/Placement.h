#pragma once

#include <QRect>

// Where a new window of the given size goes next to an existing one: the
// size shrunk to the screen's available area, then, of the places right
// of, left of, below and above the existing window (each pushed back onto
// the screen), the one that covers least of it; the first of those on a
// tie. Frames are the caller's: the rectangles are whatever it measures.
QRect PlaceBeside(const QRect& screen, const QRect& existing, QSize size);
