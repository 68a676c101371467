/* video_mosaic.c - sets up the video_mosaic picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneMosaic();
    for (;;) {
    }
}
