/* video_sprites.c - sets up the video_sprites picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneSprites();
    for (;;) {
    }
}
