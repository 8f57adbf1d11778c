#pragma once
// The reports of GPS trackers as they arrive in SMS texts. A report starts
// with ">RTKS" (status) or ">RTKP" (position); anything before it is ignored,
// and it ends after the first "<" that follows (the "<" included) or at the
// end of the text. Its fields sit at fixed characters, counted from 1 at the
// ">"; characters the report does not have read as empty.

#include <QString>

struct TTrackerMessage {
    QString Kind;          // character 5: "S" status, "P" position
    QString Field6;        // characters 6-9
    QString Field11;       // 11-13
    QString Field15;       // 15-18
    QString Field19;       // 19-24
    double Latitude = 0;   // position: 37-46, units of 1/10000000 degree, in degrees
    double Longitude = 0;  // position: 47-57, the same
    double Value58 = 0;    // position: 58-63, passed on with the point
    double Value64 = 0;    // position: 64-66
    double Value67 = 0;    // position: 67-69
    QString Unit;          // the unit number: status 41-48, position 74-81
    // A position report whose point can be placed: its latitude and longitude
    // are signed whole numbers within the ranges of degrees, and its unit
    // number is given. Malformed numbers read 0, which is no position.
    bool Placeable = false;
};

// Fills the status and the position report found in a message text. Both
// records are cleared first: a kind the text does not hold comes back with
// an empty Kind. Numbers are read by the tolerant converter with the default
// 0; a text that is no number reads 0.
void ParseTrackerMessage(const QString &text, TTrackerMessage &status, TTrackerMessage &position);
