#pragma once
// The main window (frmMain): the two record grids, the data-format and
// instrument-model selectors, the instrument picture, the packet counter and
// the main menu from which every command starts. It owns the record store and
// provides the window services the conversion core calls.

#include "core/MessageSender.h"
#include "core/RecordStore.h"
#include "ui/Dialogs.h"
#include "ui/GridModel.h"

#include <QCoreApplication>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class Program;
class QAction;
class TModemPort;

namespace Ui {
class TfrmMain;
}

class TfrmMain : public QMainWindow, public WindowServices {
    Q_OBJECT

public:
    static constexpr const char* kFileFilter =
        "Tüm dosyalar|*.*|XYZ Dosyaları|*.XYZ|YDE Dosyaları|*.YDE|Salt metin dosyaları|*.TXT";
    // The entries of the filter, counted from 1.
    static constexpr int kFilterAllFiles = 1;
    static constexpr int kFilterXYZ = 2;
    static constexpr int kFilterYDE = 3;
    static constexpr int kFilterText = 4;

    // The largest coordinate record count the record count command sets.
    static constexpr std::int32_t kMaxRecordCount = 1'000'000;

    explicit TfrmMain(Program& program);
    ~TfrmMain() override;

    // The creation handler: the grids' header rows from the string table,
    // item 0 of both selectors, an empty raw text store.
    void FormCreate();

    // The grids, their record counts, the format selector and the raw text
    // store.
    RecordStore store;
    FileDialog OpenDialog1{FileDialog::Kind::Open, QString::fromUtf8(kFileFilter)};
    FileDialog SaveDialog1{FileDialog::Kind::Save, QString::fromUtf8(kFileFilter)};
    // The cache file of the last reading from the instrument.
    std::u16string CacheFileName;
    // The folder that holds the program file; a reading writes its cache file
    // there.
    QString ProgramFolder = QCoreApplication::applicationDirPath();
    // The pause of the transfers, in milliseconds.
    SleepFunction Pause = Sleep;

    // True while a reading or a sending runs.
    bool TransferRunning() const { return transferRunning_; }

    // Window services.
    void SetCounterVisible(bool visible) override;
    void SetCounterCaption(const std::u16string& text) override;
    void RepaintCounter() override;
    void SetScreenCursor(ScreenCursor cursor) override;
    void ProcessMessages() override;
    void ShowMessage(const std::u16string& text) override;
    void BringGridToFront(GridKind grid) override;

public slots:
    void mnuFileOpenClick();
    void mnuSaveClick();
    void mnuSaveRawClick();
    void mnuSaveAllClick();
    void mnuConvertClick();
    // "Çı&kış": closes the main window, which ends the program.
    void mnuCloseClick();
    void mnuReadDeviceClick();
    void mnuWriteDeviceClick();
    // "&Port ayarları": the port settings window, modally.
    void mnuPortConfigClick();
    void mnuSetRecordCountClick();
    // "&Hakkında": the About box, modally.
    void Hakknda1Click();
    // The user picked a data format: its grid comes to the front.
    void comboDataFormatChange();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Runs a command through the default error display.
    void RunCommand(const std::function<void()>& command);
    void BindCommand(QAction* item, void (TfrmMain::*handler)());
    // The format list shows the store's selection.
    void ShowDataFormat();

    // Marks a reading or a sending for its lifetime.
    class TransferScope {
    public:
        explicit TransferScope(TfrmMain& window) : window_(window) { window_.SetTransferRunning(true); }
        ~TransferScope() { window_.SetTransferRunning(false); }
        TransferScope(const TransferScope&) = delete;
        TransferScope& operator=(const TransferScope&) = delete;

    private:
        TfrmMain& window_;
    };
    void SetTransferRunning(bool running);
    // A command that uses the port, the cache file, the raw text store or the
    // grids can't run inside a transfer's message handling: it beeps and
    // does nothing. True when the command is refused.
    bool RefusedDuringTransfer();
    TModemPort& Port();

    Program& program_;
    std::unique_ptr<Ui::TfrmMain> ui;
    GridModel xyzModel_{store.gridXYZData};
    GridModel ydeModel_{store.gridYDEData};
    bool hourglass_ = false;
    bool shownBefore_ = false;
    bool transferRunning_ = false;
};
