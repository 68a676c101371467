/* video_mode3.c - sets up the video_mode3 picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneMode3();
    for (;;) {
    }
}
