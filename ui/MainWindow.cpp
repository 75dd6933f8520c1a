#include "ui/MainWindow.h"

#include "core/Errors.h"
#include "ui/AboutBox.h"
#include "ui/FormLook.h"
#include "ui/ModemPortDialog.h"
#include "ui/Program.h"
#include "ui/StringTable.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QBitmap>
#include <QLayout>
#include <QScreen>

namespace {

// Column widths declared on a grid's view, e.g. "96,97,96,94".
QList<int> DeclaredColumnWidths(const QWidget& view) {
    QList<int> widths;
    for (const QString& width : view.property("ColWidths").toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
        widths << width.trimmed().toInt();
    return widths;
}

// Writes a grid's header row from the string table entries prefix0, prefix1, ...
void WriteHeaderRow(StringGrid& grid, const StringTable& strings, const QString& prefix) {
    for (std::int32_t col = 0; col < grid.ColCount(); ++col)
        grid.SetCell(col, 0, strings.Text(prefix + QString::number(col)).toStdU16String());
}

}  // namespace

TfrmMain::TfrmMain(Program& program)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      store(*this),
      program_(program),
      ui(std::make_unique<Ui::TfrmMain>()) {
    ui->setupUi(this);
    // Single fixed border: the client area below the menu bar is 808 x 509.
    centralWidget()->setFixedSize(808, 509);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    AutoSizeLabels(*this);

    // The picture's white background is transparent.
    QPixmap picture = ui->Image1->pixmap();
    picture.setMask(picture.createMaskFromColor(Qt::white));
    ui->Image1->setPixmap(picture);

    ShowGridInView(*ui->gridXYZData, xyzModel_, DeclaredColumnWidths(*ui->gridXYZData));
    ShowGridInView(*ui->gridYDEData, ydeModel_, DeclaredColumnWidths(*ui->gridYDEData));

    BindCommand(ui->mnuFileOpen, &TfrmMain::mnuFileOpenClick);
    BindCommand(ui->mnuSave, &TfrmMain::mnuSaveClick);
    BindCommand(ui->mnuSaveRaw, &TfrmMain::mnuSaveRawClick);
    BindCommand(ui->mnuSaveAll, &TfrmMain::mnuSaveAllClick);
    BindCommand(ui->mnuConvert, &TfrmMain::mnuConvertClick);
    BindCommand(ui->mnuClose, &TfrmMain::mnuCloseClick);
    BindCommand(ui->mnuReadDevice, &TfrmMain::mnuReadDeviceClick);
    BindCommand(ui->mnuWriteDevice, &TfrmMain::mnuWriteDeviceClick);
    BindCommand(ui->mnuPortConfig, &TfrmMain::mnuPortConfigClick);
    BindCommand(ui->mnuSetRecordCount, &TfrmMain::mnuSetRecordCountClick);
    BindCommand(ui->Hakknda1, &TfrmMain::Hakknda1Click);
    // Only the user's picks run the change handler, not selections from code.
    connect(ui->comboDataFormat, &QComboBox::activated, this, [this](int index) {
        store.comboDataFormat.SetItemIndex(index);
        RunCommand([this] { comboDataFormatChange(); });
    });
}

TfrmMain::~TfrmMain() {
    if (hourglass_) QApplication::restoreOverrideCursor();
}

void TfrmMain::FormCreate() {
    const StringTable strings = StringTable::Program();
    WriteHeaderRow(store.gridXYZData, strings, QStringLiteral("XYZHeader"));
    WriteHeaderRow(store.gridYDEData, strings, QStringLiteral("YDEHeader"));
    store.comboDataFormat.SetItemIndex(DataFormatSelector::kXYZ);
    ShowDataFormat();
    ui->comboDeviceName->setCurrentIndex(0);
    store.memoDummyInput.Clear();
}

void TfrmMain::RunCommand(const std::function<void()>& command) {
    program_.Errors().Run(command);
    ShowDataFormat();
}

void TfrmMain::BindCommand(QAction* item, void (TfrmMain::*handler)()) {
    connect(item, &QAction::triggered, this, [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
}

void TfrmMain::ShowDataFormat() { ui->comboDataFormat->setCurrentIndex(store.comboDataFormat.ItemIndex()); }

void TfrmMain::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        // The first time: in the middle of the whole desktop, all screens
        // together.
        CentreIn(*this, screen()->virtualGeometry());
        shownBefore_ = true;
    }
    QMainWindow::showEvent(event);
}

// Window services

void TfrmMain::SetCounterVisible(bool visible) { ui->lblPacketsCount->setVisible(visible); }

void TfrmMain::SetCounterCaption(const std::u16string& text) {
    ui->lblPacketsCount->setText(QString::fromStdU16String(text));
    AutoSizeLabel(*ui->lblPacketsCount);
}

void TfrmMain::RepaintCounter() { ui->lblPacketsCount->repaint(); }

void TfrmMain::SetScreenCursor(ScreenCursor cursor) {
    const bool hourglass = cursor == ScreenCursor::crHourGlass;
    if (hourglass == hourglass_) return;
    hourglass_ = hourglass;
    if (hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TfrmMain::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TfrmMain::ShowMessage(const std::u16string& text) {
    program_.dialogs.ShowMessage(QString::fromStdU16String(text));
}

void TfrmMain::BringGridToFront(GridKind grid) {
    (grid == GridKind::XYZ ? ui->gridXYZData : ui->gridYDEData)->raise();
    ShowDataFormat();
}

// Transfers

void TfrmMain::SetTransferRunning(bool running) {
    transferRunning_ = running;
    if (program_.ModemPort) program_.ModemPort->SetTransferRunning(running);
}

bool TfrmMain::RefusedDuringTransfer() {
    if (!transferRunning_) return false;
    program_.dialogs.Beep();
    return true;
}

TModemPort& TfrmMain::Port() {
    if (!program_.ModemPort) throw EInOutError(u"Connect to the port first!");
    return *program_.ModemPort;
}

// Commands (the reading, the sending and the file commands have units of
// their own)

void TfrmMain::mnuCloseClick() { close(); }

void TfrmMain::mnuPortConfigClick() {
    if (program_.ModemPort) program_.ModemPort->Execute();
}

void TfrmMain::Hakknda1Click() {
    if (program_.frmAboutBox) program_.frmAboutBox->ShowModal();
}

void TfrmMain::comboDataFormatChange() { store.comboDataFormatChange(); }
