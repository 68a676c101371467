/* video_blend.c - sets up the video_blend picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneBlend();
    for (;;) {
    }
}
