@ irq.s - the demo's interrupt handler and its BIOS call wrappers.
@ The handler runs in ARM state (the BIOS reaches it with LDR PC): it
@ acknowledges the requests in IF, reports them to the BIOS wait calls through
@ the flags at 0x03007FF8 and counts vertical blanks.
    .section .iwram, "ax"
    .arm
    .global InterruptHandler
InterruptHandler:
    mov     r0, #0x04000000
    add     r0, r0, #0x200
    ldr     r1, [r0]                @ IE (low) and IF (high)
    and     r1, r1, r1, lsr #16     @ requested and enabled
    strh    r1, [r0, #2]            @ acknowledge
    ldr     r2, =0x03007FF8
    ldrh    r3, [r2]
    orr     r3, r3, r1
    strh    r3, [r2]
    tst     r1, #1
    ldrne   r2, =VBlankCount
    ldrne   r3, [r2]
    addne   r3, r3, #1
    strne   r3, [r2]
    bx      lr
    .pool

    .text
    .thumb
    .global VBlankIntrWait
    .thumb_func
VBlankIntrWait:
    swi     0x05
    bx      lr

    .global BgAffineSet
    .thumb_func
BgAffineSet:
    swi     0x0E
    bx      lr
