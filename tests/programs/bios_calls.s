@ bios_calls.s - BIOS calls the way games make them, with no BIOS image: a
@ V-blank handler installed at 0x03007FFC that acknowledges IF and raises the
@ check flags at 0x03007FF8, then waits from ARM and Thumb code, halting,
@ division and an LZ77 unpack. R12 ends 0 when every check passed, else the
@ number of the first failed check; R11 = 0x600D marks that the program finished.
    .include "gba.inc"
    .text
    .arm
    .global main
main:
    ldr     r0, =IRQ_HANDLER
    adr     r1, irq_handler
    str     r1, [r0]
    ldr     r4, =REG_BASE
    mov     r1, #8                      @ DISPSTAT: V-blank interrupt
    strh    r1, [r4, #4]
    add     r5, r4, #0x200
    mov     r1, #1
    strh    r1, [r5]                    @ IE: V-blank
    strh    r1, [r5, #8]                @ IME
    ldr     r6, =vblank_count
    ldr     r7, =BIOS_FLAGS

    @ 1: a stale V-blank flag does not end the wait; exactly one V-blank does.
    mov     r1, #1
    strh    r1, [r7]
    ldr     r8, [r6]
    swi     0x050000
    ldr     r9, [r6]
    sub     r9, r9, r8
    cmp     r9, #1
    FAIL_IF ne, 1
    @ 2: the consumed flag is cleared, and V-blank has just begun.
    ldrh    r1, [r7]
    tst     r1, #1
    FAIL_IF ne, 2
    ldrh    r1, [r4, #6]
    cmp     r1, #160
    FAIL_IF ne, 3
    @ 4: SWI 5 (the low form) waits too.
    ldr     r8, [r6]
    swi     5
    swi     5
    ldr     r9, [r6]
    sub     r9, r9, r8
    cmp     r9, #2
    FAIL_IF ne, 4

    @ 5: IntrWait with R0 = 0 returns on a flag raised before the call.
    mov     r1, #1
    strh    r1, [r7]
    ldr     r8, [r6]
    mov     r0, #0
    mov     r1, #1
    swi     0x040000
    ldr     r9, [r6]
    cmp     r9, r8
    FAIL_IF ne, 5
    ldrh    r1, [r7]
    cmp     r1, #0
    FAIL_IF ne, 6
    @ 7: IntrWait with R0 = 1 discards it and waits for a new one.
    mov     r1, #1
    strh    r1, [r7]
    mov     r0, #1
    swi     0x040000
    ldr     r9, [r6]
    sub     r9, r9, r8
    cmp     r9, #1
    FAIL_IF ne, 7

    @ 8: Halt returns once an interrupt was taken.
    ldr     r8, [r6]
    swi     0x020000
    ldr     r9, [r6]
    sub     r9, r9, r8
    cmp     r9, #1
    FAIL_IF ne, 8

    @ 9: Div(7, -2) = -3 remainder 1, |quotient| 3.
    mov     r0, #7
    mvn     r1, #1
    swi     0x060000
    cmn     r0, #3
    FAIL_IF ne, 9
    cmp     r1, #1
    FAIL_IF ne, 10
    cmp     r3, #3
    FAIL_IF ne, 11

    @ 12: LZ77 from the cartridge into work RAM.
    adr     r0, lz77_stream
    ldr     r1, =EWRAM + 0x100
    swi     0x110000
    adr     r0, lz77_expected
    ldr     r1, =EWRAM + 0x100
    mov     r2, #13
1:  ldrb    r3, [r0], #1
    ldrb    r8, [r1], #1
    cmp     r3, r8
    FAIL_IF ne, 12
    subs    r2, r2, #1
    bne     1b

    @ 13-15: the same calls from Thumb code.
    adr     r0, thumb_checks + 1
    mov     lr, pc
    bx      r0
    cmp     r0, #0
    movne   r12, r0
    bne     test_failed

    mov     r12, #0
test_failed:
    ldr     r11, =0x600D                @ finished
1:  b       1b

irq_handler:                            @ reached from the stub at 0x18, IRQ mode
    ACKNOWLEDGE_ENABLED_IRQS
    ldr     r2, =BIOS_FLAGS
    ldrh    r3, [r2]
    orr     r3, r3, r1
    strh    r3, [r2]
    ldr     r2, =vblank_count
    ldr     r3, [r2]
    add     r3, r3, #1
    str     r3, [r2]
    bx      lr
    .pool

lz77_stream:                            @ "ABC", then 9 bytes from 3 back, then "X"
    .word   0x10 | (13 << 8)
    .byte   0x10, 'A', 'B', 'C', 0x60, 0x02, 'X', 0
lz77_expected:
    .ascii  "ABCABCABCABCX"
    .align  2

    .thumb
    .thumb_func
thumb_checks:                           @ returns 0 in R0, or the failed check
    push    {r4-r7, lr}
    ldr     r6, =vblank_count
    ldr     r4, [r6]
    swi     5
    ldr     r5, [r6]
    sub     r5, r5, r4
    mov     r0, #13
    cmp     r5, #1
    bne     2f
    mov     r0, #7
    mov     r1, #2
    neg     r1, r1
    swi     6
    mov     r2, r0
    mov     r0, #14
    add     r2, r2, #3
    bne     2f
    mov     r0, #15
    cmp     r1, #1
    bne     2f
    mov     r0, #0
2:  pop     {r4-r7}
    pop     {r1}
    bx      r1
    .pool

    .bss
    .align  2
vblank_count:
    .space  4
