#pragma once

#include <QFont>

// The font every text is drawn in: the CJK font the package recommends first, so that
// Chinese renders on a fresh machine, then the desktop's own font behind it.
QFont applicationFont();
