#include "ui/ModemPortDialog.h"

#include "ui/Dialogs.h"
#include "ui/ErrorDisplay.h"
#include "ui/FormLook.h"
#include "ui_ModemPort.h"

#include <QScreen>
#include <QStyle>

TModemPort::TModemPort(Dialogs& dialogs, ErrorDisplay& errors, const QString& settingsFile,
                       QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TModemPort>()),
      dialogs_(dialogs),
      errors_(errors),
      settings_(settingsFile,
                [&dialogs](const std::u16string& text) { dialogs.ShowMessage(QString::fromStdU16String(text)); }),
      device_(MakeSystemSerialDevice(PortsFolder(settingsFile))),
      connection_(settings_, *device_) {
    ui->setupUi(this);
    setFixedSize(size());
    AutoSizeLabels(*this);
    ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ui->BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    BindSelector(*ui->PortCombo, settings_.PortCombo);
    BindSelector(*ui->BaudCombo, settings_.BaudCombo);
    BindSelector(*ui->ByteSizeCombo, settings_.ByteSizeCombo);
    BindSelector(*ui->StopBitsCombo, settings_.StopBitsCombo);
    BindSelector(*ui->ParityCombo, settings_.ParityCombo);
    connect(ui->PortCombo, &QComboBox::activated, this, [this] {
        settings_.PortComboChange();
        ShowSettings();
    });

    connect(ui->BitBtn1, &QPushButton::clicked, this,
            [this] { CloseAfter([this] { settings_.BitBtn1Click(); }, Accepted); });
    connect(ui->BitBtn2, &QPushButton::clicked, this,
            [this] { CloseAfter([this] { settings_.BitBtn2Click(); }, Rejected); });
    connect(ui->Button1, &QPushButton::clicked, this, &TModemPort::Button1Click);
}

TModemPort::~TModemPort() = default;

void TModemPort::BindSelector(QComboBox& combo, Selector& selector) {
    // Only the user's picks: selecting from code raises no change.
    connect(&combo, &QComboBox::activated, this, [&selector](int index) { selector.SetItemIndex(index); });
}

void TModemPort::FormCreate() {
    // Whatever loading raises, the selectors show what was loaded.
    struct ShowOnExit {
        TModemPort& form;
        ~ShowOnExit() { form.ShowSettings(); }
    } show{*this};
    settings_.FormCreate();
    MarkPortNotOpen();
}

void TModemPort::Execute() {
    if (!shownBefore_) {
        CentreIn(*this, screen()->geometry());
        shownBefore_ = true;
    }
    exec();
}

void TModemPort::ShowSettings() {
    const auto show = [](QComboBox& combo, const Selector& selector) {
        combo.setCurrentIndex(selector.ItemIndex());
        // With no item selected the list may still have a text to show: the
        // value in force.
        combo.setPlaceholderText(selector.ItemIndex() < 0 ? QString::fromStdU16String(selector.Text())
                                                          : QString());
    };
    show(*ui->PortCombo, settings_.PortCombo);
    show(*ui->BaudCombo, settings_.BaudCombo);
    show(*ui->ByteSizeCombo, settings_.ByteSizeCombo);
    show(*ui->StopBitsCombo, settings_.StopBitsCombo);
    show(*ui->ParityCombo, settings_.ParityCombo);
    ui->Button1->setVisible(settings_.Button1Visible());
}

void TModemPort::CloseAfter(const std::function<void()>& handler, DialogCode result) {
    errors_.Run(handler);
    ShowSettings();
    done(result);
}

void TModemPort::Button1Click() {
    if (transferRunning_) {
        dialogs_.Beep();
        return;
    }
    errors_.Run([this] { connection_.Button1Click(); });
    ShowSettings();
}

void TModemPort::showEvent(QShowEvent* event) {
    ShowSettings();
    QDialog::showEvent(event);
}

void TModemPort::keyPressEvent(QKeyEvent* event) {
    if (!PressOnEscape(*event, *ui->BitBtn2)) QDialog::keyPressEvent(event);
}
