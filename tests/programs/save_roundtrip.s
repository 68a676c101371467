@ save_roundtrip.s - keeps every part of the machine that a save state holds
@ busy, one step per frame: work RAM, video memory and palette, a byte of the
@ backup memory, an EEPROM block written and another read back bit by bit,
@ then a halt until the vertical-blank interrupt. A state taken at any frame
@ boundary must continue exactly as the run it was taken from.
    .include "gba.inc"
    .text
    .arm
    .global main
main:
    INSTALL_IRQ_HANDLER irq_handler
    ldr     r0, =REG_BASE
    mov     r1, #0x08               @ DISPSTAT: vertical-blank interrupt
    strh    r1, [r0, #4]
    add     r2, r0, #0x200
    mov     r1, #1
    strh    r1, [r2]                @ IE = vertical blank
    strh    r1, [r2, #8]            @ IME = 1
    ldr     r4, =0x12345678         @ pseudo-random state
    mov     r5, #0                  @ frame number
    mov     r10, #0                 @ sum of the EEPROM bits read
frame:
    ldr     r1, =1664525
    ldr     r2, =1013904223
    mla     r4, r1, r4, r2
    ldr     r6, =EWRAM
    mov     r7, r4, lsr #14
    bic     r7, r7, #3
    str     r4, [r6, r7]
    ldr     r6, =IWRAM + 0x1000
    mov     r7, r4, lsr #19
    bic     r7, r7, #3
    str     r5, [r6, r7]
    ldr     r6, =VRAM
    mov     r7, r4, lsr #16
    bic     r7, r7, #1
    strh    r4, [r6, r7]
    ldr     r6, =PALETTE
    mov     r7, r4, lsr #22
    bic     r7, r7, #1
    strh    r4, [r6, r7]
    ldr     r6, =SRAM + 0x1000
    and     r7, r5, #0xFF
    strb    r4, [r6, r7]

    @ EEPROM write request: 1, 0, block (6 bits), 64 data bits, stop bit.
    ldr     r6, =0x0D000000
    mov     r1, #1
    strh    r1, [r6]
    mov     r1, #0
    strh    r1, [r6]
    and     r7, r5, #63
    mov     r8, #5
1:  mov     r1, r7, lsr r8
    and     r1, r1, #1
    strh    r1, [r6]
    subs    r8, r8, #1
    bpl     1b
    mov     r8, #31
2:  mov     r1, r4, lsr r8
    and     r1, r1, #1
    strh    r1, [r6]
    subs    r8, r8, #1
    bpl     2b
    mov     r8, #31
3:  mov     r1, r5, lsr r8
    and     r1, r1, #1
    strh    r1, [r6]
    subs    r8, r8, #1
    bpl     3b
    mov     r1, #0
    strh    r1, [r6]

    @ EEPROM read request of the previous block: 1, 1, block, stop bit, 68 reads.
    mov     r1, #1
    strh    r1, [r6]
    strh    r1, [r6]
    sub     r7, r5, #1
    and     r7, r7, #63
    mov     r8, #5
4:  mov     r1, r7, lsr r8
    and     r1, r1, #1
    strh    r1, [r6]
    subs    r8, r8, #1
    bpl     4b
    mov     r1, #0
    strh    r1, [r6]
    mov     r8, #68
5:  ldrh    r1, [r6]
    add     r10, r10, r1
    subs    r8, r8, #1
    bne     5b
    ldr     r1, =IWRAM + 0x200
    str     r10, [r1]

    mov     r1, #0
    ldr     r6, =REG_HALTCNT
    strb    r1, [r6]
    add     r5, r5, #1
    b       frame

irq_handler:
    ldr     r0, =REG_IF
    mov     r1, #1
    strh    r1, [r0]
    ldr     r0, =IWRAM + 0x100
    ldr     r1, [r0]
    add     r1, r1, #1
    str     r1, [r0]
    bx      lr
    .pool
