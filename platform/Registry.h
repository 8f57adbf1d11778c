#pragma once
// The system's settings store in place of the Windows registry: roots, key
// paths and typed values, kept in one text file. Key paths and value names are
// compared without regard to case; a leading "\" of a key path is optional.
//
// The file is "registry.reg" in the user's configuration folder
// (~/.config/tolvane/registry.reg); setStorageFile points it elsewhere.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <stdexcept>
#include <variant>

namespace platform {

enum class RegRoot { LocalMachine, CurrentUser, ClassesRoot };

// Raised by the typed reads when the value holds another type, with the text
// the platform's registry class gives: "Invalid data type for 'Name'".
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Registry {
public:
    using Value = std::variant<QString, quint32, QByteArray>;

    static Registry &instance();

    // The file the store lives in; the store is reloaded from it. Tests point
    // it at a folder of their own.
    void setStorageFile(const QString &path);
    QString storageFile() const { return file_; }
    static QString defaultStorageFile();

    bool keyExists(RegRoot root, QStringView key) const;
    // Creates the key (and its parents); false when the store cannot be written.
    bool createKey(RegRoot root, QStringView key);
    bool deleteKey(RegRoot root, QStringView key);
    bool valueExists(RegRoot root, QStringView key, QStringView name) const;
    std::optional<Value> value(RegRoot root, QStringView key, QStringView name) const;
    QStringList valueNames(RegRoot root, QStringView key) const;
    QStringList subKeyNames(RegRoot root, QStringView key) const;

    // Typed reads: nullopt when the key or value is missing, RegistryError
    // when the value has another type.
    std::optional<QString> readString(RegRoot root, QStringView key, QStringView name) const;
    std::optional<quint32> readInteger(RegRoot root, QStringView key, QStringView name) const;
    std::optional<QByteArray> readBinary(RegRoot root, QStringView key, QStringView name) const;

    // Writes create the key when missing; false when the store cannot be written.
    bool writeValue(RegRoot root, QStringView key, QStringView name, const Value &value);
    bool writeString(RegRoot root, QStringView key, QStringView name, const QString &text)
    {
        return writeValue(root, key, name, Value(text));
    }
    bool deleteValue(RegRoot root, QStringView key, QStringView name);

    static QString rootName(RegRoot root);

private:
    Registry();
    struct Key {
        QString path;                      // as first written
        std::map<QString, std::pair<QString, Value>> values; // folded name -> (name, value)
    };
    static QString foldedPath(RegRoot root, QStringView key);
    void load();
    bool save() const;
    bool commit();

    QString file_;
    std::map<QString, Key> keys_; // folded "ROOT\path" -> key
};

} // namespace platform
