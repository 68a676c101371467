@ irq_rules.s - when interrupts are taken and how they are acknowledged:
@ halting until an interrupt (and not halting when none can come), IF
@ acknowledge by writing 1, IME and CPSR I holding a request back and
@ releasing it before the next instruction.
@
@ R12 = 0 when every check passed, else the number of the failed check;
@ 255 while running. The handler counts its calls at 0x03001000.
    .include "gba.inc"
    .equ COUNT, 0x03001000


    .text
    .arm
    .global main
main:
    mov     r12, #255
    INSTALL_IRQ_HANDLER irq_handler
    mov     r0, #REG_BASE
    add     r2, r0, #0x200              @ IE, IF at +2, IME at +8
    ldr     r3, =COUNT
    mov     r1, #0x0008                 @ vertical-blank interrupt on
    strh    r1, [r0, #4]

    @ 1: with IME clear no interrupt can end a halt, so the write does not halt
    mov     r1, #1
    strh    r1, [r2]                    @ IE = vertical blank
    bl      wait_line_0
    mov     r1, #0
    strb    r1, [r0, #0x301]
    ldrh    r1, [r0, #6]
    cmp     r1, #2
    movhs   r12, #1
    bhs     test_failed
    mvn     r1, #0
    strh    r1, [r2, #2]                @ acknowledge the requests that came meanwhile

    @ 2: halting ends with the interrupt at line 160; execution continues after the store
    mov     r1, #1
    strh    r1, [r2, #8]                @ IME
    mov     r1, #0
    strb    r1, [r0, #0x301]
    ldrh    r1, [r0, #6]
    cmp     r1, #160
    FAIL_IF ne, 2
    ldr     r1, [r3]
    cmp     r1, #1
    FAIL_IF ne, 3

    @ 4: a request waits while IME is clear; writing 1 to another bit leaves it
    mov     r1, #0
    strh    r1, [r2, #8]
    bl      wait_line_0
    bl      wait_vblank_request
    mov     r1, #2
    strh    r1, [r2, #2]
    ldrh    r1, [r2, #2]
    tst     r1, #1
    FAIL_IF eq, 4
    ldr     r1, [r3]
    cmp     r1, #1
    FAIL_IF ne, 5

    @ 6: setting IME takes the request before the next instruction
    mov     r1, #1
    strh    r1, [r2, #8]
    ldr     r1, [r3]
    cmp     r1, #2
    FAIL_IF ne, 6

    @ 7: writing 1 acknowledges
    mov     r1, #0
    strh    r1, [r2, #8]
    bl      wait_line_0
    bl      wait_vblank_request
    mov     r1, #1
    strh    r1, [r2, #2]
    ldrh    r1, [r2, #2]
    tst     r1, #1
    FAIL_IF ne, 7

    @ 8: CPSR I holds a request back; clearing it releases it at once
    bl      wait_line_0
    bl      wait_vblank_request
    msr     cpsr_c, #0x9F               @ System mode, I set
    mov     r1, #1
    strh    r1, [r2, #8]
    ldr     r1, [r3]
    cmp     r1, #2
    FAIL_IF ne, 8
    msr     cpsr_c, #0x1F
    ldr     r1, [r3]
    cmp     r1, #3
    FAIL_IF ne, 9

    @ 10: IE masks a request even with IME set
    mov     r1, #0
    strh    r1, [r2]                    @ IE = 0
    bl      wait_line_0
    bl      wait_vblank_request
    ldr     r1, [r3]
    cmp     r1, #3
    FAIL_IF ne, 10
    mov     r1, #1
    strh    r1, [r2]                    @ IE = vertical blank: taken at once
    ldr     r1, [r3]
    cmp     r1, #4
    FAIL_IF ne, 11

    @ 12: a timer interrupt ends a halt too
    mov     r1, #8
    strh    r1, [r2]                    @ IE = timer 0 only
    add     r4, r0, #0x100
    ldr     r1, =0xC000
    strh    r1, [r4]                    @ TM0CNT_L: 16384 cycles to overflow
    mov     r1, #0xC0
    strh    r1, [r4, #2]                @ start, interrupt
    mov     r1, #0
    strb    r1, [r0, #0x301]
    ldr     r1, [r3]
    cmp     r1, #5
    FAIL_IF ne, 12
    mov     r1, #0
    strh    r1, [r4, #2]

    mov     r12, #0
test_failed:
    b       test_failed

@ Waits (without interrupts) until line 0 begins.
wait_line_0:
    ldrh    r1, [r0, #6]
    cmp     r1, #0
    beq     wait_line_0
1:  ldrh    r1, [r0, #6]
    cmp     r1, #0
    bne     1b
    bx      lr

@ Waits until IF shows the vertical-blank request.
wait_vblank_request:
    ldrh    r1, [r2, #2]
    tst     r1, #1
    beq     wait_vblank_request
    bx      lr

irq_handler:
    ACKNOWLEDGE_ENABLED_IRQS
    ldr     r0, =COUNT
    ldr     r1, [r0]
    add     r1, r1, #1
    str     r1, [r0]
    bx      lr
    .pool
