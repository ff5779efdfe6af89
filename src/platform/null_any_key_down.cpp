#include "any_key_down.h"

std::function<bool()> anyKeyMayBeDownOn(const DisplayConnection&)
{
    return [] { return true; };
}
