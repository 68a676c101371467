@ save_battery.s - counts its own runs in battery-backed memory. SRAM holds a
@ marker "TM" and the number of the last run; EEPROM block 7 holds it too.
@ Leaves R12 = the number of this run (1 on a fresh battery) and R11 = the
@ value EEPROM block 7 held at start (the previous run's number, 0 at first).
    .include "gba.inc"
    .equ EEPROM, 0x0D000000
    .text
    .arm
    .global main
main:
    ldr     r6, =SRAM
    ldrb    r0, [r6]
    ldrb    r1, [r6, #1]
    mov     r12, #0
    cmp     r0, #'T'
    cmpeq   r1, #'M'
    ldreqb  r12, [r6, #2]
    add     r12, r12, #1
    mov     r0, #'T'
    strb    r0, [r6]
    mov     r0, #'M'
    strb    r0, [r6, #1]
    strb    r12, [r6, #2]

    @ Read block 7: 1, 1, 000111, stop bit. The reply stream (4 zeros, then
    @ 64 bits from the top) is left in the halfwords at 0x0D000000.
    ldr     r6, =EEPROM
    mov     r7, #7
    mov     r1, #1
    strh    r1, [r6]
    strh    r1, [r6]
    bl      send_block_number
    mov     r1, #0
    strh    r1, [r6]
    add     r2, r6, #8 + 64         @ the low word's 32 bits
    mov     r11, #0
    mov     r8, #32
1:  ldrh    r1, [r2], #2
    and     r1, r1, #1
    orr     r11, r1, r11, lsl #1
    subs    r8, r8, #1
    bne     1b

    @ Write block 7 = this run's number: 1, 0, 000111, 64 bits, stop bit.
    mov     r1, #1
    strh    r1, [r6]
    mov     r1, #0
    strh    r1, [r6]
    bl      send_block_number
    mov     r1, #0
    mov     r8, #32
2:  strh    r1, [r6]
    subs    r8, r8, #1
    bne     2b
    mov     r8, #31
3:  mov     r1, r12, lsr r8
    and     r1, r1, #1
    strh    r1, [r6]
    subs    r8, r8, #1
    bpl     3b
    mov     r1, #0
    strh    r1, [r6]
idle:
    b       idle

@ Sends the six bits of r7 to the EEPROM at r6, most significant first.
send_block_number:
    mov     r8, #5
4:  mov     r1, r7, lsr r8
    and     r1, r1, #1
    strh    r1, [r6]
    subs    r8, r8, #1
    bpl     4b
    bx      lr
    .pool
