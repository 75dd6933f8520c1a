#pragma once
// The per-user settings store, with the semantics of a registry accessor:
// open a key (optionally creating it), read and write 32-bit integer values,
// close the key. On this system the store is an INI file written through
// QSettings; a key path becomes a group in it.

#include <QSettings>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

class Registry {
public:
    // The store in the given INI file.
    explicit Registry(const QString& iniFile);

    // The user's own INI file for the program's settings, where QSettings
    // places it for organisation "Tanvel" and application "DovavIriduze".
    static QString DefaultSettingsFile();

    // Makes the key the current one. Without canCreate a missing key gives
    // false; false too when the store can't be read, or (with canCreate) can't
    // be written.
    bool OpenKey(const std::u16string& path, bool canCreate);
    // ERegistryException "Failed to get data for '<name>'" when the value is
    // missing, "Invalid data type for '<name>'" when it is not a 32-bit integer.
    std::int32_t ReadInteger(const std::u16string& name);
    // ERegistryException "Failed to set data for '<name>'" when it can't be
    // written.
    void WriteInteger(const std::u16string& name, std::int32_t value);
    void CloseKey();

private:
    QString ValueKey(const std::u16string& name) const;

    std::unique_ptr<QSettings> settings_;
    QString currentKey_;
    bool keyOpen_ = false;
};
