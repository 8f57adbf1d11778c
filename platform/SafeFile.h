#pragma once
// Replacing a file so that a failed write leaves the old content whole.

#include <QByteArray>
#include <QString>

namespace platform {

// Writes the bytes under a temporary name in the same folder and renames it
// over the target; false (with the target untouched) when any step fails.
bool writeFileAtomically(const QString &path, const QByteArray &bytes);

} // namespace platform
