@ sound_tone_and_fifo.s - plays a known tone on a square channel, then a known
@ sample loop through direct sound A (timer 0 paces it, DMA1 feeds the FIFO),
@ with silence before, between and after. Frames are counted at vertical blank:
@   0..19 silence, 20..49 square channel 2 at 131072 / (2048 - 1536) = 256 Hz,
@   50..69 silence, 70..99 direct sound A at 512 Hz, 100.. silence.
@ The direct-sound loop is a 32-sample square wave (+96 / -96) played at
@ 16777216 / 1024 = 16384 samples a second, so its fundamental is 512 Hz.
    .include "gba.inc"
    .equ SOUNDCNT_L,  0x80
    .equ SOUNDCNT_H,  0x82
    .equ SOUNDCNT_X,  0x84
    .equ SOUND2CNT_L, 0x68
    .equ SOUND2CNT_H, 0x6C
    .equ FIFO_A,      0x040000A0
    .equ DMA1SAD,     0xBC
    .equ DMA1DAD,     0xC0
    .equ DMA1CNT_H,   0xC6
    .equ TIMERS,      0x100             @ TM0CNT_L; TM0CNT_H follows at +2
    .equ LOOP_BYTES,  16384

    .section .ewram, "aw", %nobits
    .align 2
wave_buffer:
    .space LOOP_BYTES

    .text
    .arm
    .global main
main:
    @ The sample loop: 16 bytes of +96 then 16 of -96, repeated.
    ldr     r0, =wave_buffer
    ldr     r1, =0x60606060
    mov     r2, r1
    mov     r3, r1
    mov     r4, r1
    ldr     r5, =0xA0A0A0A0
    mov     r6, r5
    mov     r7, r5
    mov     r8, r5
    mov     r9, #LOOP_BYTES / 32
fill:
    stmia   r0!, {r1-r8}
    subs    r9, r9, #1
    bne     fill

    ldr     r10, =REG_BASE
    add     r11, r10, #TIMERS
    mov     r1, #0x80
    strh    r1, [r10, #SOUNDCNT_X]      @ sound on
    mov     r1, #2
    strh    r1, [r10, #SOUNDCNT_H]      @ tone channels at full volume

    mov     r0, #20
    bl      wait_frames
    mov     r1, #0xF000                 @ no length, envelope volume 15, no envelope steps
    strh    r1, [r10, #SOUND2CNT_L]
    ldr     r1, =0x8000 + 1536          @ start, frequency register 1536
    strh    r1, [r10, #SOUND2CNT_H]

    mov     r0, #30
    bl      wait_frames
    mov     r1, #0                      @ envelope volume 0: silent
    strh    r1, [r10, #SOUND2CNT_L]

    mov     r0, #20
    bl      wait_frames
    ldr     r1, =0x0306                 @ tones full, A at 100%, A on both sides, timer 0
    strh    r1, [r10, #SOUNDCNT_H]
    ldr     r1, =wave_buffer
    str     r1, [r10, #DMA1SAD]
    ldr     r1, =FIFO_A
    str     r1, [r10, #DMA1DAD]
    ldr     r1, =0xB640                 @ enable, sound FIFO timing, 32-bit, repeat, fixed destination
    strh    r1, [r10, #DMA1CNT_H]
    ldr     r1, =0x10000 - 1024         @ one sample every 1024 cycles
    strh    r1, [r11]                   @ TM0CNT_L
    mov     r1, #0x80                   @ TM0CNT_H: timer on, prescaler 1
    strh    r1, [r11, #2]

    mov     r0, #30
    bl      wait_frames
    mov     r1, #0
    strh    r1, [r10, #DMA1CNT_H]
    strh    r1, [r11, #2]
idle:
    b       idle

@ Waits until r0 more vertical blanks have begun. Clobbers r0-r2.
wait_frames:
    ldr     r1, =REG_VCOUNT
1:  ldrh    r2, [r1]
    cmp     r2, #160
    beq     1b
2:  ldrh    r2, [r1]
    cmp     r2, #160
    bne     2b
    subs    r0, r0, #1
    bne     1b
    bx      lr
    .pool
