// structured_exception.h - the handheld's structured exceptions as a C++
// exception that carries the 32-bit code; the run loop catches it and shows
// the code's text.
#pragma once

#include <exception>

#include "handheld_types.h"

// Visible to every library so that a plug-in's throw and the program's catch
// agree on the type.
class __attribute__((visibility("default"))) StructuredException : public std::exception {
public:
    explicit StructuredException(DWORD code) : code_(code) {}
    DWORD Code() const { return code_; }
    const char* what() const noexcept override;

private:
    DWORD code_;
};

// Raises the exception with `code` and no parameters; never returns.
[[noreturn]] void RaiseException(DWORD code);
