#include "startup/program.h"

int main(int argc, char *argv[])
{
    return quorvel::runProgram(argc, argv);
}
