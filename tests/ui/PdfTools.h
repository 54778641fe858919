#pragma once
// Reads PDF files the printouts wrote, through the poppler tools: the number of pages and the text
// of a page or of the whole file.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace pf {

// Output of a poppler tool on the file; "" when it could not run.
inline std::string Poppler(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

inline int PageCount(const std::string& pdf)
{
    const std::string info = Poppler("pdfinfo '" + pdf + "'");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

inline std::string PageText(const std::string& pdf, int page)
{
    const std::string p = std::to_string(page);
    return Poppler("pdftotext -f " + p + " -l " + p + " '" + pdf + "' -");
}

} // namespace pf
