/* sound.c - the demo's music: a tune on the two square channels and a drum
   sample played through direct sound A (timer 0 paces it, DMA 1 feeds it). */
#include "demo.h"

#define DRUM_LENGTH 2048
#define DRUM_RATE 16384
#define DRUM_FRAMES 8

static s8 Drum[DRUM_LENGTH] __attribute__((aligned(4))) __attribute__((section(".ewram")));
static int DrumFramesLeft;

/* Frequency register of a note: 131072 / (2048 - x) Hz. */
#define NOTE(hz) (2048 - 131072 / (hz))

struct Note {
    u16 melody, bass; /* frequency registers, 0 for a rest */
    u16 frames;
};

/* The first note is a steady A (440 Hz) on the melody channel alone. */
static const struct Note Tune[] = {
    {NOTE(440), 0, 30},          {NOTE(523), NOTE(131), 15}, {NOTE(659), NOTE(165), 15},
    {NOTE(587), NOTE(147), 30},  {NOTE(523), NOTE(131), 15}, {NOTE(494), NOTE(123), 15},
    {NOTE(440), NOTE(110), 30},  {0, 0, 10},                 {NOTE(392), NOTE(98), 15},
    {NOTE(440), NOTE(110), 15},  {NOTE(494), NOTE(123), 15}, {NOTE(523), NOTE(131), 15},
    {NOTE(587), NOTE(147), 30},  {NOTE(659), NOTE(165), 30}, {0, 0, 20},
};
#define TUNE_LENGTH ((int)(sizeof Tune / sizeof Tune[0]))

static int NoteIndex = -1;
static int FramesLeft;

/* A decaying noisy drum, made from a small linear congruential generator. */
static void MakeDrum(void) {
    u32 seed = 12345;
    for (int i = 0; i < DRUM_LENGTH; ++i) {
        seed = seed * 1103515245u + 12345u;
        int noise = (int)((seed >> 16) & 0xFF) - 128;
        int envelope = 127 - i * 127 / DRUM_LENGTH;
        int tone = Sine((u32)i * 3) / 2;
        Drum[i] = (s8)((noise / 2 + tone) * envelope / 256);
    }
}

void SetUpSound(void) {
    MakeDrum();
    REG_SOUNDCNT_X = 0x0080;                   /* master enable */
    REG_SOUNDCNT_L = 0x3377;                   /* squares 1 and 2 on both sides, full volume */
    REG_SOUNDCNT_H = 0x0002 | 0x0004 | 0x0300; /* tones at full volume, direct sound A full, both sides */
    REG_SOUND1CNT_L = 0x0008;                  /* no sweep */
    REG_TM0CNT_L = (u16)(65536 - 16777216 / DRUM_RATE);
    REG_TM0CNT_H = 0x0080;
}

static void PlayNote(const struct Note* note) {
    if (note->melody) {
        REG_SOUND1CNT_H = 0xC080; /* volume 12, no envelope, half duty */
        REG_SOUND1CNT_X = (u16)(note->melody | 0x8000);
    } else {
        REG_SOUND1CNT_H = 0x0000;
        REG_SOUND1CNT_X = 0x8000;
    }
    if (note->bass) {
        REG_SOUND2CNT_L = 0x7040; /* volume 7, quarter duty */
        REG_SOUND2CNT_H = (u16)(note->bass | 0x8000);
    } else {
        REG_SOUND2CNT_L = 0x0000;
        REG_SOUND2CNT_H = 0x8000;
    }
}

void PlayTune(void) {
    if (--FramesLeft > 0) return;
    NoteIndex = (NoteIndex + 1) % TUNE_LENGTH;
    FramesLeft = Tune[NoteIndex].frames;
    PlayNote(&Tune[NoteIndex]);
}

void StartDrum(void) {
    REG_DMA1CNT_H = 0;
    REG_DMA1SAD = (u32)Drum;
    REG_DMA1DAD = 0x040000A0; /* FIFO A */
    REG_DMA1CNT_H = 0xB640;   /* enabled, sound FIFO timing, repeat, words, fixed destination */
    DrumFramesLeft = DRUM_FRAMES;
}

void UpdateDrum(void) {
    if (DrumFramesLeft > 0 && --DrumFramesLeft == 0) REG_DMA1CNT_H = 0;
}
