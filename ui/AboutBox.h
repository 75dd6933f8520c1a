#pragma once
// The About box (frmAboutBox): the product's name and version, the maker's
// copyright, company, telephone and web address, and "Kapat". It is created
// once and reused: centred in the work area the first time it is shown,
// afterwards it opens where it was when last closed.

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmAboutBox;
}

class TfrmAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAboutBox(QWidget* parent = nullptr);
    ~TfrmAboutBox() override;

    // Shows the box modally and returns its modal result.
    int ShowModal();

public slots:
    // Hands the web-address label's own text to the system to open; the
    // result is not looked at.
    void lblWebSiteClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc presses "Kapat", as Enter does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::TfrmAboutBox> ui;
    bool shownBefore_ = false;
};
