#include "display.h"

DisplayConnection openDisplay(std::ostream&)
{
    static char alwaysThere;
    return DisplayConnection(&alwaysThere, [](void*) {});
}
