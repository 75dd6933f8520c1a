#include "serial/PortSettings.h"

#include "core/TextCodec.h"
#include "serial/Registry.h"

namespace {

std::vector<std::u16string> PortItems() {
    std::vector<std::u16string> items = {u"COM1", u"COM2", u"LPT1", u"LPT2"};
    for (int n = 3; n <= 20; ++n) items.push_back(u"COM" + DecimalText(n));
    return items;
}

// The value names, in the order they are always read and written.
constexpr std::array<const char16_t*, 5> kValueNames = {u"Port", u"BaudRate", u"ByteSize",
                                                        u"StopBits", u"Parity"};

// Closes the key however the reading or writing ends.
class OpenKeyGuard {
public:
    explicit OpenKeyGuard(Registry& registry) : registry_(registry) {}
    ~OpenKeyGuard() { registry_.CloseKey(); }
    OpenKeyGuard(const OpenKeyGuard&) = delete;
    OpenKeyGuard& operator=(const OpenKeyGuard&) = delete;

private:
    Registry& registry_;
};

}  // namespace

PortSettings::PortSettings(QString settingsFile, MessageBoxFunction showMessage)
    : PortCombo(PortItems()),
      BaudCombo({u"1200", u"2400", u"4800"}),
      ByteSizeCombo({u"7", u"8", u"9"}),
      StopBitsCombo({u"1", u"1.5", u"2"}),
      ParityCombo({u"No", u"Odd", u"Even"}),
      settingsFile_(std::move(settingsFile)),
      showMessage_(std::move(showMessage)) {}

std::array<Selector*, 5> PortSettings::Selectors() {
    return {&PortCombo, &BaudCombo, &ByteSizeCombo, &StopBitsCombo, &ParityCombo};
}

void PortSettings::FormCreate() {
    for (Selector* selector : Selectors()) selector->SetItemIndex(0);
    LoadPortSettings();
}

void PortSettings::LoadPortSettings() {
    Registry registry(settingsFile_);
    if (!registry.OpenKey(kKeyPath, false)) return;
    OpenKeyGuard guard(registry);
    for (std::size_t i = 0; i < kValueNames.size(); ++i)
        Selectors()[i]->SetItemIndex(registry.ReadInteger(kValueNames[i]));
}

void PortSettings::SavePortSettings() {
    Registry registry(settingsFile_);
    if (!registry.OpenKey(kKeyPath, true)) {
        showMessage_(u"Save to Registry failed!");
        return;
    }
    OpenKeyGuard guard(registry);
    for (std::size_t i = 0; i < kValueNames.size(); ++i)
        registry.WriteInteger(kValueNames[i], Selectors()[i]->ItemIndex());
}
