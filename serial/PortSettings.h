#pragma once
// The port settings: the five selectors of the port settings window (port,
// baud rate, byte size, stop bits, parity), kept in the per-user store as
// item indexes, and the Connect button whose visibility is the connection
// state. The window binds its controls to this; the port connection reads the
// selectors and hides the button.

#include "serial/Selector.h"

#include <QString>

#include <array>
#include <functional>
#include <string>

class PortSettings {
public:
    using MessageBoxFunction = std::function<void(const std::u16string&)>;

    static constexpr const char16_t* kKeyPath = u"\\Software\\Tanvel\\DovavIriduze";

    // settingsFile: the INI file of the per-user store; showMessage: a plain
    // message box.
    PortSettings(QString settingsFile, MessageBoxFunction showMessage);

    Selector PortCombo;
    Selector BaudCombo;
    Selector ByteSizeCombo;
    Selector StopBitsCombo;
    Selector ParityCombo;

    // The Connect button: visible, the next Connect opens the port (again);
    // hidden, a port is open.
    bool Button1Visible() const { return button1Visible_; }
    void HideButton1() { button1Visible_ = false; }
    void ShowButton1() { button1Visible_ = true; }

    const QString& SettingsFile() const { return settingsFile_; }

    // Creation: item 0 in every selector, then the stored settings over them.
    // Raises what loading raises.
    void FormCreate();
    // Store to selectors. A missing key changes nothing; a missing or bad
    // value raises ERegistryException after the values before it were applied.
    void LoadPortSettings();
    // Selectors to store. A key that can't be opened or created shows "Save to
    // Registry failed!"; a value that can't be written raises.
    void SavePortSettings();

    // "Save and Use"
    void BitBtn1Click() { SavePortSettings(); }
    // "&Close": the unsaved changes are discarded.
    void BitBtn2Click() { LoadPortSettings(); }
    // The user picked a port: the next Connect opens it.
    void PortComboChange() { button1Visible_ = true; }

private:
    // The selectors in the order their values are stored.
    std::array<Selector*, 5> Selectors();

    QString settingsFile_;
    MessageBoxFunction showMessage_;
    bool button1Visible_ = true;
};
