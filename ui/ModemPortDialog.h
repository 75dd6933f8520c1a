#pragma once
// The port settings window (ModemPort): five drop-down lists bound to the
// port settings, "Save and Use", "&Close" and the Connect button. Created once
// at start-up, shown modally by Execute any number of times.

#include "serial/PortConnection.h"
#include "serial/PortSettings.h"
#include "serial/SerialDevice.h"

#include <QDialog>

#include <functional>
#include <string>
#include <memory>

class Dialogs;
class ErrorDisplay;
class QComboBox;

namespace Ui {
class TModemPort;
}

class TModemPort : public QDialog {
    Q_OBJECT

public:
    // settingsFile: the per-user store the settings are kept in.
    TModemPort(Dialogs& dialogs, ErrorDisplay& errors, const QString& settingsFile,
               QWidget* parent = nullptr);
    ~TModemPort() override;

    // The creation handler: item 0 in every selector, then the stored
    // settings over them, then no port open. Raises what loading raises.
    void FormCreate();
    // Shows the window modally and returns when it closes; the modal result
    // is not looked at.
    void Execute();

    PortSettings& Settings() { return settings_; }

    // The serial link: opens the port while the Connect button is visible,
    // and moves text over it.
    void Connect() { connection_.Connect(); }
    bool sendMessage(const std::u16string& pText) { return connection_.sendMessage(pText); }
    bool readMessage(std::u16string& pText) { return connection_.readMessage(pText); }
    PortConnection& Connection() { return connection_; }
    // While a transfer runs over the open port, the Connect button is refused
    // (a beep) instead of closing and reopening the port under it.
    void SetTransferRunning(bool running) { transferRunning_ = running; }

protected:
    void showEvent(QShowEvent* event) override;
    // Esc presses "&Close".
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The selections and the Connect button's visibility, from the settings.
    void ShowSettings();
    void BindSelector(QComboBox& combo, Selector& selector);
    // A button that closes the dialog: its handler runs (an error it raises
    // is shown over the dialog), then the dialog closes with the result.
    void CloseAfter(const std::function<void()>& handler, DialogCode result);
    void Button1Click();

    std::unique_ptr<Ui::TModemPort> ui;
    Dialogs& dialogs_;
    ErrorDisplay& errors_;
    PortSettings settings_;
    std::unique_ptr<SerialDevice> device_;
    PortConnection connection_;
    bool shownBefore_ = false;
    bool transferRunning_ = false;
};
