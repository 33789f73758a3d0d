// ogeo: runs blocks of geometry tools over images from the command line and draws what
// they measured. Exit status: 0 all tools accepted, 1 a tool run failed, 2 bad input.
#include "Commands.h"

int main(int argc, char** argv)
{
    return Ogeo::Main(argc, argv);
}
