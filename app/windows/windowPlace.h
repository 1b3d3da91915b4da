#pragma once

class QString;
class QWidget;

// A window's place and size, kept in the settings under a key of its own between runs.
namespace windowPlace {

// Puts the window where it was kept; leaves it as it is when nothing was.
void restore(QWidget& window, const QString& key);
// Keeps the window's place, but only of a window that has been shown: one never shown
// (off-screen rendering, the tests) keeps what the user had.
void keep(const QWidget& window, const QString& key);

} // namespace windowPlace
