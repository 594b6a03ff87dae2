#pragma once

#include <QRect>

// Where a new window goes next to an existing one, and where the existing
// one goes to make room.
struct Placement {
    QRect Window;
    QRect Existing;  // the existing window's rectangle, moved or as it was
};

// The new window of the given size shrunk to the screen's available area,
// then, of the places right of, left of, below and above the existing
// window (each pushed back onto the screen), the first that covers none of
// it. Where each would cover some, the largest free band on those sides
// that holds at least 480 x 360, the window shrunk to it. Where no band
// does, the existing window moves aside to the nearer edge of the screen,
// across or else up or down, and the new one takes the room so made: the
// user sees both and reaches the one they came from with a click, where an
// overlap would hide it and a band under 480 wide would show a column or
// two of the rows. Only a screen too small for both gets the place that
// covers least of the existing window, which then stays. Frames are the
// caller's: the rectangles are whatever it measures.
Placement PlaceBeside(const QRect& screen, const QRect& existing, QSize size);
