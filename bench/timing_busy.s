@ timing_busy.s - a program that keeps every timing device busy while the
@ CPU never rests: two timers (one pacing direct sound A through DMA1, one
@ counting up behind it with an interrupt), a repeating horizontal-blank DMA
@ of one word a line (a scroll effect), a 1 KB vertical-blank DMA every frame
@ (sprite attributes: 32 of 128 sprites shown over a text background), and the
@ vertical-blank, horizontal-blank and timer interrupts with a handler that
@ acknowledges them. The main loop mixes arithmetic, loads and stores.
    .include "gba.inc"

    .text
    .arm
    .global main
main:
    INSTALL_IRQ_HANDLER irq_handler
    @ sprite attributes in work RAM: sprites 0..31 shown in a diagonal, the rest hidden
    ldr     r4, =0x02000400
    mov     r5, #0
1:  cmp     r5, #32
    movlo   r6, r5, lsl #2              @ y
    movhs   r6, #0x0200                 @ hidden
    add     r7, r5, r5, lsl #3          @ x = 9 * i
    and     r7, r7, #0xFF
    orr     r6, r6, r7, lsl #16
    str     r6, [r4], #4
    mov     r6, #0
    str     r6, [r4], #4
    add     r5, r5, #1
    cmp     r5, #128
    blo     1b
    mov     r0, #REG_BASE
    ldr     r1, =0x1140                 @ mode 0, BG0 and sprites, one-dimensional sprite tiles
    strh    r1, [r0]
    @ direct sound A from the cartridge through DMA1, timer 0 at 1024 cycles a sample
    ldr     r1, =0x0B0F
    add     r2, r0, #0x80
    strh    r1, [r2, #2]
    ldr     r1, =0x08000000
    str     r1, [r0, #0xBC]
    ldr     r1, =0x040000A0
    str     r1, [r0, #0xC0]
    ldr     r1, =0xB6400000
    str     r1, [r0, #0xC4]
    add     r2, r0, #0x100
    ldr     r1, =0xFC00
    strh    r1, [r2]
    ldr     r1, =0xFFC0
    strh    r1, [r2, #4]
    mov     r1, #0xC4                   @ timer 1 counts timer 0 up, interrupt
    strh    r1, [r2, #6]
    mov     r1, #0x80
    strh    r1, [r2, #2]
    @ horizontal-blank DMA0: a word a line from work RAM to BG0HOFS/BG0VOFS
    ldr     r1, =0x02000000
    str     r1, [r0, #0xB0]
    ldr     r1, =0x04000010
    str     r1, [r0, #0xB4]
    ldr     r1, =0xA6600001             @ repeat, words, destination reloaded
    str     r1, [r0, #0xB8]
    @ vertical-blank DMA3: 1 KB from work RAM to OAM
    ldr     r1, =0x02000400
    str     r1, [r0, #0xD4]
    ldr     r1, =0x07000000
    str     r1, [r0, #0xD8]
    ldr     r1, =0x96600100             @ 256 words, repeat, destination reloaded
    str     r1, [r0, #0xDC]
    @ interrupts
    mov     r1, #0x0018                 @ vertical and horizontal blank
    strh    r1, [r0, #4]
    add     r2, r0, #0x200
    ldr     r1, =0x0013                 @ vertical blank, horizontal blank, timer 1
    strh    r1, [r2]
    mov     r1, #1
    strh    r1, [r2, #8]
    @ the busy loop
    ldr     r4, =0x02010000
    mov     r5, #0
    mov     r6, #0
1:  add     r5, r5, #1
    str     r5, [r4, r6]
    ldr     r7, [r4, r6]
    add     r6, r6, #4
    and     r6, r6, #0xFC
    eor     r7, r7, r5, lsl #3
    adds    r7, r7, r5, lsr #2
    bne     1b
    b       1b

irq_handler:
    mov     r0, #REG_BASE
    add     r0, r0, #0x200
    ldrh    r1, [r0, #2]
    strh    r1, [r0, #2]
    ldr     r0, =0x03001000
    ldr     r2, [r0]
    add     r2, r2, #1
    str     r2, [r0]
    bx      lr
    .pool
