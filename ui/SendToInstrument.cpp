// "Bilgi &gönder" sends the fixed upload header, then the coordinate records
// as instrument packets and the end packet.

#include "serial/InstrumentSending.h"
#include "ui/MainWindow.h"
#include "ui/ModemPortDialog.h"

void TfrmMain::mnuWriteDeviceClick() {
    if (RefusedDuringTransfer()) return;
    const TransferScope transfer(*this);
    SendToInstrument(store, Port().Connection(), Pause);
}
