#include "commands.h"

#include "prompt.h"
#include "SpriteObject.h"

#include <array>
#include <ostream>
#include <vector>

namespace {

struct Context {
    SpriteObject* p;
    float& dalpha;
    float& angle;
    std::ostream& out;
};

using Values = std::vector<float>;
using Action = std::function<void(Context&, const Values&)>;

struct Command {
    sf::Keyboard::Key key;
    const char* header;  // nullptr: the command writes no header line
    std::vector<const char*> valueNames;
    Action action;  // gets the values in the order of valueNames
};

Action echo(const char* label, float (SpriteObject::*accessor)() const)
{
    return [label, accessor](Context& c, const Values&) {
        c.out << label << (c.p->*accessor)() << std::endl;
    };
}

using K = sf::Keyboard::Key;

const std::array<Command, 23>& commandTable()
{
    static const std::array<Command, 23> table{{
        {K::Q, "setXY(x, y): ", {"x", "y"}, [](Context& c, const Values& v) { c.p->setXY(v[0], v[1]); }},
        {K::W, "setX(x): ", {"x"}, [](Context& c, const Values& v) { c.p->setX(v[0]); }},
        {K::E, "setY(y): ", {"y"}, [](Context& c, const Values& v) { c.p->setY(v[0]); }},
        {K::A, "setDXY(dx,dy): ", {"dx", "dy"}, [](Context& c, const Values& v) { c.p->setDXY(v[0], v[1]); }},
        {K::S, "setDX(dx): ", {"dx"}, [](Context& c, const Values& v) { c.p->setDX(v[0]); }},
        {K::D, "setDY(dy): ", {"dy"}, [](Context& c, const Values& v) { c.p->setDY(v[0]); }},
        {K::Num1, nullptr, {}, echo("p->getX() = ", &SpriteObject::getX)},
        {K::Num2, nullptr, {}, echo("p->getY() = ", &SpriteObject::getY)},
        {K::Num3, nullptr, {}, echo("p->getAlpha() = ", &SpriteObject::getAlpha)},
        {K::Num4, nullptr, {}, echo("p->getRotation() = ", &SpriteObject::getRotation)},
        {K::Num5, nullptr, {}, echo("p->getScale() = ", &SpriteObject::getScale)},
        {K::Num6, nullptr, {}, echo("p->getScaleX() = ", &SpriteObject::getScaleX)},
        {K::Num7, nullptr, {}, echo("p->getScaleY() = ", &SpriteObject::getScaleY)},
        {K::Num8, nullptr, {}, echo("p->getWidhtCurrent() = ", &SpriteObject::getWidhtCurrent)},
        {K::Num9, nullptr, {}, echo("p->getHeightCurrent() = ", &SpriteObject::getHeightCurrent)},
        {K::Z, "setAlpha(alpha): ", {"alpha"}, [](Context& c, const Values& v) { c.p->setAlpha(v[0]); }},
        // Keeps the alpha step for C; changes nothing in the object.
        {K::X, nullptr, {"dalpha"}, [](Context& c, const Values& v) { c.dalpha = v[0]; }},
        // Applies the kept alpha step; the line shows alpha before the step.
        {K::C, nullptr, {}, [](Context& c, const Values&) {
             const float before = c.p->getAlpha();
             c.out << "setDAlpha(" << c.dalpha << "), (alpha = " << before << ")" << std::endl;
             c.p->setDAlpha(c.dalpha);
         }},
        // The angle read here is not kept: the step of B and N stays as it was.
        {K::V, "setRotation(angle): ", {"angle"}, [](Context& c, const Values& v) { c.p->setRotation(v[0]); }},
        {K::B, "rotate(angle): ", {"angle"}, [](Context& c, const Values& v) {
             c.angle = v[0];
             c.p->rotate(c.angle);
         }},
        // Applies the kept rotation step again; the line shows the rotation after it.
        {K::N, nullptr, {}, [](Context& c, const Values&) {
             c.p->rotate(c.angle);
             c.out << "rotate(" << c.angle << "), (angle = " << c.p->getRotation() << ")" << std::endl;
         }},
        {K::R, "setScale(scale): ", {"scale"}, [](Context& c, const Values& v) { c.p->setScale(v[0]); }},
        {K::T, "setScale(scaleX, scaleY): ", {"scaleX", "scaleY"},
         [](Context& c, const Values& v) { c.p->setScale(v[0], v[1]); }},
    }};
    return table;
}

// Runs one command: header, prompts, then the action. Once standard input has
// ended, a command that needs numbers does nothing at all, so that no value
// nobody typed reaches the object or the stored steps; nor does one whose
// prompt was given up. False where a prompt was given up.
bool run(const Command& command, Context& context, std::istream& in, const WhileWaiting& whileWaiting)
{
    if (!command.valueNames.empty() && inputEnded(in))
        return true;
    if (command.header)
        context.out << command.header << std::endl;
    bool givenUp = false;
    const WhileWaiting keepWaiting = [&] {
        givenUp = !whileWaiting();
        return !givenUp;
    };
    Values values;
    for (const char* name : command.valueNames) {
        const auto value = promptValue(name, in, context.out, whileWaiting ? keepWaiting : WhileWaiting{});
        if (!value)
            return !givenUp;
        values.push_back(*value);
    }
    command.action(context, values);
    return true;
}

}  // namespace

void runCommandPass(SpriteObject* p, float& dalpha, float& angle, const Keyboard& keyboard, std::istream& in,
                    std::ostream& out, const WhileWaiting& whileWaiting)
{
    Context context{p, dalpha, angle, out};
    keyboard.read();
    for (const Command& command : commandTable()) {
        if (keyboard.isDown(command.key)) {
            if (!run(command, context, in, whileWaiting))
                return;
            keyboard.read();
        }
    }
}
