#pragma once
// Test output shows Qt texts as text. Every window test that compares texts
// includes this, so that all of them print alike.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
