#pragma once

#include <QRect>

// Where a new window of the given size goes next to an existing one: the
// size shrunk to the screen's available area, then, of the places right
// of, left of, below and above the existing window (each pushed back onto
// the screen), the first that covers none of it. Where each would cover
// some, the largest free band on those sides that holds at least 480 x 360,
// the window shrunk to it; failing that, the place that covers least. Frames
// are the caller's: the rectangles are whatever it measures.
QRect PlaceBeside(const QRect& screen, const QRect& existing, QSize size);
