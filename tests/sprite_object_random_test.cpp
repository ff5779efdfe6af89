// Long random call sequences on SpriteObject, ordinary values mixed with
// boundaries and extremes (NaN, infinities, FLT_MAX, denormals, -0). After
// every call the object and its sprite are checked against a small model
// kept here. The seed is printed; SPRITEBENCH_RANDOM_SEED replays one.
#include "SpriteObject.h"
#include "image_fixture.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <iomanip>
#include <iostream>
#include <limits>
#include <random>
#include <sstream>
#include <string>

namespace {

constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr int stepsPerObject = 4000;
constexpr int drawEvery = 100;
constexpr std::size_t callsShownOnFailure = 30;

// --- The model ---------------------------------------------------------------

// What the object must hold after a sequence of calls, worked out the plain
// way. `angleErrorBound` bounds how far rounding can have moved the sprite's
// own angle and `rotation` apart since the last setRotation.
struct Model {
    float x = 0, y = 0;
    float alpha = 255;
    float rotation = 0;
    float scale = 1, scaleX = 1, scaleY = 1;
    float widthBase = 0, heightBase = 0;
    bool spriteAngleIsNaN = false;  // a NaN or infinity has reached the sprite's angle
    double angleErrorBound = 0;

    void setAlpha(float a)
    {
        if (std::isnan(a))
            return;
        alpha = a < 0 ? 0 : a > 255 ? 255 : a;
    }
    void wrapRotationOnce()
    {
        if (rotation < 0)
            rotation += 360;
        else if (rotation > 360)
            rotation -= 360;
    }
    float uniformScale() const { return scaleX == scaleY ? scale : 0; }
};

// Half the spacing of floats around `magnitude`: the most one rounding of a
// result that large can be off by.
double halfUlp(double magnitude)
{
    if (!std::isfinite(magnitude))
        return inf;
    if (magnitude < FLT_MIN)
        return std::ldexp(1.0, -150);
    return std::ldexp(1.0, std::ilogb(magnitude) - 24);
}

// SFML 3 keeps angles in radians: each angle set and read back goes through
// two conversions, a few roundings each.
const double radianRoundTrip = 8 * halfUlp(360);

// --- The calls ---------------------------------------------------------------

struct Operation {
    const char* name;
    int arity;
    void (*onObject)(SpriteObject&, float, float);
    void (*onModel)(Model&, float, float);
};

const Operation operations[] = {
    {"setXY", 2, [](SpriteObject& o, float a, float b) { o.setXY(a, b); },
     [](Model& m, float a, float b) {
         m.x = a;
         m.y = b;
     }},
    {"setX", 1, [](SpriteObject& o, float a, float) { o.setX(a); }, [](Model& m, float a, float) { m.x = a; }},
    {"setY", 1, [](SpriteObject& o, float a, float) { o.setY(a); }, [](Model& m, float a, float) { m.y = a; }},
    {"setDXY", 2, [](SpriteObject& o, float a, float b) { o.setDXY(a, b); },
     [](Model& m, float a, float b) {
         m.x += a;
         m.y += b;
     }},
    {"setDX", 1, [](SpriteObject& o, float a, float) { o.setDX(a); }, [](Model& m, float a, float) { m.x += a; }},
    {"setDY", 1, [](SpriteObject& o, float a, float) { o.setDY(a); }, [](Model& m, float a, float) { m.y += a; }},
    {"setAlpha", 1, [](SpriteObject& o, float a, float) { o.setAlpha(a); },
     [](Model& m, float a, float) { m.setAlpha(a); }},
    {"setDAlpha", 1, [](SpriteObject& o, float a, float) { o.setDAlpha(a); },
     [](Model& m, float a, float) { m.setAlpha(m.alpha + a); }},
    {"setRotation", 1, [](SpriteObject& o, float a, float) { o.setRotation(a); },
     [](Model& m, float a, float) {
         m.rotation = a;
         m.wrapRotationOnce();
         m.spriteAngleIsNaN = !std::isfinite(a);
         // The wrap of our field, and the sprite's own +360 for a negative angle.
         m.angleErrorBound = halfUlp(std::fabs(a) + 360) + halfUlp(360) + radianRoundTrip;
     }},
    {"rotate", 1, [](SpriteObject& o, float a, float) { o.rotate(a); },
     [](Model& m, float a, float) {
         // Our sum and wrap, and the sprite's sum and +360 (its fmod is exact).
         m.angleErrorBound += 2 * halfUlp(std::fabs(m.rotation) + std::fabs(a) + 360) +
                              2 * halfUlp(std::fabs(a) + 360) + radianRoundTrip;
         m.rotation += a;
         m.wrapRotationOnce();
         m.spriteAngleIsNaN = m.spriteAngleIsNaN || !std::isfinite(a);
     }},
    {"setScale", 1, [](SpriteObject& o, float a, float) { o.setScale(a); },
     [](Model& m, float a, float) { m.scale = m.scaleX = m.scaleY = (a < 0 ? 0 : a); }},
    {"setScale", 2, [](SpriteObject& o, float a, float b) { o.setScale(a, b); },
     [](Model& m, float a, float b) {
         m.scale = 0;
         m.scaleX = a;
         m.scaleY = b;
     }},
};

struct Call {
    const Operation* operation;
    float a, b;
};

std::string describe(const Call& call)
{
    std::ostringstream text;
    text << std::setprecision(9) << call.operation->name << "(" << call.a;
    if (call.operation->arity == 2)
        text << ", " << call.b;
    text << ")";
    return text.str();
}

// --- Random values -----------------------------------------------------------

class Values {
public:
    explicit Values(unsigned seed) : engine(seed) {}

    unsigned below(unsigned n) { return engine() % n; }

    float next()
    {
        static const float boundaries[] = {0, 1, -1, 255, 256, -255, 360, -360, 720, -720, 0.5f, 254.999f};
        static const float extremes[] = {nan, inf, -inf, FLT_MAX, -FLT_MAX, FLT_MIN, -FLT_MIN,
                                         FLT_TRUE_MIN, -FLT_TRUE_MIN, 1e-40f, -0.0f};
        const unsigned kind = below(20);
        if (kind < 9)  // whole hundredths within +-1000
            return static_cast<float>(static_cast<int>(below(200001)) - 100000) / 100;
        if (kind < 12)  // any float within +-2
            return static_cast<float>(engine()) / 4294967296.0f * 4 - 2;
        if (kind < 17)
            return boundaries[below(std::size(boundaries))];
        return extremes[below(std::size(extremes))];
    }

private:
    std::mt19937 engine;
};

unsigned chosenSeed()
{
    if (const char* text = std::getenv("SPRITEBENCH_RANDOM_SEED"))
        return static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    return 20240601;
}

// --- The checks --------------------------------------------------------------

// Equal as stored: both NaN, or the same number with the same sign of zero.
bool sameFloat(float actual, float expected)
{
    if (std::isnan(actual) || std::isnan(expected))
        return std::isnan(actual) && std::isnan(expected);
    return actual == expected && std::signbit(actual) == std::signbit(expected);
}

double inOneTurn(double angle)
{
    const double reduced = std::fmod(angle, 360.0);
    return reduced < 0 ? reduced + 360 : reduced;
}

double circularDistance(double a, double b)
{
    const double d = std::fabs(inOneTurn(a) - inOneTurn(b));
    return std::fmin(d, 360 - d);
}

// Describes every way the object differs from the model; empty if none.
std::string mismatches(const SpriteObject& object, const Model& m, const sf::IntRect& frame, const sf::Vector2f& origin)
{
    std::ostringstream found;
    found << std::setprecision(9);
    const auto expectSame = [&found](const char* what, float actual, float expected) {
        if (!sameFloat(actual, expected))
            found << what << " is " << actual << ", expected " << expected << "\n";
    };
    const sf::Sprite sprite = object.getSprite();

    expectSame("getX()", object.getX(), m.x);
    expectSame("getY()", object.getY(), m.y);
    expectSame("sprite x", sprite.getPosition().x, m.x);
    expectSame("sprite y", sprite.getPosition().y, m.y);

    const float alpha = object.getAlpha();
    if (!(alpha >= 0 && alpha <= 255))
        found << "getAlpha() is " << alpha << ", outside 0..255\n";
    expectSame("getAlpha()", alpha, m.alpha);
    const int alphaByte = static_cast<int>(std::floor(m.alpha));  // the model's alpha is always within 0..255
    const sf::Color colour = sprite.getColor();
    if (colour != sf::Color(255, 255, 255, static_cast<std::uint8_t>(alphaByte)))
        found << "sprite colour is (" << int(colour.r) << ", " << int(colour.g) << ", " << int(colour.b) << ", "
              << int(colour.a) << "), expected white with alpha " << alphaByte << "\n";

    expectSame("getRotation()", object.getRotation(), m.rotation);
    const float angle = compat::rotationOf(sprite);
    // After a NaN or infinity, SFML 2's sprite holds NaN and SFML 3's keeps its
    // last angle; before one, the angle is never NaN.
    if (std::isnan(angle) && !m.spriteAngleIsNaN)
        found << "sprite angle is NaN\n";
    if (!std::isnan(angle) && !(angle >= 0 && angle <= 360))
        found << "sprite angle is " << angle << ", outside 0..360\n";
    // Past a degree of possible rounding the whole turns tell nothing, so huge
    // angles are only held to the range and NaN checks above.
    if (std::isfinite(angle) && std::isfinite(m.rotation) && m.angleErrorBound < 1) {
        const double distance = circularDistance(angle, m.rotation);
        if (distance > m.angleErrorBound + 1e-9)
            found << "sprite angle " << angle << " is " << distance << " degrees from the rotation "
                  << m.rotation << ", rounding allows " << m.angleErrorBound << "\n";
    }

    expectSame("getScale()", object.getScale(), m.uniformScale());
    expectSame("getScaleX()", object.getScaleX(), m.scaleX);
    expectSame("getScaleY()", object.getScaleY(), m.scaleY);
    expectSame("sprite scale x", sprite.getScale().x, m.scaleX);
    expectSame("sprite scale y", sprite.getScale().y, m.scaleY);
    expectSame("getWidhtCurrent()", object.getWidhtCurrent(), m.widthBase * m.scaleX);
    expectSame("getHeightCurrent()", object.getHeightCurrent(), m.heightBase * m.scaleY);
    expectSame("getWidthBase()", object.getWidthBase(), m.widthBase);
    expectSame("getHeightBase()", object.getHeightBase(), m.heightBase);

    if (sprite.getTextureRect() != frame)
        found << "the texture rectangle changed\n";
    if (sprite.getOrigin() != origin)
        found << "the origin changed\n";
    return found.str();
}

// --- The run -----------------------------------------------------------------

sf::Color pixelAtCentreOfQuadrant(sf::RenderWindow& window, SpriteObject& object, int dx, int dy)
{
    window.clear(sf::Color::White);
    object.draw(window);
    return compat::pixelAt(compat::capture(window), static_cast<unsigned>(32 + dx), static_cast<unsigned>(32 + dy));
}

// Runs the calls, checking after each; every `drawEvery` calls the object is
// also drawn, whatever its numbers, so that extremes go through rendering.
void runRandomCalls(SpriteObject& object, Model model, unsigned seed, sf::RenderWindow& window)
{
    const sf::IntRect frame = object.getSprite().getTextureRect();
    const sf::Vector2f origin = object.getSprite().getOrigin();
    Values values(seed);
    std::deque<std::string> recent;

    for (int step = 1; step <= stepsPerObject; ++step) {
        const Call call{&operations[values.below(std::size(operations))], values.next(), values.next()};
        call.operation->onObject(object, call.a, call.b);
        call.operation->onModel(model, call.a, call.b);
        recent.push_back(describe(call));
        if (recent.size() > callsShownOnFailure)
            recent.pop_front();

        if (step % drawEvery == 0) {
            window.clear(sf::Color::White);
            object.draw(window);
            window.display();
        }

        const std::string problems = mismatches(object, model, frame, origin);
        if (!problems.empty()) {
            std::string calls;
            for (const std::string& line : recent)
                calls += "  " + line + "\n";
            FAIL() << "seed " << seed << " (SPRITEBENCH_RANDOM_SEED=" << seed << " replays it), step " << step
                   << "\n"
                   << problems << "after the last " << recent.size() << " calls:\n"
                   << calls;
        }
    }
}

class SpriteObjectRandomCalls : public ::testing::Test {
protected:
    SpriteObjectRandomCalls()
    {
        std::cout << "random seed " << seed << " (set SPRITEBENCH_RANDOM_SEED to replay another)" << std::endl;
        RecordProperty("seed", std::to_string(seed));
        images.write("image1.png", ScratchImages::quadrantSheet(48, 40));
        compat::createWindow(window, display, 64, 64, "random calls", sf::Style::None);
    }

    const unsigned seed = chosenSeed();
    ScratchImages images;
    const DisplayConnection display = openDisplay(std::cerr);
    sf::RenderWindow window;
};

TEST_F(SpriteObjectRandomCalls, ObjectFromAnImageMatchesTheModelAndStillDrawsAfterwards)
{
    SpriteObject object("image1.png", 32, 32);
    Model model;
    model.widthBase = model.heightBase = 32;
    runRandomCalls(object, model, seed, window);
    if (HasFatalFailure())
        return;

    // Whatever the numbers went through, ordinary ones draw the frame again.
    object.setXY(32, 32);
    object.setRotation(0);
    object.setScale(1);
    object.setAlpha(255);
    EXPECT_EQ(pixelAtCentreOfQuadrant(window, object, -8, -8), ScratchImages::topLeft);
    EXPECT_EQ(pixelAtCentreOfQuadrant(window, object, 8, 8), ScratchImages::bottomRight);
}

TEST_F(SpriteObjectRandomCalls, DefaultObjectMatchesTheModel)
{
    SpriteObject object;
    runRandomCalls(object, Model{}, seed, window);
}

}  // namespace
