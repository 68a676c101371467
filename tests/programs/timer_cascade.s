@ timer_cascade.s - timers counted through their overflow interrupts over ten
@ frames: timer 0 every 4096 cycles, timer 1 counting timer 0's overflows
@ (every fourth), timer 2 at 1/256 every 65536 cycles, timer 3 every 16
@ cycles (more often than the timers are stepped). Also reads the reload
@ value back from a running timer.
@
@ Results at 0x03001000 (words): overflow interrupts of timers 0..3, then
@ vertical blanks. R12 = 0 when the program's own checks passed, else the
@ failed check; 255 while running.
    .include "gba.inc"
    .equ COUNTS, 0x03001000
    .equ FRAMES, 10

    .text
    .arm
    .global main
main:
    mov     r12, #255
    INSTALL_IRQ_HANDLER irq_handler
    mov     r0, #REG_BASE
    add     r4, r0, #0x100              @ timer registers

    @ 1: a running timer reads back its reload value
    ldr     r1, =0x1234
    strh    r1, [r4]
    mov     r1, #0x80
    strh    r1, [r4, #2]
    mov     r2, #4000
1:  subs    r2, r2, #1
    bne     1b
    ldrh    r1, [r4]
    ldr     r2, =0x1234
    cmp     r1, r2
    FAIL_IF ne, 1
    mov     r1, #0
    strh    r1, [r4, #2]

    @ start everything when a vertical blank begins
2:  ldrh    r1, [r0, #6]
    cmp     r1, #160
    beq     2b
3:  ldrh    r1, [r0, #6]
    cmp     r1, #160
    bne     3b
    ldr     r1, =0xF000
    strh    r1, [r4]
    ldr     r1, =0xFFFC
    strh    r1, [r4, #4]
    ldr     r1, =0xFF00
    strh    r1, [r4, #8]
    ldr     r1, =0xFFF0
    strh    r1, [r4, #12]
    mov     r1, #0xC4                   @ count-up, interrupt
    strh    r1, [r4, #6]
    mov     r1, #0xC2                   @ 1/256, interrupt
    strh    r1, [r4, #10]
    mov     r1, #0xC0                   @ 1/1, interrupt
    strh    r1, [r4, #14]
    strh    r1, [r4, #2]
    mov     r1, #0x0008
    strh    r1, [r0, #4]                @ vertical-blank interrupt
    add     r2, r0, #0x200
    ldr     r1, =0x79
    strh    r1, [r2]                    @ IE: vertical blank, timers 0..3
    mov     r1, #1
    strh    r1, [r2, #8]
    ldr     r3, =COUNTS
4:  mov     r1, #0
    strb    r1, [r0, #0x301]            @ halt until an interrupt
    ldr     r1, [r3, #16]
    cmp     r1, #FRAMES
    blo     4b
    mov     r1, #0
    strh    r1, [r2, #8]

    @ 2: timer 1 overflowed once for every four overflows of timer 0
    ldr     r1, [r3]
    ldr     r2, [r3, #4]
    subs    r1, r1, r2, lsl #2
    FAIL_IF mi, 2
    cmp     r1, #4
    FAIL_IF hs, 3
    mov     r12, #0
test_failed:
    b       test_failed

irq_handler:
    ACKNOWLEDGE_ENABLED_IRQS
    ldr     r0, =COUNTS
    tst     r1, #1
    ldrne   r2, [r0, #16]
    addne   r2, r2, #1
    strne   r2, [r0, #16]
    mov     r1, r1, lsr #3              @ timer bits 3..6 to 0..3
    mov     r3, #0
1:  tst     r1, #1
    ldrne   r2, [r0, r3, lsl #2]
    addne   r2, r2, #1
    strne   r2, [r0, r3, lsl #2]
    mov     r1, r1, lsr #1
    add     r3, r3, #1
    cmp     r3, #4
    blo     1b
    bx      lr
    .pool
