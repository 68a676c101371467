@ cpu_thumb_loop.s - the Thumb speed workload: a tight loop of data processing,
@ word and byte loads and stores to internal work RAM, and branches.
@ R7 counts iterations. An iteration is 11 instructions; every eighth one
@ also runs the final B (so N iterations execute 11 * N + N / 8 instructions).
    .include "gba.inc"
    .text
    .thumb
    .global main
    .thumb_func
main:
    ldr     r0, =IWRAM + 0x100
    mov     r1, #0
    mov     r7, #0
loop:
    add     r1, #3
    lsl     r2, r1, #3
    eor     r2, r1
    str     r2, [r0, #4]
    ldr     r3, [r0, #4]
    sub     r4, r3, r2
    strb    r1, [r0, #8]
    ldrb    r6, [r0, #8]
    add     r7, #1
    lsl     r5, r7, #29
    bne     loop
    b       loop
    .pool
