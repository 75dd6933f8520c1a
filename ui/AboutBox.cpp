#include "ui/AboutBox.h"

#include "ui/FormLook.h"
#include "ui_AboutBox.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>

TfrmAboutBox::TfrmAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TfrmAboutBox>()) {
    ui->setupUi(this);
    setFixedSize(size());
    AutoSizeLabels(*this);
    ui->lblWebSite->installEventFilter(this);
    connect(ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmAboutBox::~TfrmAboutBox() = default;

int TfrmAboutBox::ShowModal() {
    if (!shownBefore_) {
        CentreIn(*this, screen()->availableGeometry());
        shownBefore_ = true;
    }
    return exec();
}

void TfrmAboutBox::lblWebSiteClick() {
    QDesktopServices::openUrl(QUrl(ui->lblWebSite->text()));
}

bool TfrmAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->lblWebSite && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && ui->lblWebSite->rect().contains(mouse->position().toPoint())) {
            lblWebSiteClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAboutBox::keyPressEvent(QKeyEvent* event) {
    if (!PressOnEscape(*event, *ui->OKButton)) QDialog::keyPressEvent(event);
}
