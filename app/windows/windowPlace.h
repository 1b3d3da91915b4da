#pragma once

class QString;
class QWidget;

// A window's place and size, kept in the settings under a key of its own between runs.
namespace windowPlace {

// Puts the window where it was kept. With nothing kept, a window given a `firstShare` (0…1)
// opens at that share of its screen's available width and height, centred there; the others
// keep the size of their form.
void restore(QWidget& window, const QString& key, double firstShare = 0);
// Keeps the window's place, but only of a window that has been shown: one never shown
// (off-screen rendering, the tests) keeps what the user had.
void keep(const QWidget& window, const QString& key);

} // namespace windowPlace
