#pragma once
// Reading from the instrument: one transfer received over the port, kept in
// the cache file, then decoded and parsed into the grids; and the
// same conversion of a raw dump the user picks. No windows: the counter, the
// message boxes and the window messages are reached through the record
// store's window services.
//
// A reading ends when a read brings EOT, when six reads in a row bring
// nothing, or when the port's device goes away. A pause between packets is no
// end: what follows it belongs to the same reading.

#include "core/MessageSender.h"
#include "core/RecordStore.h"
#include "serial/PortConnection.h"

#include <string>

// The message when a reading received nothing.
inline constexpr char16_t kNothingRead[] = u"Bilgi okunamadı! Lütfen bağlantıyı kontrol edip tekrar deneyin.";
// The warning after converting a transfer whose end packet did not come, or
// whose last packet was cut short.
inline constexpr char16_t kIncompleteTransfer[] =
    u"Uyarı: Aktarımın bitiş paketi gelmedi; veriler eksik olabilir, lütfen tekrar okuyun.";

// Connects, pauses, receives one transfer into the cache file and, when any
// character came (NUL bytes are none), converts exactly what came: the raw
// text store holds it as the cache file does, one character a byte. The cache
// file is replaced only by a reading that received something, and then holds
// exactly what came, also when the reading fails part-way; once a write of it
// has failed, the old one stays. A cache file that can't be created raises
// EFCreateError naming it.
void ReadFromInstrument(RecordStore& store, PortConnection& port, const SleepFunction& pause,
                        const std::u16string& cacheFileName);

// Decodes the raw text store's packet lines and parses the raw data into the
// grids; then a warning names the lines whose checksum did not match, and
// another one says so when the end packet is missing or the last packet was
// cut short.
void ConvertPacketLines(RecordStore& store);
