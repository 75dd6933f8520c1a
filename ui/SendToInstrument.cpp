// "Bilgi &gönder" sends the fixed upload header, then the coordinate records
// as instrument packets and the end packet. Afterwards the raw text store
// holds what was sent: the header, the packets and the end packet, or after a
// failed sending the header only. A coordinate value that is no number stops
// the command before anything is sent or the store is touched.

#include "core/UploadText.h"
#include "ui/MainWindow.h"
#include "ui/ModemPortDialog.h"

namespace {
constexpr int kPauseBeforeHeader = 200;
constexpr int kPauseAfterHeader = 300;
}  // namespace

void TfrmMain::mnuWriteDeviceClick() {
    if (RefusedDuringTransfer()) return;
    if (const std::optional<std::u16string> refusal = UploadRefusal(store)) {
        ShowMessage(*refusal);
        return;
    }
    const TransferScope transfer(*this);
    TModemPort& port = Port();
    store.memoDummyInput.Clear();
    port.Connect();
    Pause(kPauseBeforeHeader);
    port.sendMessage(std::u16string(UploadHeader));
    ProcessMessages();
    Pause(kPauseAfterHeader);
    store.memoDummyInput.SetText(store.memoDummyInput.Text() + std::u16string(UploadHeader));
    UploadCoordinates(store, port.Connection(), Pause);
    ShowMessage(u"Bilgi yükleme tamamlandı!");
}
