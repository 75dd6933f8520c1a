#pragma once
// A window that does nothing, for running the core without one (fuzz targets,
// benchmarks).

#include "core/WindowServices.h"

class NullWindowServices : public WindowServices {
public:
    void SetCounterVisible(bool) override {}
    void SetCounterCaption(const std::u16string&) override {}
    void RepaintCounter() override {}
    void SetScreenCursor(ScreenCursor) override {}
    void ProcessMessages() override {}
    void ShowMessage(const std::u16string&) override {}
    void BringGridToFront(GridKind) override {}
};
