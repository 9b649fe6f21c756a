// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/program.h"

int main(int argc, char *argv[])
{
    return quorvel::runProgram(argc, argv);
}
