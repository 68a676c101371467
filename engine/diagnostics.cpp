// diagnostics.cpp - the diagnostic line receiver.
#include "diagnostics.h"

#include <cstdio>
#include <mutex>

namespace Emu {

namespace {
std::mutex SinkLock;
DiagnosticSink Sink;
}  // namespace

void PrintDiagnostic(const std::string& line) {
    std::lock_guard<std::mutex> hold(SinkLock);
    if (Sink)
        Sink(line);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
}

DiagnosticSink SetDiagnosticSink(DiagnosticSink sink) {
    std::lock_guard<std::mutex> hold(SinkLock);
    std::swap(Sink, sink);
    return sink;
}

}  // namespace Emu
