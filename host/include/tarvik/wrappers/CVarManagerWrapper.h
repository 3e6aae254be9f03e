#pragma once

#include <string>

#include "tarvik/wrappers/ObjectWrapper.h"

// The host console.
class TARVIK_SDK_API CVarManagerWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(CVarManagerWrapper);

    // Shows one line on the host console.
    void log(std::string text);
};
