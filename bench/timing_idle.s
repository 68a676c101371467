@ timing_idle.s - a program that does nothing but wait: it halts until the
@ vertical-blank interrupt every frame, the way an idle game loop does.
@ The handler counts frames at 0x03001000.
    .include "gba.inc"

    .text
    .arm
    .global main
main:
    INSTALL_IRQ_HANDLER irq_handler
    mov     r0, #REG_BASE
    mov     r1, #0x0008
    strh    r1, [r0, #4]                @ vertical-blank interrupt
    add     r2, r0, #0x200
    mov     r1, #1
    strh    r1, [r2]                    @ IE
    strh    r1, [r2, #8]                @ IME
1:  mov     r1, #0
    strb    r1, [r0, #0x301]            @ halt
    b       1b

irq_handler:
    mov     r0, #REG_BASE
    add     r0, r0, #0x200
    ldrh    r1, [r0, #2]
    strh    r1, [r0, #2]
    ldr     r0, =0x03001000
    ldr     r1, [r0]
    add     r1, r1, #1
    str     r1, [r0]
    bx      lr
    .pool
