#pragma once
// Sending to the instrument: the fixed upload header, then the coordinate
// records as instrument packets and the end packet, with the pauses the
// instrument needs. No windows: the counter, the message box and the window
// messages are reached through the record store's window services.

#include "core/MessageSender.h"
#include "core/RecordStore.h"
#include "serial/PortConnection.h"

#include <string_view>

// The two fixed lines sent before the coordinates, in one write. Each is
// framed like an instrument packet, but with a payload of its own length and
// no sequence digit: STX, payload, the XOR of the payload as three digits,
// ETX, CR, LF. "F00F" checks to 000, "Site1", five blanks and
// "+00001.000000200020-100000S" to 113.
inline constexpr std::u16string_view UploadHeader =
    u"\x02" u"F00F" u"000" u"\x03" u"\r\n"
    u"\x02" u"Site1     +00001.000000200020-100000S" u"113" u"\x03" u"\r\n";
static_assert(UploadHeader.size() == 55);

// Empties the raw text store, connects, sends the header and the coordinate
// records as they were when the sending began, and reports the completion. Afterwards the raw text store holds
// what was sent: the header, the packets and the end packet, or after a
// failed sending the header only. A coordinate value that is no number stops
// the sending before anything is sent or the store is touched, with a message
// naming it.
void SendToInstrument(RecordStore& store, PortConnection& port, const SleepFunction& pause);
