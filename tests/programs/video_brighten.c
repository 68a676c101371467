/* video_brighten.c - sets up the video_brighten picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneBrighten();
    for (;;) {
    }
}
