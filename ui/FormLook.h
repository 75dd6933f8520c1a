#pragma once
// What the three forms share in how they look, where they open and how they
// take keys: the fonts their declarations name, labels sized to their text,
// centring, and Esc as one of their buttons.

class QAbstractButton;
class QKeyEvent;
class QLabel;
class QRect;
class QWidget;

// The forms name "MS Sans Serif", "Verdana" and "Fixedsys". Where a family is
// not installed, the nearest installed one of the same kind stands in for it:
// a sans-serif family for the first two, a fixed-pitch one for "Fixedsys".
void RegisterFontSubstitutes();

// Sizes a label to its text, as the form designer sized it: a word-wrapped
// label keeps its width and takes the height of its lines; any other label
// takes the size of its text, keeping its right edge when right-aligned and
// its left edge otherwise. Empty labels and pictures keep their size.
void AutoSizeLabel(QLabel& label);
void AutoSizeLabels(QWidget& form);

// Places a window (not yet shown, or shown) so that it is centred in the area.
void CentreIn(QWidget& window, const QRect& area);

// Presses the button when the key is a plain Esc; true when it did.
bool PressOnEscape(const QKeyEvent& event, QAbstractButton& button);
