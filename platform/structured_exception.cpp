// structured_exception.cpp - the exception's description and the raise call.
#include "structured_exception.h"

const char* StructuredException::what() const noexcept { return "structured exception"; }

void RaiseException(DWORD code) { throw StructuredException(code); }
