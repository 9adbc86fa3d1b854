#include "terminal.h"

#include <cstdio>
#include <unistd.h>

bool standardOutputIsTerminal()
{
    return isatty(fileno(stdout)) != 0;
}
