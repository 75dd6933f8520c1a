#pragma once
// A window that records what the core asks of it, in order.

#include "core/TextCodec.h"
#include "core/WindowServices.h"

#include <string>
#include <vector>

class FakeWindowServices : public WindowServices {
public:
    // One entry per call, e.g. "counter visible", "caption Gönderilen...",
    // "cursor -11", "messages", "message <text>", "front YDE".
    std::vector<std::string> calls;
    std::vector<std::u16string> messages;

    void SetCounterVisible(bool visible) override { calls.push_back(visible ? "counter visible" : "counter hidden"); }
    void SetCounterCaption(const std::u16string& text) override { calls.push_back("caption " + Utf16ToUtf8(text)); }
    void RepaintCounter() override { calls.push_back("repaint"); }
    void SetScreenCursor(ScreenCursor c) override {
        calls.push_back("cursor " + std::to_string(static_cast<int>(c)));
    }
    void ProcessMessages() override { calls.push_back("messages"); }
    void ShowMessage(const std::u16string& text) override {
        messages.push_back(text);
        calls.push_back("message " + Utf16ToUtf8(text));
    }
    void BringGridToFront(GridKind grid) override {
        calls.push_back(grid == GridKind::XYZ ? "front XYZ" : "front YDE");
    }
};
