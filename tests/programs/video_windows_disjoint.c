/* video_windows_disjoint.c - sets up the video_windows_disjoint picture scene, then idles. */
#include "video_scenes.h"

int main(void) {
    SceneWindowsDisjoint();
    for (;;) {
    }
}
