@ count_loop.s - the main job's small cartridge: counts in a tight loop of
@ arithmetic, loads, stores and branches, so the runner has work to measure.
    .include "gba.inc"
    .text
    .arm
    .global main
main:
    ldr     r0, =EWRAM
    mov     r1, #0
    mov     r2, #0
loop:
    add     r1, r1, #1
    str     r1, [r0]
    ldr     r3, [r0]
    add     r2, r2, r3, lsr #4
    cmp     r1, #0x10000
    bne     loop
    mov     r1, #0
    b       loop
    .pool
