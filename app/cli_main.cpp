// pfannola-cli: batch use of the recipe database without windows.

#include "app/Cli.h"
#include "ui/QtPageCanvas.h"

#include <filesystem>
#include <iostream>
#include <string>

namespace {

// Started through PATH, argv[0] is a bare name; the program's folder, where it finds its shipped
// files, then comes from the running executable itself.
std::string ExecutablePath(int argc, char** argv)
{
    const std::string given = argc > 0 ? argv[0] : "pfannola-cli";
    if (given.find('/') != std::string::npos)
        return given;
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? given : self.string();
}

} // namespace

int main(int argc, char** argv)
{
    pf::InstallQtPdfOutput();
    std::vector<std::string> args(argv + 1, argv + argc);
    return pf::RunCli(ExecutablePath(argc, argv), args, std::cout, std::cerr);
}
