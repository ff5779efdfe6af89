#include "SpriteObject.h"
#include "image_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <type_traits>

namespace {

void expectSpritePlacedAt(const SpriteObject& object, float x, float y)
{
    const sf::Vector2f position = object.getSprite().getPosition();
    EXPECT_FLOAT_EQ(position.x, x);
    EXPECT_FLOAT_EQ(position.y, y);
}

void expectSpriteScale(const SpriteObject& object, float x, float y)
{
    const sf::Vector2f scale = object.getSprite().getScale();
    EXPECT_FLOAT_EQ(scale.x, x);
    EXPECT_FLOAT_EQ(scale.y, y);
}

void expectSpriteAlpha(const SpriteObject& object, std::uint8_t alphaByte)
{
    EXPECT_EQ(object.getSprite().getColor(), sf::Color(255, 255, 255, alphaByte));
}

class SpriteObjectTest : public ::testing::Test {
protected:
    SpriteObjectTest() { images.write("image1.png", ScratchImages::quadrantSheet(48, 40)); }

    std::unique_ptr<SpriteObject> make(int width = 32, int height = 32)
    {
        return std::make_unique<SpriteObject>("image1.png", width, height);
    }

    ScratchImages images;
};

static_assert(!std::is_copy_constructible_v<SpriteObject>);
static_assert(!std::is_copy_assignable_v<SpriteObject>);

// --- Construction -----------------------------------------------------------

TEST_F(SpriteObjectTest, ConstructionFromFileAppliesDefaultsAndShowsTheTopLeftFrame)
{
    auto object = make();
    EXPECT_EQ(object->getX(), 0);
    EXPECT_EQ(object->getY(), 0);
    EXPECT_EQ(object->getAlpha(), 255);
    EXPECT_EQ(object->getRotation(), 0);
    EXPECT_EQ(object->getScale(), 1);
    EXPECT_EQ(object->getScaleX(), 1);
    EXPECT_EQ(object->getScaleY(), 1);
    EXPECT_EQ(object->getWidhtCurrent(), 32);
    EXPECT_EQ(object->getHeightCurrent(), 32);
    EXPECT_EQ(object->getWidthBase(), 32);
    EXPECT_EQ(object->getHeightBase(), 32);

    const sf::Sprite sprite = object->getSprite();
    EXPECT_EQ(sprite.getTextureRect(), sf::IntRect({0, 0}, {32, 32}));
    EXPECT_EQ(sprite.getOrigin(), sf::Vector2f(16, 16));
    EXPECT_EQ(sprite.getColor(), sf::Color::White);
    EXPECT_EQ(compat::rotationOf(sprite), 0);
    expectSpritePlacedAt(*object, 0, 0);
    expectSpriteScale(*object, 1, 1);
    ASSERT_NE(compat::textureOf(sprite), nullptr);
    EXPECT_EQ(compat::textureOf(sprite)->getSize(), sf::Vector2u(48, 40));
}

TEST_F(SpriteObjectTest, OddFrameTruncatesTheOriginToWholePixels)
{
    auto object = make(33, 15);
    const sf::Sprite sprite = object->getSprite();
    EXPECT_EQ(sprite.getOrigin(), sf::Vector2f(16, 7));
    EXPECT_EQ(sprite.getTextureRect(), sf::IntRect({0, 0}, {33, 15}));
    EXPECT_EQ(object->getWidhtCurrent(), 33);
    EXPECT_EQ(object->getHeightCurrent(), 15);
}

TEST_F(SpriteObjectTest, FrameLargerThanTheImageKeepsTheAskedRectangle)
{
    auto object = make(100, 90);
    EXPECT_EQ(object->getSprite().getTextureRect(), sf::IntRect({0, 0}, {100, 90}));
    EXPECT_EQ(object->getWidhtCurrent(), 100);
}

TEST_F(SpriteObjectTest, MissingFileStillConstructsWithTheFrameSize)
{
    std::unique_ptr<SpriteObject> object;
    ASSERT_NO_THROW(object = std::make_unique<SpriteObject>("no-such-file.png", 32, 24));
    EXPECT_EQ(object->getWidhtCurrent(), 32);
    EXPECT_EQ(object->getHeightCurrent(), 24);
    EXPECT_EQ(object->getSprite().getTextureRect(), sf::IntRect({0, 0}, {32, 24}));
    ASSERT_NE(compat::textureOf(object->getSprite()), nullptr);
    EXPECT_EQ(compat::textureOf(object->getSprite())->getSize(), sf::Vector2u(0, 0));
    object->setXY(5, 6);
    object->setScale(2);
    EXPECT_EQ(object->getWidhtCurrent(), 64);
    expectSpritePlacedAt(*object, 5, 6);
}

TEST_F(SpriteObjectTest, DefaultConstructorHasDefaultsAndNoTexture)
{
    SpriteObject object;
    EXPECT_EQ(object.getX(), 0);
    EXPECT_EQ(object.getY(), 0);
    EXPECT_EQ(object.getAlpha(), 255);
    EXPECT_EQ(object.getRotation(), 0);
    EXPECT_EQ(object.getScale(), 1);
    EXPECT_EQ(object.getWidthBase(), 0);
    EXPECT_EQ(object.getWidhtCurrent(), 0);
    EXPECT_EQ(object.getHeightCurrent(), 0);
    const sf::Sprite sprite = object.getSprite();
    // No texture at all (SFML 2), or the object's own, still empty (SFML 3).
    const sf::Texture* texture = compat::textureOf(sprite);
    EXPECT_TRUE(texture == nullptr || texture->getSize() == sf::Vector2u(0, 0));
    EXPECT_EQ(sprite.getTextureRect(), sf::IntRect());
    EXPECT_EQ(sprite.getOrigin(), sf::Vector2f(0, 0));
    EXPECT_EQ(sprite.getColor(), sf::Color::White);
}

// --- Position ---------------------------------------------------------------

TEST_F(SpriteObjectTest, PositionSettersStoreAndPlaceTheSprite)
{
    auto object = make();
    object->setXY(100, 100);
    expectSpritePlacedAt(*object, 100, 100);

    object->setDXY(5, -5);
    EXPECT_EQ(object->getX(), 105);
    EXPECT_EQ(object->getY(), 95);
    object->setDX(-200);
    EXPECT_EQ(object->getX(), -95);
    expectSpritePlacedAt(*object, -95, 95);

    object->setX(30);
    expectSpritePlacedAt(*object, 30, 95);
    object->setY(-7.5f);
    expectSpritePlacedAt(*object, 30, -7.5f);
    object->setDY(2.5f);
    expectSpritePlacedAt(*object, 30, -5);
}

TEST_F(SpriteObjectTest, StepsAddOnceAtTheCall)
{
    auto object = make();
    object->setXY(10, 20);
    object->setDXY(1, 1);
    object->setDXY(1, 1);
    expectSpritePlacedAt(*object, 12, 22);
    object->setDX(0);
    object->setDY(0);
    expectSpritePlacedAt(*object, 12, 22);
}

// --- Alpha ------------------------------------------------------------------

TEST_F(SpriteObjectTest, AlphaIsClampedAndTheSpriteGetsItsWholePart)
{
    auto object = make();
    object->setAlpha(-20);
    EXPECT_EQ(object->getAlpha(), 0);
    expectSpriteAlpha(*object, 0);

    object->setAlpha(300);
    EXPECT_EQ(object->getAlpha(), 255);
    expectSpriteAlpha(*object, 255);

    object->setAlpha(127.9f);
    EXPECT_FLOAT_EQ(object->getAlpha(), 127.9f);
    expectSpriteAlpha(*object, 127);

    object->setAlpha(0.5f);
    expectSpriteAlpha(*object, 0);
}

TEST_F(SpriteObjectTest, AlphaStepsClampAtBothEnds)
{
    auto object = make();
    object->setAlpha(250);
    object->setDAlpha(10);
    EXPECT_EQ(object->getAlpha(), 255);
    object->setDAlpha(-10);
    EXPECT_EQ(object->getAlpha(), 245);
    expectSpriteAlpha(*object, 245);

    object->setAlpha(5);
    object->setDAlpha(-10);
    EXPECT_EQ(object->getAlpha(), 0);
    object->setDAlpha(0);
    EXPECT_EQ(object->getAlpha(), 0);
    expectSpriteAlpha(*object, 0);
}

TEST_F(SpriteObjectTest, NonFiniteAlphaNeverLeavesTheRange)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto object = make();

    object->setAlpha(100);
    object->setAlpha(nan);
    EXPECT_EQ(object->getAlpha(), 100);
    object->setDAlpha(nan);
    EXPECT_EQ(object->getAlpha(), 100);
    expectSpriteAlpha(*object, 100);

    object->setAlpha(inf);
    EXPECT_EQ(object->getAlpha(), 255);
    object->setAlpha(-inf);
    EXPECT_EQ(object->getAlpha(), 0);
    object->setDAlpha(inf);
    EXPECT_EQ(object->getAlpha(), 255);
    object->setDAlpha(-inf);
    EXPECT_EQ(object->getAlpha(), 0);
    object->setDAlpha(std::numeric_limits<float>::max());
    EXPECT_EQ(object->getAlpha(), 255);
    expectSpriteAlpha(*object, 255);
}

// --- Rotation ---------------------------------------------------------------

TEST_F(SpriteObjectTest, SetRotationWrapsTheFieldOnceAndGivesTheSpriteTheAngle)
{
    auto object = make();
    const struct { float given, stored, spriteAngle; } cases[] = {
        {360, 360, 0}, {370, 10, 10}, {-30, 330, 330}, {-360, 0, 0},
        {-400, -40, 320}, {725, 365, 5}, {720, 360, 0},
    };
    for (const auto& c : cases) {
        object->setRotation(c.given);
        EXPECT_FLOAT_EQ(object->getRotation(), c.stored) << "setRotation(" << c.given << ")";
        EXPECT_NEAR(compat::rotationOf(object->getSprite()), c.spriteAngle, 1e-3) << "setRotation(" << c.given << ")";
    }
}

TEST_F(SpriteObjectTest, RotateAddsToBothAndWrapsTheField)
{
    auto object = make();
    object->setRotation(350);
    object->rotate(20);
    EXPECT_FLOAT_EQ(object->getRotation(), 10);
    EXPECT_NEAR(compat::rotationOf(object->getSprite()), 10, 1e-3);

    object->rotate(-20);
    EXPECT_FLOAT_EQ(object->getRotation(), 350);
    EXPECT_NEAR(compat::rotationOf(object->getSprite()), 350, 1e-3);

    object->setRotation(0);
    object->rotate(360);
    EXPECT_EQ(object->getRotation(), 360);
    object->setRotation(0);
    object->rotate(361);
    EXPECT_FLOAT_EQ(object->getRotation(), 1);
}

TEST_F(SpriteObjectTest, RotationLeavesTheCurrentSizeAlone)
{
    auto object = make();
    object->setScale(2, 3);
    object->rotate(45);
    object->setRotation(90);
    EXPECT_EQ(object->getWidhtCurrent(), 64);
    EXPECT_EQ(object->getHeightCurrent(), 96);
}

// --- Scale ------------------------------------------------------------------

TEST_F(SpriteObjectTest, UniformScaleIsClampedAtZeroAndSizesFollow)
{
    auto object = make();
    object->setScale(2);
    EXPECT_EQ(object->getScale(), 2);
    EXPECT_EQ(object->getScaleX(), 2);
    EXPECT_EQ(object->getScaleY(), 2);
    EXPECT_EQ(object->getWidhtCurrent(), 64);
    EXPECT_EQ(object->getHeightCurrent(), 64);
    expectSpriteScale(*object, 2, 2);

    for (float vanishing : {-1.0f, 0.0f}) {
        object->setScale(vanishing);
        EXPECT_EQ(object->getScale(), 0);
        EXPECT_EQ(object->getScaleX(), 0);
        EXPECT_EQ(object->getScaleY(), 0);
        EXPECT_EQ(object->getWidhtCurrent(), 0);
        EXPECT_EQ(object->getHeightCurrent(), 0);
        expectSpriteScale(*object, 0, 0);
    }
}

TEST_F(SpriteObjectTest, TwoFactorScaleKeepsTheFactorsAndReportsNoUniformScale)
{
    auto object = make();
    object->setScale(2, 3);
    EXPECT_EQ(object->getScale(), 0);
    EXPECT_EQ(object->getScaleX(), 2);
    EXPECT_EQ(object->getScaleY(), 3);
    EXPECT_EQ(object->getWidhtCurrent(), 64);
    EXPECT_EQ(object->getHeightCurrent(), 96);
    expectSpriteScale(*object, 2, 3);

    object->setScale(2, 2);
    EXPECT_EQ(object->getScale(), 0);
    EXPECT_EQ(object->getWidhtCurrent(), 64);

    object->setScale(-1, 1);
    EXPECT_EQ(object->getWidhtCurrent(), -32);
    EXPECT_EQ(object->getHeightCurrent(), 32);
    expectSpriteScale(*object, -1, 1);

    object->setScale(1.5f);
    EXPECT_EQ(object->getScale(), 1.5f);
    EXPECT_EQ(object->getScaleX(), 1.5f);
    EXPECT_EQ(object->getScaleY(), 1.5f);
    EXPECT_EQ(object->getWidhtCurrent(), 48);
    EXPECT_EQ(object->getHeightCurrent(), 48);
}

// --- Drawing ----------------------------------------------------------------

sf::Image drawInWindow(SpriteObject& object)
{
    const DisplayConnection display = openDisplay(std::cerr);
    sf::RenderWindow window;
    compat::createWindow(window, display, 128, 128, "sprite test", sf::Style::None);
    window.clear(sf::Color::White);
    object.draw(window);
    return compat::capture(window);
}

TEST(Capture, HoldsTheWholeWindow)
{
    const DisplayConnection display = openDisplay(std::cerr);
    sf::RenderWindow window;
    compat::createWindow(window, display, 640, 480, "capture test", sf::Style::None);
    EXPECT_EQ(compat::capture(window).getSize(), sf::Vector2u(640, 480));
}

TEST_F(SpriteObjectTest, DrawShowsOnlyTheFrameCentredOnThePosition)
{
    auto object = make();
    object->setXY(64, 64);
    const sf::Image shot = drawInWindow(*object);
    EXPECT_EQ(compat::pixelAt(shot, 56, 56), ScratchImages::topLeft);
    EXPECT_EQ(compat::pixelAt(shot, 72, 56), ScratchImages::topRight);
    EXPECT_EQ(compat::pixelAt(shot, 56, 72), ScratchImages::bottomLeft);
    EXPECT_EQ(compat::pixelAt(shot, 72, 72), ScratchImages::bottomRight);
    EXPECT_EQ(compat::pixelAt(shot, 47, 64), sf::Color::White);
    EXPECT_EQ(compat::pixelAt(shot, 81, 64), sf::Color::White);
    for (unsigned y = 0; y < 128; ++y)
        for (unsigned x = 0; x < 128; ++x)
            ASSERT_NE(compat::pixelAt(shot, x, y), ScratchImages::outside) << x << "," << y;
}

TEST_F(SpriteObjectTest, DrawFollowsRotationAndMirror)
{
    auto object = make();
    object->setXY(64, 64);
    object->setRotation(90);  // clockwise on screen: the top-left quadrant goes top-right
    sf::Image shot = drawInWindow(*object);
    EXPECT_EQ(compat::pixelAt(shot, 72, 56), ScratchImages::topLeft);
    EXPECT_EQ(compat::pixelAt(shot, 56, 56), ScratchImages::bottomLeft);

    object->setRotation(0);
    object->setScale(-1, 1);
    shot = drawInWindow(*object);
    EXPECT_EQ(compat::pixelAt(shot, 72, 56), ScratchImages::topLeft);
    EXPECT_EQ(compat::pixelAt(shot, 56, 56), ScratchImages::topRight);
}

// Each extreme goes through the sprite's transform into rendering (the
// sanitizer build checks our side of it); afterwards ordinary numbers must
// draw the frame as before, so nothing in the renderer was left broken.
TEST_F(SpriteObjectTest, ExtremeNumbersDrawWithoutHarmToLaterFrames)
{
    const float extremes[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(),
                              -std::numeric_limits<float>::max(), std::numeric_limits<float>::denorm_min(), -0.0f};
    const std::function<void(SpriteObject&, float)> setters[] = {
        [](SpriteObject& o, float v) { o.setXY(v, v); },       [](SpriteObject& o, float v) { o.setRotation(v); },
        [](SpriteObject& o, float v) { o.rotate(v); },         [](SpriteObject& o, float v) { o.setScale(v); },
        [](SpriteObject& o, float v) { o.setScale(v, 1); },    [](SpriteObject& o, float v) { o.setScale(1, v); },
    };
    const DisplayConnection display = openDisplay(std::cerr);
    sf::RenderWindow window;
    compat::createWindow(window, display, 128, 128, "sprite test", sf::Style::None);
    const auto centrePixel = [&window](SpriteObject& object, unsigned x, unsigned y) {
        window.clear(sf::Color::White);
        object.draw(window);
        return compat::pixelAt(compat::capture(window), x, y);
    };
    const auto placeOrdinarily = [](SpriteObject& object) {
        object.setXY(64, 64);
        object.setRotation(30);
        object.setScale(1);
    };

    auto object = make();
    for (const auto& set : setters)
        for (float extreme : extremes) {
            placeOrdinarily(*object);
            set(*object, extreme);
            centrePixel(*object, 64, 64);
            placeOrdinarily(*object);
            object->setRotation(0);
            ASSERT_EQ(centrePixel(*object, 56, 56), ScratchImages::topLeft) << "after drawing " << extreme;
            ASSERT_EQ(centrePixel(*object, 72, 72), ScratchImages::bottomRight) << "after drawing " << extreme;
        }
}

TEST_F(SpriteObjectTest, DefaultObjectDrawsNothing)
{
    SpriteObject object;
    object.setXY(64, 64);
    const sf::Image shot = drawInWindow(object);
    for (unsigned y = 0; y < 128; y += 4)
        for (unsigned x = 0; x < 128; x += 4)
            ASSERT_EQ(compat::pixelAt(shot, x, y), sf::Color::White) << x << "," << y;
}

}  // namespace
