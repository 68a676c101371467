@ crt0.s - start-up code of the project's console programs.
@ The cartridge starts with a branch over the 192-byte header (written by
@ gba-header), copies initialised data to internal work RAM, clears .bss and
@ the EWRAM .bss, then calls main in ARM state (main may be Thumb; it is
@ reached through BX). If main returns, the program idles.
    .section .crt0, "ax"
    .arm
    .global _start
_start:
    b       start_vector
    .space  0xC0 - 4            @ cartridge header, filled in after linking
start_vector:
    ldr     r0, =__iwram_load
    ldr     r1, =__iwram_start
    ldr     r2, =__iwram_end
1:  cmp     r1, r2
    ldrlo   r3, [r0], #4
    strlo   r3, [r1], #4
    blo     1b
    mov     r3, #0
    ldr     r1, =__bss_start
    ldr     r2, =__bss_end
2:  cmp     r1, r2
    strlo   r3, [r1], #4
    blo     2b
    ldr     r1, =__ewram_bss_start
    ldr     r2, =__ewram_bss_end
3:  cmp     r1, r2
    strlo   r3, [r1], #4
    blo     3b
    ldr     r0, =main
    mov     lr, pc
    bx      r0
idle:
    b       idle
    .pool
