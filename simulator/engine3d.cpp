// The engine the 3D view calls.
#include "engine3d.h"

namespace {
TEngine3D* engine = nullptr;
}

TEngine3D& Engine3D()
{
    return *engine;
}

void SetEngine3D(TEngine3D* e)
{
    engine = e;
}
