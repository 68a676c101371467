// dma.h - the four DMA channels.
#pragma once

#include <cstdint>

// DMAnCNT_H write from the I/O handler.
void WriteDmaControl(int channel, uint32_t value);
// One complete transfer of a channel.
void RunDma(int channel);
