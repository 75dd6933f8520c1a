#include "serial/InstrumentSending.h"

#include "core/InstrumentPacket.h"
#include "core/UploadText.h"

namespace {
constexpr int kPauseBeforeHeader = 200;
constexpr int kPauseAfterHeader = 300;
}  // namespace

void SendToInstrument(RecordStore& store, PortConnection& port, const SleepFunction& pause) {
    // A coordinate value that is no number would put the point in the wrong
    // place: nothing is sent, and nothing is touched.
    if (const std::optional<std::u16string> refusal = UploadRefusal(store)) {
        store.services.ShowMessage(*refusal);
        return;
    }
    // Built at once from the values just checked: while the header goes out,
    // the window handles its messages, and the grid may be edited.
    const std::u16string uploadText = UploadText(store);
    store.memoDummyInput.Clear();
    port.Connect();
    pause(kPauseBeforeHeader);
    port.sendMessage(std::u16string(UploadHeader));
    store.services.ProcessMessages();
    pause(kPauseAfterHeader);
    store.memoDummyInput.SetText(store.memoDummyInput.Text() + std::u16string(UploadHeader));
    SendPackets(store, port, pause, uploadText);
    store.services.ShowMessage(u"Bilgi yükleme tamamlandı!");
}
