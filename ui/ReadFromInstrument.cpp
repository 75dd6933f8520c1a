// "Bilgi &oku" receives one transfer from the instrument, keeps it in the
// cache file beside the program, then decodes and parses it into the grids;
// "&Dönüştür" loads a raw dump file the user picks and does the same.

#include "serial/InstrumentReading.h"
#include "ui/MainWindow.h"
#include "ui/ModemPortDialog.h"
#include "ui/Program.h"

#include <QDir>

void TfrmMain::mnuReadDeviceClick() {
    if (RefusedDuringTransfer()) return;
    const TransferScope transfer(*this);
    PortConnection& port = Port().Connection();
    CacheFileName = QDir(ProgramFolder).filePath(QStringLiteral("cache.txt")).toStdU16String();
    ReadFromInstrument(store, port, Pause, CacheFileName);
}

void TfrmMain::mnuConvertClick() {
    if (RefusedDuringTransfer()) return;
    OpenDialog1.FilterIndex = kFilterAllFiles;
    if (!program_.dialogs.Execute(OpenDialog1)) return;
    store.memoDummyInput.LoadFromFile(OpenDialog1.FileName.toStdU16String());
    ConvertPacketLines(store);
}
