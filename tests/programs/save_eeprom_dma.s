@ save_eeprom_dma.s - talks to the serial EEPROM the way games do: each request
@ is a buffer of halfwords (one bit each) sent by DMA3, and the 68-bit reply
@ is fetched by DMA3 too. Writes block 9 = 0xFEDCBA98_76543210, reads it back.
@ R12 = 0 when the value read matches, 1 when the high word differs, 2 when
@ the low word differs, 3 when a leading bit of the reply is not 0.
    .include "gba.inc"
    .equ EEPROM, 0x0D000000
    .equ DMA3SAD, 0x040000D4
    .equ BITS, EWRAM + 0x1000        @ request built here
    .equ REPLY, EWRAM + 0x2000       @ reply fetched here
    .text
    .arm
    .global main
main:
    @ Write request: 1, 0, block 9 (6 bits), 64 data bits, stop bit.
    ldr     r6, =BITS
    mov     r0, #1
    strh    r0, [r6], #2
    mov     r0, #0
    strh    r0, [r6], #2
    mov     r2, #9
    mov     r3, #6
    bl      put_bits
    ldr     r2, =0xFEDCBA98
    mov     r3, #32
    bl      put_bits
    ldr     r2, =0x76543210
    mov     r3, #32
    bl      put_bits
    mov     r0, #0
    strh    r0, [r6], #2
    ldr     r0, =BITS
    ldr     r1, =EEPROM
    mov     r2, #73
    bl      dma3

    @ Read request: 1, 1, block 9, stop bit; then 68 reply bits.
    ldr     r6, =BITS
    mov     r0, #1
    strh    r0, [r6], #2
    strh    r0, [r6], #2
    mov     r2, #9
    mov     r3, #6
    bl      put_bits
    mov     r0, #0
    strh    r0, [r6], #2
    ldr     r0, =BITS
    ldr     r1, =EEPROM
    mov     r2, #9
    bl      dma3
    ldr     r0, =EEPROM
    ldr     r1, =REPLY
    mov     r2, #68
    bl      dma3

    ldr     r6, =REPLY
    mov     r12, #0
    mov     r3, #4
1:  ldrh    r0, [r6], #2
    cmp     r0, #0
    movne   r12, #3
    subs    r3, r3, #1
    bne     1b
    mov     r3, #32
    bl      get_bits
    ldr     r0, =0xFEDCBA98
    cmp     r2, r0
    movne   r12, #1
    mov     r3, #32
    bl      get_bits
    ldr     r0, =0x76543210
    cmp     r2, r0
    movne   r12, #2
idle:
    b       idle

@ Appends the low r3 bits of r2 to the buffer at r6, most significant first.
put_bits:
    subs    r3, r3, #1
    bxmi    lr
    mov     r0, r2, lsr r3
    and     r0, r0, #1
    strh    r0, [r6], #2
    b       put_bits

@ Collects r3 bits from the halfwords at r6 into r2, first bit highest.
get_bits:
    mov     r2, #0
2:  ldrh    r0, [r6], #2
    and     r0, r0, #1
    orr     r2, r0, r2, lsl #1
    subs    r3, r3, #1
    bne     2b
    bx      lr

@ DMA3 from r0 to r1, r2 halfwords, both addresses incrementing, started now.
dma3:
    ldr     r3, =DMA3SAD
    str     r0, [r3]
    str     r1, [r3, #4]
    strh    r2, [r3, #8]
    mov     r0, #0x8000
    strh    r0, [r3, #10]
    bx      lr
    .pool
