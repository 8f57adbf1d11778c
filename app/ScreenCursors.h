#pragma once
// The screen's cursor table: numbered cursors of the tools. A slot without a
// loaded cursor gives the standard arrow.

#include <QCursor>
#include <QString>

namespace app {

// Loads a cursor file into slot n; a missing or unreadable file leaves the
// slot as it was. True when a cursor was loaded.
bool loadScreenCursor(int n, const QString &fileName);
bool hasScreenCursor(int n);
QCursor screenCursor(int n);
// Empties the table (tests).
void clearScreenCursors();

} // namespace app
