@ thumb_interwork.s - switches between ARM and Thumb state through BX, BL and POP.
@ Each step adds its own bit to R7, so the final value shows which steps ran
@ and in which state: ARM to Thumb by BX (1), a Thumb BL call returning with
@ BX LR (2), POP {PC} returning inside Thumb state (4), Thumb back to ARM by BX (8).
@ The program then returns to crt0 and idles in ARM state with R7 = 15.
    .include "gba.inc"
    .syntax unified
    .text
    .arm
    .global main
main:
    push    {lr}
    mov     r7, #0
    adr     r0, thumb_part + 1
    bx      r0

    .thumb
    .thumb_func
thumb_part:
    adds    r7, #1
    bl      by_bx_lr
    bl      by_pop_pc
    adr     r0, back_in_arm
    bx      r0

    .thumb_func
by_bx_lr:
    adds    r7, #2
    bx      lr

    .thumb_func
by_pop_pc:
    push    {lr}
    adds    r7, #4
    pop     {pc}

    .arm
    .align  2
back_in_arm:
    add     r7, r7, #8
    pop     {lr}
    bx      lr
