#pragma once
// A window that records what the core asks of it, in order.

#include "core/TextCodec.h"
#include "core/WindowServices.h"

#include <functional>
#include <string>
#include <vector>

class FakeWindowServices : public WindowServices {
public:
    // One entry per call, e.g. "counter visible", "caption Gönderilen...",
    // "cursor -11", "messages", "message <text>", "front YDE".
    std::vector<std::string> calls;
    std::vector<std::u16string> messages;
    // Called with each entry once it is recorded: a test's own step at that
    // point of the work.
    std::function<void(const std::string&)> onCall;

    void SetCounterVisible(bool visible) override { Record(visible ? "counter visible" : "counter hidden"); }
    void SetCounterCaption(const std::u16string& text) override { Record("caption " + Utf16ToUtf8(text)); }
    void RepaintCounter() override { Record("repaint"); }
    void SetScreenCursor(ScreenCursor c) override {
        Record("cursor " + std::to_string(static_cast<int>(c)));
    }
    void ProcessMessages() override { Record("messages"); }
    void ShowMessage(const std::u16string& text) override {
        messages.push_back(text);
        Record("message " + Utf16ToUtf8(text));
    }
    void BringGridToFront(GridKind grid) override {
        Record(grid == GridKind::XYZ ? "front XYZ" : "front YDE");
    }

private:
    void Record(std::string call) {
        calls.push_back(std::move(call));
        if (onCall) onCall(calls.back());
    }
};
