@ irq_lines.s - counts vertical-blank, horizontal-blank and line-match
@ interrupts over several frames. The handler is installed the way games do
@ it: its address at 0x03007FFC, reached through the BIOS stub at 0x18. The
@ main loop halts until each interrupt.
@
@ Results at 0x03001000 (words): vertical blanks, horizontal blanks, line
@ matches, VCOUNT at the last line match, VCOUNT at the last vertical blank,
@ then the horizontal-blank count at each of the first 8 vertical blanks.
@ R12 = 0 when the program's own checks passed, else the failed check.
    .include "gba.inc"
    .equ RESULTS, 0x03001000
    .equ R_VBLANKS, 0
    .equ R_HBLANKS, 4
    .equ R_MATCHES, 8
    .equ R_MATCH_LINE, 12
    .equ R_VBLANK_LINE, 16
    .equ R_HBLANKS_AT, 20
    .equ FRAMES, 6
    .equ MATCH_LINE, 100

    .text
    .arm
    .global main
main:
    mov     r12, #255                   @ not finished
    INSTALL_IRQ_HANDLER irq_handler
    mov     r0, #REG_BASE
    ldr     r1, =(MATCH_LINE << 8) | 0x38   @ all three interrupts, line match at MATCH_LINE
    strh    r1, [r0, #4]
    add     r2, r0, #0x200
    mov     r1, #7
    strh    r1, [r2]                    @ IE
    mov     r1, #1
    strh    r1, [r2, #8]                @ IME
    ldr     r3, =RESULTS
wait:
    mov     r1, #0
    strb    r1, [r0, #0x301]            @ halt until an interrupt
    ldr     r1, [r3, #R_VBLANKS]
    cmp     r1, #FRAMES
    blo     wait
    mov     r1, #0
    strh    r1, [r2, #8]                @ IME off

    @ 1: 228 horizontal blanks between consecutive vertical blanks
    add     r4, r3, #R_HBLANKS_AT
    mov     r5, #1
1:  ldr     r6, [r4, r5, lsl #2]
    sub     r7, r5, #1
    ldr     r7, [r4, r7, lsl #2]
    sub     r6, r6, r7
    cmp     r6, #228
    FAIL_IF ne, 1
    add     r5, r5, #1
    cmp     r5, #FRAMES
    blo     1b
    @ 2: one line match per frame, each at its line
    ldr     r1, [r3, #R_MATCHES]
    cmp     r1, #FRAMES
    FAIL_IF ne, 2
    ldr     r1, [r3, #R_MATCH_LINE]
    cmp     r1, #MATCH_LINE
    FAIL_IF ne, 3
    @ 4: vertical blank at line 160
    ldr     r1, [r3, #R_VBLANK_LINE]
    cmp     r1, #160
    FAIL_IF ne, 4
    mov     r12, #0
test_failed:
    b       test_failed

@ Counts each request it acknowledges. Uses only R0-R3 (saved by the stub).
irq_handler:
    ACKNOWLEDGE_ENABLED_IRQS
    ldr     r0, =RESULTS
    tst     r1, #2
    ldrne   r2, [r0, #R_HBLANKS]
    addne   r2, r2, #1
    strne   r2, [r0, #R_HBLANKS]
    tst     r1, #4
    beq     1f
    ldr     r2, [r0, #R_MATCHES]
    add     r2, r2, #1
    str     r2, [r0, #R_MATCHES]
    mov     r2, #REG_BASE
    ldrh    r2, [r2, #6]
    str     r2, [r0, #R_MATCH_LINE]
1:  tst     r1, #1
    bxeq    lr
    mov     r2, #REG_BASE
    ldrh    r2, [r2, #6]
    str     r2, [r0, #R_VBLANK_LINE]
    ldr     r1, [r0, #R_VBLANKS]
    cmp     r1, #8
    ldrlo   r2, [r0, #R_HBLANKS]
    addlo   r3, r0, #R_HBLANKS_AT
    strlo   r2, [r3, r1, lsl #2]
    add     r1, r1, #1
    str     r1, [r0, #R_VBLANKS]
    bx      lr
    .pool
