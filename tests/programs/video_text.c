/* video_text.c - sets up the video_text picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneText();
    for (;;) {
    }
}
