/* video_mode5.c - sets up the video_mode5 picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneMode5();
    for (;;) {
    }
}
