#pragma once
// What the conversion core asks of the window it works in: the packet counter
// label, the screen cursor, handling waiting window messages, a plain message
// box and bringing a record grid to the front. The main window provides them;
// tests provide a recording fake.

#include <string>

enum class GridKind { XYZ, YDE };

// Screen cursor values, as the toolkit numbers them.
enum class ScreenCursor : int { crDefault = 0, crHourGlass = -11 };

class WindowServices {
public:
    virtual ~WindowServices() = default;

    virtual void SetCounterVisible(bool visible) = 0;
    virtual void SetCounterCaption(const std::u16string& text) = 0;
    // Redraws the counter label at once, while the command holds the thread.
    virtual void RepaintCounter() = 0;
    // The cursor over every window of the program.
    virtual void SetScreenCursor(ScreenCursor cursor) = 0;
    // Handles every waiting window message, then returns; menu commands chosen
    // meanwhile run inside this call.
    virtual void ProcessMessages() = 0;
    // A modal box with the text (CR LF starts a new line), the application
    // title as caption, one OK button and no icon.
    virtual void ShowMessage(const std::u16string& text) = 0;
    // Raises the grid above the other one, which lies at the same place.
    virtual void BringGridToFront(GridKind grid) = 0;
};
