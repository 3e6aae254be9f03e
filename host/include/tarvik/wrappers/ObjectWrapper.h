#pragma once

#include <cstdint>

#include "tarvik/Export.h"

// Base of every wrapper: a short-lived value naming one object inside the game.
// A zero address is a null wrapper; only the classes that offer IsNull may be null.
class TARVIK_SDK_API ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(ObjectWrapper);

  protected:
    std::uintptr_t memoryAddress;
};
