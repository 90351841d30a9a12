#pragma once

#include "Logic/SystemBase.h"

// Holds the registry's first position and does nothing at all.
class EmptySystem : public DefaultSystem {
public:
    EmptySystem() : DefaultSystem(1111) {}
};
