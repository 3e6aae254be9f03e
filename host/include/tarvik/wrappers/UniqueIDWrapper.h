#pragma once

#include <string>

#include "tarvik/wrappers/ObjectWrapper.h"

class TARVIK_SDK_API UniqueIDWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(UniqueIDWrapper);

    // A stable text id of the local player, in the host's narrow encoding.
    std::string str() const;
};
