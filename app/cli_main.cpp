// pfannola-cli: batch use of the recipe database without windows.

#include "app/Cli.h"
#include "ui/QtPageCanvas.h"

#include <iostream>

int main(int argc, char** argv)
{
    pf::InstallQtPdfOutput();
    std::vector<std::string> args(argv + 1, argv + argc);
    return pf::RunCli(argc > 0 ? argv[0] : "pfannola-cli", args, std::cout, std::cerr);
}
