@ dma_sound_feed.s - direct sound A fed the way games feed it: DMA1 in sound
@ timing with repeat from a sample buffer to FIFO A, timer 0 at 16384 samples
@ a second (1024 cycles a sample), the DMA1 interrupt enabled. Then the
@ program halts until each vertical blank.
@
@ The handler counts DMA1 interrupts at 0x03001000 and vertical blanks at
@ 0x03001004. R12 = 0 once everything is set up.
    .include "gba.inc"
    .equ COUNTS, 0x03001000

    .text
    .arm
    .global main
main:
    mov     r12, #255
    INSTALL_IRQ_HANDLER irq_handler
    mov     r0, #REG_BASE
    ldr     r1, =0x0B0F                 @ A: both sides, full volume, timer 0
    add     r2, r0, #0x80
    strh    r1, [r2, #2]                @ SOUNDCNT_H
    ldr     r1, =samples
    str     r1, [r0, #0xBC]             @ DMA1SAD
    ldr     r1, =0x040000A0
    str     r1, [r0, #0xC0]             @ DMA1DAD: FIFO A
    ldr     r1, =0xF6400000             @ sound timing, interrupt, repeat, words, fixed destination
    str     r1, [r0, #0xC4]
    add     r2, r0, #0x100
    ldr     r1, =0xFC00
    strh    r1, [r2]
    mov     r1, #0x80
    strh    r1, [r2, #2]                @ timer 0 on
    mov     r1, #0x0008
    strh    r1, [r0, #4]                @ vertical-blank interrupt
    add     r2, r0, #0x200
    ldr     r1, =0x0201
    strh    r1, [r2]                    @ IE: vertical blank, DMA1
    mov     r1, #1
    strh    r1, [r2, #8]
    mov     r12, #0
1:  mov     r1, #0
    strb    r1, [r0, #0x301]
    b       1b

irq_handler:
    ACKNOWLEDGE_ENABLED_IRQS
    ldr     r0, =COUNTS
    tst     r1, #0x200
    ldrne   r2, [r0]
    addne   r2, r2, #1
    strne   r2, [r0]
    tst     r1, #1
    ldrne   r2, [r0, #4]
    addne   r2, r2, #1
    strne   r2, [r0, #4]
    bx      lr
    .pool

    .align 4
samples:
    .set    i, 0
    .rept   8192
    .byte   i & 0xFF
    .set    i, i + 1
    .endr
