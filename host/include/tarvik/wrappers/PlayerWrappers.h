#pragma once

#include "tarvik/wrappers/ActorWrapper.h"

class TARVIK_SDK_API PlayerReplicationInfoWrapper : public ActorWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(PlayerReplicationInfoWrapper);

    // Round-trip time to the server, in seconds.
    float GetExactPing();
};

class TARVIK_SDK_API PriWrapper : public PlayerReplicationInfoWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(PriWrapper);
};

class TARVIK_SDK_API PlayerControllerWrapper : public ActorWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(PlayerControllerWrapper);

    // May be null.
    PriWrapper GetPRI();
};
