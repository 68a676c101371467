@ bios_soft_reset.s - SoftReset called from Thumb code with no BIOS image.
@ The first run marks internal work RAM above the cleared area, leaves a
@ value in external work RAM and calls SWI 0 with R0 = 1 from Thumb state.
@ The reset restarts the cartridge in ARM state, Supervisor mode with
@ interrupts off; the second run checks that and the cleared work RAM. R12
@ ends 0 when every check passed, else the number of the first failed check;
@ R11 = 0x600D marks that the program finished.
    .include "gba.inc"
    .equ MARKER, 0x03007E00             @ survives: not in the cleared 0x7E00 bytes
    .equ LEFTOVER, EWRAM + 0x1000
    .text
    .arm
    .global main
main:
    ldr     r4, =MARKER
    ldr     r5, =0x5AFE
    ldr     r0, [r4]
    cmp     r0, r5
    beq     after_reset
    str     r5, [r4]
    ldr     r0, =LEFTOVER
    str     r5, [r0]
    adr     r0, reset_from_thumb + 1
    bx      r0

after_reset:
    mov     r0, #0
    str     r0, [r4]                    @ a later reset of the machine starts afresh
    mrs     r0, cpsr
    and     r0, r0, #0xFF
    cmp     r0, #0xD3
    FAIL_IF ne, 1
    ldr     r0, =LEFTOVER
    ldr     r0, [r0]
    cmp     r0, #0
    FAIL_IF ne, 2
    mov     r12, #0
test_failed:
    ldr     r11, =0x600D                @ finished
1:  b       1b
    .pool

    .thumb
    .thumb_func
reset_from_thumb:
    mov     r0, #1
    swi     0
1:  b       1b                          @ never reached
