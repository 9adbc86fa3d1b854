#pragma once

class QPushButton;
class QString;

// Shows the file name of path on the button, elided in the middle when it is longer than
// the button, so that its start and its extension stay readable; the whole path is the
// button's tooltip.
void showFileName(QPushButton *button, const QString &path);
