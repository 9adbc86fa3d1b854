#pragma once

// True when the program's standard output is a terminal rather than a file or a pipe.
bool standardOutputIsTerminal();
