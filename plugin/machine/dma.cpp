// dma.cpp - stand-in DMA: control writes are stored, no transfer runs.
#include "dma.h"

#include "io.h"

void WriteDmaControl(int channel, uint32_t value) {
    StoreIo(Reg::DMA0SAD + Reg::DMA_STRIDE * channel + Reg::DMA_CNT_H, value);
}

void RunDma(int) {}
