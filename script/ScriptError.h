#pragma once
// The script engine's general exception: what the engine raises with one of
// its messages ("Invalid file format", "Language 'X' not found" ...), and
// what a compilation catches and turns into the script's error.

#include <QString>

#include <stdexcept>

namespace script {

class ScriptError : public std::runtime_error {
public:
    explicit ScriptError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

} // namespace script
