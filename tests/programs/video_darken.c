/* video_darken.c - sets up the video_darken picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneDarken();
    for (;;) {
    }
}
