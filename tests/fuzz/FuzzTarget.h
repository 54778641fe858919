#pragma once
// The libFuzzer entry point of one reader's check. The check object lives for the whole run in
// an application context of its own; an input that breaks one of the reader's promises prints
// what broke and aborts, so that libFuzzer keeps the input as a finding.

#include "core/AppContext.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define PF_FUZZ_TARGET(CheckClass)                                                                           \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)                        \
    {                                                                                                        \
        static pf::AppContext app;                                                                           \
        static pf::ScopedAppContext scope(app);                                                              \
        static CheckClass check;                                                                             \
        const std::string problem = check.Run(std::string_view(reinterpret_cast<const char*>(data), size));  \
        if (!problem.empty()) {                                                                              \
            std::fprintf(stderr, "Fuzz-Befund: %s\n", problem.c_str());                                      \
            std::abort();                                                                                    \
        }                                                                                                    \
        return 0;                                                                                            \
    }
