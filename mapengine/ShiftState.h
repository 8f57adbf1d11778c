#pragma once
// The shift state the map control reports with its mouse events: the keys
// Shift, Alt and Ctrl, the mouse buttons held, and the mark of the press that
// completes a double click. Tools test sets of them ("exactly the left button
// alone"), so buttons and keys are one set.

#include <Qt>

enum TShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};

struct TShiftState {
    unsigned Bits = 0;

    constexpr TShiftState() = default;
    constexpr TShiftState(unsigned bits) : Bits(bits) {}

    // Whether every flag of `flags` is in the set.
    constexpr bool has(unsigned flags) const { return (Bits & flags) == flags; }
    constexpr bool operator==(const TShiftState &) const = default;

    // The keys alone, as the map control's operations take them.
    Qt::KeyboardModifiers keys() const
    {
        Qt::KeyboardModifiers k;
        if (has(ssShift))
            k |= Qt::ShiftModifier;
        if (has(ssAlt))
            k |= Qt::AltModifier;
        if (has(ssCtrl))
            k |= Qt::ControlModifier;
        return k;
    }

    static TShiftState of(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons, bool doubleClick = false)
    {
        unsigned b = 0;
        if (keys.testFlag(Qt::ShiftModifier))
            b |= ssShift;
        if (keys.testFlag(Qt::AltModifier))
            b |= ssAlt;
        if (keys.testFlag(Qt::ControlModifier))
            b |= ssCtrl;
        if (buttons.testFlag(Qt::LeftButton))
            b |= ssLeft;
        if (buttons.testFlag(Qt::RightButton))
            b |= ssRight;
        if (buttons.testFlag(Qt::MiddleButton))
            b |= ssMiddle;
        if (doubleClick)
            b |= ssDouble;
        return TShiftState(b);
    }
};
