/* video_mode4.c - sets up the video_mode4 picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneMode4();
    for (;;) {
    }
}
