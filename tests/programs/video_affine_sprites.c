/* video_affine_sprites.c - sets up the video_affine_sprites picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneAffineSprites();
    for (;;) {
    }
}
