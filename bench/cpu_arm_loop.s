@ cpu_arm_loop.s - the ARM speed workload: a tight loop of data processing,
@ word and byte loads and stores to internal work RAM, and branches.
@ R11 counts iterations. An iteration is 13 instructions; every eighth one
@ also runs the final B (so N iterations execute 13 * N + N / 8 instructions).
    .include "gba.inc"
    .text
    .arm
    .global main
main:
    ldr     r0, =IWRAM + 0x100
    mov     r1, #0
    mov     r5, #0
    mov     r11, #0
loop:
    add     r1, r1, #3
    eor     r2, r1, r1, lsl #3
    str     r2, [r0, #4]
    ldr     r3, [r0, #4]
    subs    r4, r3, r2
    addne   r5, r5, #1
    orr     r5, r5, r1, lsr #2
    strb    r1, [r0, #8]
    ldrb    r6, [r0, #8]
    mov     r7, r6, ror #4
    add     r11, r11, #1
    tst     r11, #7
    bne     loop
    b       loop
    .pool
