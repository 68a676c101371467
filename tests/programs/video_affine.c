/* video_affine.c - sets up the video_affine picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneAffine();
    for (;;) {
    }
}
