/* video_windows_overlap.c - sets up the video_windows_overlap picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneWindowsOverlap();
    for (;;) {
    }
}
