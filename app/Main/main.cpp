// Entry function of vantyx-config.
#include "Main/ProgramMain.h"

int main(int argc, char* argv[])
{
    return RunProgram(argc, argv, nullptr);
}
