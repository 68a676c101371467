@ arm_modes.s - mode switches, banked R13/R14, SPSRs and exception returns in
@ ARM state. Leaves the number of the first failed check in R12 (0 when all
@ passed) and 0xC0DE in R11 when it reached the end.
    .include "gba.inc"
    .text
    .arm
    .global main

    .macro  check reg, value, step
    ldr     r9, =\value
    cmp     \reg, r9
    movne   r12, #\step
    bne     done
    .endm

    .macro  mode number
    msr     cpsr_c, #(\number | 0xC0)
    .endm

main:
    mov     r12, #0
    mov     r11, #0
    mode    0x1F
    ldr     r13, =0x1000
    ldr     r14, =0x1001
    mode    0x12                @ IRQ
    ldr     r13, =0x1200
    ldr     r14, =0x1201
    mode    0x13                @ Supervisor
    ldr     r13, =0x1300
    ldr     r14, =0x1301
    mode    0x17                @ Abort
    ldr     r13, =0x1700
    ldr     r14, =0x1701
    mode    0x11                @ FIQ
    ldr     r13, =0x1100
    ldr     r14, =0x1101
    mov     r8, #0x88           @ FIQ has no R8 of its own
    mode    0x1B                @ Undefined shares R13/R14 with FIQ
    check   r13, 0x1100, 1
    check   r14, 0x1101, 2
    mode    0x1F
    check   r13, 0x1000, 3
    check   r14, 0x1001, 4
    check   r8, 0x88, 5
    mode    0x12
    check   r13, 0x1200, 7
    mode    0x13
    check   r14, 0x1301, 8
    mode    0x17
    check   r13, 0x1700, 9

    @ Each mode with an SPSR keeps its own.
    mode    0x12
    ldr     r0, =0x8000001F
    msr     spsr_fc, r0
    mode    0x13
    ldr     r0, =0x4000001F
    msr     spsr_fc, r0
    mode    0x12
    mrs     r1, spsr
    check   r1, 0x8000001F, 10
    mode    0x13
    mrs     r1, spsr
    check   r1, 0x4000001F, 11

    @ Exception return: MOVS PC, LR restores CPSR from SPSR_svc.
    adr     r14, returned
    movs    pc, r14
returned:
    mrs     r1, cpsr
    check   r1, 0x4000001F, 12
    check   r13, 0x1000, 13

    @ LDM with the S bit and PC in the list returns the same way.
    mode    0x12
    ldr     r0, =0x2000001F
    msr     spsr_fc, r0
    ldr     r13, =IWRAM + 0x100
    adr     r0, loaded
    str     r0, [r13, #4]
    ldmia   r13!, {r1, pc}^
loaded:
    mrs     r1, cpsr
    check   r1, 0x2000001F, 14
    mode    0x12
    check   r13, IWRAM + 0x108, 15
    mode    0x1F

    @ User mode shares the System bank and cannot leave through MSR.
    mode    0x10
    check   r13, 0x1000, 6
    mode    0x13
    mrs     r1, cpsr
    check   r1, 0xD0, 16

    ldr     r11, =0xC0DE
done:
    b       done
    .pool
