@ dma_cases.s - DMA as a program sees it: address control and units,
@ channel 0 reading the BIOS region, the enable rule, horizontal-blank,
@ vertical-blank and special timing with repeat, and the end interrupt.
@
@ R12 = 0 when every check passed, else the number of the failed check;
@ 255 while running.
    .include "gba.inc"

    @ Programs channel `ch` with one word store each for SAD, DAD and CNT (count | control << 16).
    .macro DMA ch, src, dst, cnt
    ldr     r0, =\src
    ldr     r1, =\dst
    ldr     r2, =\cnt
    ldr     r3, =0x040000B0 + 12 * \ch
    str     r0, [r3]
    str     r1, [r3, #4]
    str     r2, [r3, #8]
    .endm

    @ Fails with `number` unless the word (or halfword) at `address` is `value`.
    .macro EXPECT address, value, number, load=ldr
    ldr     r0, =\address
    \load   r0, [r0]
    ldr     r1, =\value
    cmp     r0, r1
    FAIL_IF ne, \number
    .endm

    .macro STOP ch
    ldr     r3, =0x040000B0 + 12 * \ch
    mov     r0, #0
    strh    r0, [r3, #10]
    .endm

    .text
    .arm
    .global main
main:
    mov     r12, #255

    @ immediate transfers: units and address control
    DMA     3, data, 0x02000000, 0x84000004
    EXPECT  0x02000000, 0x11111111, 1
    EXPECT  0x0200000C, 0x44444444, 2
    EXPECT  0x02000010, 0, 3
    DMA     3, data, 0x0200010C, 0x84200004         @ destination decrements
    EXPECT  0x02000100, 0x44444444, 4
    DMA     3, data, 0x02000200, 0x85000004         @ source fixed
    EXPECT  0x0200020C, 0x11111111, 5
    DMA     3, data + 4, 0x02000300, 0x80400004     @ halfwords, destination fixed
    EXPECT  0x02000300, 0x3333, 6, ldrh
    @ channel 0 cannot reach the cartridge: 0x08000000 is the BIOS region for it
    DMA     0, 0x08000000, 0x02000400, 0x84000001
    EXPECT  0x02000400, 0xE3A0F302, 7
    DMA     1, 0x08000000, 0x02000404, 0x84000001
    EXPECT  0x02000404, 0xEA00002E, 8
    @ an immediate transfer ends disabled, so enabling it again runs it again
    DMA     3, data, 0x02000500, 0x84000001
    mov     r0, #0x8400
    strh    r0, [r3, #10]
    EXPECT  0x02000504, 0x22222222, 9
    @ an armed channel keeps its setting until it is disabled
    DMA     0, data, 0x02000600, 0xA2000001
    mov     r0, #0xA000
    strh    r0, [r3, #10]
    EXPECT  0x040000BA, 0xA200, 10, ldrh
    STOP    0

    @ horizontal blank with repeat: one unit on each of the 160 visible lines
    bl      wait_vblank
    DMA     0, 0x02000000, 0x02001000, 0xA3000001   @ (channel 0 reads work RAM, not the cartridge)
    bl      wait_vblank
    STOP    0
    EXPECT  0x040000B4, 0x02001000 + 2 * 160, 11
    EXPECT  0x02001000 + 2 * 159, 0x1111, 12, ldrh

    @ vertical blank with repeat, destination reloaded: the same place every frame
    DMA     1, data, 0x02001400, 0x96600002
    bl      wait_vblank
    bl      wait_vblank
    bl      wait_vblank
    STOP    1
    EXPECT  0x02001400, 0x55555555, 13
    EXPECT  0x02001404, 0x66666666, 14
    EXPECT  0x02001408, 0, 15
    EXPECT  0x040000C0, 0x02001400, 16

    @ special timing of channel 3: a unit at the start of each visible line
    DMA     3, data, 0x02001800, 0xB3000001
    bl      wait_vblank
    STOP    3
    EXPECT  0x040000D8, 0x02001800 + 2 * 160, 17

    @ the end interrupt request
    DMA     2, data, 0x02001C00, 0xC4000001
    EXPECT  0x04000202, 0x0400, 18, ldrh

    mov     r12, #0
test_failed:
    b       test_failed

@ Returns when the next vertical blank has begun (VCOUNT becomes 160).
wait_vblank:
    mov     r0, #REG_BASE
1:  ldrh    r1, [r0, #6]
    cmp     r1, #160
    beq     1b
2:  ldrh    r1, [r0, #6]
    cmp     r1, #160
    bne     2b
    bx      lr
    .pool

    .align 2
data:
    .word   0x11111111, 0x22222222, 0x33333333, 0x44444444
    .word   0x55555555, 0x66666666, 0x77777777, 0x88888888
