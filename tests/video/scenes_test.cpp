// scenes_test.cpp - whole pictures of every display feature against reviewed reference images.
//
// Each scene is set up by the same code the console programs video_*.c run;
// here it stores straight into the machine and the frame is drawn line by line.
#include "video_support.h"

#define POKE16(address, value) ScenePoke16((address), (value))
#define POKE32(address, value) ScenePoke32((address), (value))
#include "../programs/video_scenes.h"

namespace {

class Scene : public VideoTest {
protected:
    void Check(const std::string& name, void (*setUp)()) {
        setUp();
        std::vector<uint16_t> frame = RenderFrame();
        ExpectMatchesReference(name, frame.data());
    }
};

TEST_F(Scene, TextBackgroundsOfEverySizeScrollAndFlip) { Check("video_text", SceneText); }
TEST_F(Scene, MosaicOnTextAndRotatingBackgroundsAndAffineSprites) { Check("video_mosaic", SceneMosaic); }
TEST_F(Scene, RotatingBackgroundsWithAndWithoutWrap) { Check("video_affine", SceneAffine); }
TEST_F(Scene, Mode3BitmapWithSpriteAndNoBlend) { Check("video_mode3", SceneMode3); }
TEST_F(Scene, Mode4SecondPageDarkened) { Check("video_mode4", SceneMode4); }
TEST_F(Scene, Mode5SecondPageScaledAndBrightened) { Check("video_mode5", SceneMode5); }
TEST_F(Scene, SpritesOfEveryShapeFlipAndPlacement) { Check("video_sprites", SceneSprites); }
TEST_F(Scene, AffineAndDoubleSizeSprites) { Check("video_affine_sprites", SceneAffineSprites); }
TEST_F(Scene, OverlappingWindows) { Check("video_windows_overlap", SceneWindowsOverlap); }
TEST_F(Scene, DisjointWindowsAndSpriteWindow) { Check("video_windows_disjoint", SceneWindowsDisjoint); }
TEST_F(Scene, AlphaBlendAndSemiTransparentSprites) { Check("video_blend", SceneBlend); }
TEST_F(Scene, BrightenOnRotatingBackgroundSpritesAndBackdrop) { Check("video_brighten", SceneBrighten); }
TEST_F(Scene, DarkenOnTextBackgroundSpritesAndBackdrop) { Check("video_darken", SceneDarken); }

}  // namespace
